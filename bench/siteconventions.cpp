// Per-call cost of the price scanner and the two end-time readers, as the item page
// parser calls them: the "current site" variants read the site's pattern or months on
// every call, the others take them ready.

#include "app/appcontext.h"
#include "sites/siteaccess.h"
#include "sites/sitesettings.h"
#include "web/endtimeparser.h"
#include "web/siteprice.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

// A throw-away application with the German site loaded, made once for all benchmarks.
struct Application
{
    Application()
    {
        const AppPaths paths = AppPaths::underRoot(dir.path());
        paths.ensureFolders();
        app = std::make_unique<AppContext>(paths);
        LoadSiteSettings();
    }
    QTemporaryDir dir;
    std::unique_ptr<AppContext> app;
    SiteSettings sites;
};

Application& application()
{
    static Application instance;
    return instance;
}

const QString kGermanMonths =
    QString::fromUtf8("DD/MM/YY Jan Feb M\xC3\xA4r Apr Mai Jun Jul Aug Sep Okt Nov Dez");

void parseSitePrice(benchmark::State& state)
{
    const QString text = QStringLiteral("1.234,50 EUR");
    for (auto _ : state) {
        qsizetype end = 0;
        benchmark::DoNotOptimize(ParseSitePrice(text, ',', '.', &end));
        benchmark::DoNotOptimize(end);
    }
}
BENCHMARK(parseSitePrice);

void endTimeByPatternGiven(benchmark::State& state)
{
    const QString text = QStringLiteral("Endet: 15.03.06 18:25:30 MEZ");
    const QString pattern = QStringLiteral("([\\d\\.]+\\s[\\d\\:]+)");
    const NumericDateReader reader;
    for (auto _ : state)
        benchmark::DoNotOptimize(ParseEndTimeByPattern(text, pattern, reader));
}
BENCHMARK(endTimeByPatternGiven);

void endTimeByPatternCurrentSite(benchmark::State& state)
{
    application();
    const QString text = QStringLiteral("Endet: 15.03.06 18:25:30 MEZ");
    for (auto _ : state)
        benchmark::DoNotOptimize(ParseEndTimeByPattern(text));
}
BENCHMARK(endTimeByPatternCurrentSite);

void endTimeByMonthsGiven(benchmark::State& state)
{
    const QString text = QStringLiteral("(15 Mar, 2006 18:25:30 MEZ)");
    const NumericDateReader reader;
    for (auto _ : state)
        benchmark::DoNotOptimize(ParseEndTimeByMonths(text, kGermanMonths, reader));
}
BENCHMARK(endTimeByMonthsGiven);

void endTimeByMonthsCurrentSite(benchmark::State& state)
{
    application();
    const QString text = QStringLiteral("15.03.06 18:25:30 MEZ");
    for (auto _ : state)
        benchmark::DoNotOptimize(ParseEndTimeByMonths(text));
}
BENCHMARK(endTimeByMonthsCurrentSite);

} // namespace

BENCHMARK_MAIN();
