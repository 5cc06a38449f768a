// Applying a site settings update: a settings file that offers newer site data and a sites
// file for ten sites with every keyword and address each, served from memory, so the
// figure is the parsing, the checks and the writes to the store and the site data.

#include "sites/sitesettingsupdate.h"
#include "app/appcontext.h"
#include "app/registry.h"
#include "sites/sitesettings.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

const QString kSettingsUrl = QStringLiteral("http://127.0.0.1:9/settings.txt");
const QString kSitesUrl = QStringLiteral("http://127.0.0.1:9/sites.txt");

QString sitesFile(int sites, int keysPerSite, const QString& wording)
{
    QString text = QStringLiteral("[SITES]\n");
    for (int s = 0; s < sites; ++s)
        text += QStringLiteral("www.site%1.com\n").arg(s);
    text += QStringLiteral("[END]\n[COMMANDS]\nCommand=MakeBid\nmaxbid=maxbid\n[END]\n");
    for (int s = 0; s < sites; ++s) {
        text += QStringLiteral("[SITE_www.site%1.com]\n").arg(s);
        for (int k = 0; k < keysPerSite; ++k)
            text += QStringLiteral("www.site%1.com_KeyWord_%2 %3 %2:\n").arg(s).arg(k).arg(wording);
        text += QStringLiteral("[END]\n");
    }
    return text;
}

void ApplySiteSettingsUpdate(benchmark::State& state)
{
    static int argc = 1;
    static char name[] = "bench";
    static char* argv[] = {name, nullptr};
    QCoreApplication application(argc, argv);
    QTemporaryDir dir;
    const AppPaths paths = AppPaths::underRoot(dir.path());
    paths.ensureFolders();
    AppContext app(paths);
    SiteSettings sites;
    const QString settings =
        QStringLiteral("[START]\nVENDRA_VERSION=10000\nSETTINGS_VERSION=20003\n"
                       "URL_SETTINGS=") +
        kSettingsUrl + QStringLiteral("\nURL_PATCH_WS=\nURL_PATCH_NS=\nCOMMENT\nURL_SITES=") +
        kSitesUrl + u'\n';
    // Every run changes every value, as a real update of the wording would.
    const QString sitesTexts[] = {sitesFile(10, int(state.range(0)), QStringLiteral("Words")),
                                  sitesFile(10, int(state.range(0)), QStringLiteral("Other"))};
    int run = 0;
    app.machineRegistry().writeStr("URL", "URLSettings", kSettingsUrl);
    for (auto _ : state) {
        state.PauseTiming();
        app.machineRegistry().writeInt(QString(), "SSVer", 0);
        const QString& sitesText = sitesTexts[run++ % 2];
        state.ResumeTiming();
        SiteSettingsUpdate update(app, sites, [&](const QString& url) {
            return SiteSettingsUpdate::Download{url == kSitesUrl ? sitesText : settings, {}};
        });
        if (!update.download(true))
            state.SkipWithError("the update failed");
    }
    state.counters["values"] = double(sites.valueCount());
}
BENCHMARK(ApplySiteSettingsUpdate)->Arg(150)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
