// Body text and the item page parser on item pages of about 100 KB: the goal is under
// 10 ms per page for both together.
#include "app/registry.h"
#include "model/biditem.h"
#include "sites/sitesettings.h"
#include "web/htmldocument.h"
#include "web/itempagereader.h"

#include <QDir>
#include <benchmark/benchmark.h>
#include <gumbo.h>

namespace {

// An item page as the sites build it: nested layout tables of labels and values, a long
// seller's description, scripts, styles and the bid form.
QByteArray itemPage()
{
    QByteArray page =
        "<html><head><title>Lamp - item 4500123</title>"
        "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1252\">"
        "<style>td{font:10pt Arial} .x{color:red}</style>"
        "<script>var tracking = {id: 4500123, list: [1,2,3]};</script></head><body>";
    for (int i = 0; i < 40; ++i)
        page += "<a href=\"/cat/" + QByteArray::number(i) + "\">Category " + QByteArray::number(i) +
                "</a> | ";
    page += "<div>Listed in category: Lighting &gt; Lamps &gt; Desk lamps</div>"
            "<table><tr><td><b>Brass desk lamp</b></td><td>Item number: 4500123</td></tr></table>"
            "<table width=\"100%\"><tr><td><table border=0 cellpadding=2>";
    const char* labels[] = {"Current bid:",    "Time left:",        "Ends",
                            "History:",        "High bidder:",      "Quantity:",
                            "Shipping costs:", "Seller information"};
    const char* values[] = {"US $10.50",
                            "2 days 3 hours",
                            "Mar-15-06 18:25:30 PST",
                            "3 bids (US $1.00 starting bid)",
                            "lamp_fan ( 12 )",
                            "1",
                            "US $5.00 -- Standard",
                            "lamp_shop ( 321 )"};
    for (int i = 0; i < 60; ++i) {
        page += "<tr><td align=right><font size=2><b>" + QByteArray(labels[i % 8]) +
                "</b></font></td><td><font size=2>" + QByteArray(values[i % 8]) +
                "&nbsp;<a href=\"/help\">(more)</a></font></td></tr>\n";
    }
    page += "</table></td></tr></table><h2>Description</h2><div class=\"description\">";
    while (page.size() < 90 * 1024) {
        page += "<p>This lovely lamp is in <b>very good</b> condition, with a few marks on the "
                "base.<br>Shipping worldwide \x80 5.00 &amp; insurance optional.</p>\n"
                "<ul><li>Height 40 cm</li><li>Brass, M\xfcnchen 1970</li></ul>";
    }
    page += "</div><h2>Ready to bid?</h2><div>Enter US $11.00 or more</div>"
            "<form name=bidform method=post action=\"/ws/eBayISAPI.dll\">"
            "<input type=hidden name=MfcISAPICommand value=MakeBid>"
            "<input type=hidden name=item value=4500123><input name=maxbid size=10>"
            "<input type=submit value=\"Place Bid\"></form>";
    while (page.size() < 100 * 1024)
        page += "<script>document.write('<img src=x.gif>');</script><span class=x> </span>\n";
    return page + "</body></html>";
}

void BodyTextFromBytes(benchmark::State& state)
{
    const QByteArray page = itemPage();
    for (auto _ : state) {
        auto document = HtmlDocument::fromBytes(page, "text/html");
        benchmark::DoNotOptimize(document->bodyText());
    }
    state.SetBytesProcessed(state.iterations() * page.size());
    state.counters["page_bytes"] = static_cast<double>(page.size());
}
BENCHMARK(BodyTextFromBytes)->Unit(benchmark::kMillisecond);

void BodyTextRenderOnly(benchmark::State& state)
{
    const auto document = HtmlDocument::fromBytes(itemPage(), "text/html");
    for (auto _ : state)
        benchmark::DoNotOptimize(document->bodyText());
}
BENCHMARK(BodyTextRenderOnly)->Unit(benchmark::kMillisecond);

void GumboParseOnly(benchmark::State& state)
{
    const QByteArray page = itemPage();
    for (auto _ : state) {
        GumboOutput* output = gumbo_parse_with_options(&kGumboDefaultOptions, page.constData(),
                                                       static_cast<size_t>(page.size()));
        gumbo_destroy_output(&kGumboDefaultOptions, output);
    }
    state.SetBytesProcessed(state.iterations() * page.size());
}
BENCHMARK(GumboParseOnly)->Unit(benchmark::kMillisecond);

ItemPageReader englishReader()
{
    // No file behind it: the built-in English wording.
    Registry machine(QDir::tempPath() + "/gavelin-bench-absent/machine.ini");
    SiteSettings settings;
    settings.load(machine, "www.ebay.com");
    return ItemPageReader(settings.profile(), settings.lookup("%s_KeyWord_Description"),
                          settings.lookup("%s_KeyWord_ReadyBid"));
}

// What every page read costs after the download: render, cut the description, parse.
void BodyTextAndParse(benchmark::State& state)
{
    const QByteArray page = itemPage();
    const ItemPageReader reader = englishReader();
    const QString url = reader.viewItemUrl("4500123");
    for (auto _ : state) {
        const auto document = HtmlDocument::fromBytes(page, "text/html");
        CBidItem item;
        const ItemPageResult result = reader.parse(item, url, document->bodyText());
        if (!result.success || item.id() != QLatin1String("4500123")) {
            state.SkipWithError("the page did not parse");
            break;
        }
        benchmark::DoNotOptimize(item);
    }
    state.SetBytesProcessed(state.iterations() * page.size());
}
BENCHMARK(BodyTextAndParse)->Unit(benchmark::kMillisecond);

void ParseOnly(benchmark::State& state)
{
    const QString text = HtmlDocument::fromBytes(itemPage(), "text/html")->bodyText();
    const ItemPageReader reader = englishReader();
    const QString url = reader.viewItemUrl("4500123");
    for (auto _ : state) {
        CBidItem item;
        benchmark::DoNotOptimize(reader.parse(item, url, text));
    }
    state.counters["text_chars"] = static_cast<double>(text.size());
}
BENCHMARK(ParseOnly)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
