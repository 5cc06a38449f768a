// How close "Start at the exact moment" gets to the site's clock: the practice site runs
// with a fractional offset, the whole time synchronisation runs with the option on, and
// the figures are the measured offset's error in milliseconds (and, for comparison, the
// error of the whole-second measurement).

#include "app/appcontext.h"
#include "engine/timesynchroniser.h"
#include "sites/sitesettings.h"
#include "support/practicesiteprocess.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cmath>
#include <memory>

namespace {

struct Application
{
    Application()
    {
        const AppPaths paths = AppPaths::underRoot(dir.path());
        paths.ensureFolders();
        app = std::make_unique<AppContext>(paths);
        for (const QString& line : site.profileLines()) {
            const qsizetype equals = line.indexOf('=');
            app->machineRegistry().writeStr("Sites", line.left(equals), line.mid(equals + 1));
        }
        app->settings().currentSite = QStringLiteral("www.ebay.com");
        app->publishSettings();
        sites.load(app->machineRegistry(), app->settings().currentSite);
    }
    QTemporaryDir dir;
    PracticeSiteProcess site;
    std::unique_ptr<AppContext> app;
    SiteSettings sites;
};

void PreciseSiteTimeError(benchmark::State& state)
{
    static int argc = 1;
    static char name[] = "bench_precisesitetime";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance())
        new QCoreApplication(argc, argv);
    Application application;
    if (!application.site.isRunning()) {
        state.SkipWithError("the practice site did not start");
        return;
    }
    AppContext& app = *application.app;
    TimeSynchroniser sync(app, nullptr);

    double preciseSum = 0, preciseMax = 0, wholeSum = 0, uncertaintySum = 0, readsSum = 0;
    int runs = 0, failures = 0;
    for (auto _ : state) {
        // A different fraction each run, so that the tick falls anywhere between two reads.
        const int siteOffsetMs = 3370 + 137 * runs;
        application.site.control("POST", "/clock",
                                 QStringLiteral("{\"offsetMs\":%1}").arg(siteOffsetMs).toUtf8());
        app.settings().preciseStart = 0;
        sync.synchronise();
        wholeSum += std::abs(double(app.clock().offsetMs() + siteOffsetMs));
        app.settings().preciseStart = 1;
        sync.synchronise();
        ++runs;
        if (!sync.lastPrecise().ok) {
            ++failures;
            continue;
        }
        const double error = std::abs(double(app.clock().offsetMs() + siteOffsetMs));
        preciseSum += error;
        preciseMax = std::max(preciseMax, error);
        uncertaintySum += double(sync.lastPrecise().uncertaintyMs);
        readsSum += sync.lastPrecise().reads;
    }
    const int good = std::max(1, runs - failures);
    state.counters["precise_error_ms_mean"] = preciseSum / good;
    state.counters["precise_error_ms_max"] = preciseMax;
    state.counters["whole_second_error_ms_mean"] = wholeSum / std::max(1, runs);
    state.counters["uncertainty_ms_mean"] = uncertaintySum / good;
    state.counters["page_reads_mean"] = readsSum / good;
    state.counters["failures"] = failures;
}
BENCHMARK(PreciseSiteTimeError)->Iterations(10)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
