// Per-call cost of the price scanner and the two end-time readers as the item page parser
// calls them, with the conventions of the page's site, and of building those conventions
// (once per page, once per redraw of the bids list).

#include "app/appcontext.h"
#include "sites/endtimeparser.h"
#include "sites/siteaccess.h"
#include "sites/siteprice.h"
#include "sites/sitesettings.h"

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

const SiteConventions& german()
{
    static const SiteConventions conventions =
        SiteConventions::builtIn(QStringLiteral("www.ebay.de"));
    return conventions;
}

void parseSitePrice(benchmark::State& state)
{
    const QString text = QStringLiteral("1.234,50 EUR");
    const SiteConventions& conventions = german();
    for (auto _ : state) {
        qsizetype end = 0;
        benchmark::DoNotOptimize(ParseSitePrice(text, conventions, &end));
        benchmark::DoNotOptimize(end);
    }
}
BENCHMARK(parseSitePrice);

void endTimeByPattern(benchmark::State& state)
{
    const QString text = QStringLiteral("Endet: 15.03.06 18:25:30 MEZ");
    const SiteConventions& conventions = german();
    for (auto _ : state)
        benchmark::DoNotOptimize(ParseEndTimeByPattern(text, conventions));
}
BENCHMARK(endTimeByPattern);

void endTimeByMonths(benchmark::State& state)
{
    const QString text = QString::fromUtf8("(15 M\xC3\xA4r, 2006 18:25:30 MEZ)");
    const SiteConventions& conventions = german();
    for (auto _ : state)
        benchmark::DoNotOptimize(ParseEndTimeByMonths(text, conventions));
}
BENCHMARK(endTimeByMonths);

void buildCurrentSiteConventions(benchmark::State& state)
{
    application();
    for (auto _ : state)
        benchmark::DoNotOptimize(BuildSiteConventions());
}
BENCHMARK(buildCurrentSiteConventions);

void buildOtherSiteConventions(benchmark::State& state)
{
    application();
    const QString site = QStringLiteral("www.ebay.fr");
    for (auto _ : state)
        benchmark::DoNotOptimize(BuildSiteConventions(site));
}
BENCHMARK(buildOtherSiteConventions);

} // namespace

BENCHMARK_MAIN();
