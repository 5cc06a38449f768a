// A Search Service result page of 200 auctions after it has arrived: the page parsed, its
// rows read, and the rows shown in the result list with its columns sized (what happens
// between the download's end and the list on screen).

#include "app/appcontext.h"
#include "model/bidsdoc.h"
#include "search/resultpage.h"
#include "sites/siteconventions.h"
#include "ui/searchpage2.h"
#include "web/htmldocument.h"

#include <QApplication>
#include <QTableWidget>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

constexpr int kRows = 200;

// The practice site's result page, with titles and prices that vary as a real page's do.
QString resultPage()
{
    QString html = QStringLiteral("<html><head><title>Search results</title></head><body>"
                                  "<p>200 items found</p><table class=\"ebItemlist single\">"
                                  "<tr><th></th><th>Item</th><th>Bids</th><th>Price</th>"
                                  "<th>Shipping</th><th>Time left</th></tr>\n");
    for (int i = 0; i < kRows; ++i) {
        const QString item = QString::number(3000000000LL + i * 7919);
        html += QStringLiteral(
                    "<tr><td class=\"ebcCpr\"><input type=\"checkbox\" name=\"coitem\" "
                    "value=\"%1\"></td><td class=\"ebcTtl\"><a href=\"/ws/eBayISAPI.dll?ViewItem"
                    "&amp;item=%1\">Antique brass item number %2 with a longer title</a></td>"
                    "<td class=\"ebcBid\">%3</td><td class=\"ebcPr\"><span>US $%4.%5</span></td>"
                    "<td class=\"ebcShpNew\"><span>US $4.90</span></td><td class=\"ebcTim\">%6 "
                    "days %7 hours</td></tr>\n")
                    .arg(item)
                    .arg(i)
                    .arg(i % 5 == 0 ? QString() : QString::number(i % 17))
                    .arg(1 + (i * 37) % 2000)
                    .arg(i % 100, 2, 10, QLatin1Char('0'))
                    .arg(i % 7)
                    .arg(i % 24);
    }
    return html + QStringLiteral("</table></body></html>");
}

struct Scene
{
    QTemporaryDir home;
    std::unique_ptr<AppContext> app;
    std::unique_ptr<CBidsDoc> doc;
    std::unique_ptr<CSearchPage2> page;
    QString html = resultPage();

    Scene()
    {
        const AppPaths paths = AppPaths::underRoot(home.path());
        paths.ensureFolders();
        app = std::make_unique<AppContext>(paths);
        doc = std::make_unique<CBidsDoc>(ListEnvironment::standalone());
        doc->newDocument();
        page = std::make_unique<CSearchPage2>(*app, *doc);
        page->setSite(QStringLiteral("www.ebay.com"),
                      SiteConventions::builtIn(QStringLiteral("www.ebay.com")),
                      QStringLiteral("http://127.0.0.1/ws/eBayISAPI.dll?ViewItem&item=%s"));
        page->resize(700, 500);
        page->show();
        QApplication::processEvents();
    }
};

Scene* g_scene = nullptr;

// The page as it arrived, read and shown; the list painted before the clock stops.
void readAndShow(benchmark::State& state)
{
    Scene& scene = *g_scene;
    for (auto _ : state) {
        const HtmlDocument document(scene.html);
        const SearchPageReading reading = ResultPage::read(document, ResultClassNames());
        scene.page->showResults(reading.results);
        scene.page->table()->viewport()->repaint();
    }
    state.counters["rows"] = scene.page->rowCount();
}
BENCHMARK(readAndShow)->Unit(benchmark::kMillisecond);

void readOnly(benchmark::State& state)
{
    for (auto _ : state) {
        const HtmlDocument document(g_scene->html);
        benchmark::DoNotOptimize(ResultPage::read(document, ResultClassNames()).results.size());
    }
}
BENCHMARK(readOnly)->Unit(benchmark::kMillisecond);

void showOnly(benchmark::State& state)
{
    const HtmlDocument document(g_scene->html);
    const SearchPageReading reading = ResultPage::read(document, ResultClassNames());
    for (auto _ : state) {
        g_scene->page->showResults(reading.results);
        g_scene->page->table()->viewport()->repaint();
    }
}
BENCHMARK(showOnly)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    Scene scene;
    g_scene = &scene;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    g_scene = nullptr;
    return 0;
}
