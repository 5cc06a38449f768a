#include "main/listcommand.h"

#include "app/appcontext.h"
#include "model/bidlistreport.h"
#include "sites/sitesettings.h"

#include <QTextStream>
#include <memory>

int runListCommand(const QStringList& arguments)
{
    // Run on its own the command makes the application object it reads from (the current
    // site's private keyword, the refresh interval); it leaves the log alone.
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
    return BidListReport::run(arguments, out, err);
}
