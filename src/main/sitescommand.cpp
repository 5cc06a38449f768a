#include "main/sitescommand.h"

#include "app/appcontext.h"
#include "sites/sitesettings.h"
#include "sites/sitesreport.h"

#include <QTextStream>
#include <memory>

int runSitesCommand(const QStringList& arguments)
{
    // Run on its own the command makes the application object it reads from; it leaves
    // the log alone.
    std::unique_ptr<AppContext> own;
    AppContext* app = AppContext::current();
    if (!app) {
        own = std::make_unique<AppContext>(AppPaths::fromEnvironment());
        app = own.get();
        app->settings().readAll(app->userRegistry());
    }
    SiteSettings sites;
    sites.load(app->machineRegistry(), app->settings().currentSite);
    QTextStream out(stdout);
    QTextStream err(stderr);
    return SitesReport::run(arguments, sites, out, err);
}
