// Body text of item pages of about 100 KB: the goal is under 10 ms per page.
#include "web/htmldocument.h"

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
    page += "<table width=\"100%\"><tr><td><table border=0 cellpadding=2>";
    const char* labels[] = {"Current bid:", "Time left:", "Start time:",     "History:",
                            "High bidder:", "Quantity:",  "Shipping costs:", "Seller:"};
    for (int i = 0; i < 60; ++i) {
        page += "<tr><td align=right><font size=2><b>" + QByteArray(labels[i % 8]) +
                "</b></font></td><td><font size=2>US $" + QByteArray::number(10 + i) +
                ".50&nbsp;<a href=\"/help\">(more)</a></font></td></tr>\n";
    }
    page += "</table></td></tr></table><div class=\"description\">";
    while (page.size() < 90 * 1024) {
        page += "<p>This lovely lamp is in <b>very good</b> condition, with a few marks on the "
                "base.<br>Shipping worldwide \x80 5.00 &amp; insurance optional.</p>\n"
                "<ul><li>Height 40 cm</li><li>Brass, M\xfcnchen 1970</li></ul>";
    }
    page += "</div><form name=bidform method=post action=\"/ws/eBayISAPI.dll\">"
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

} // namespace

BENCHMARK_MAIN();
