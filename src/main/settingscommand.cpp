#include "main/settingscommand.h"

#include "app/appcontext.h"
#include "sites/settingstool.h"

#include <QTextStream>
#include <memory>

int runSettingsCommand(const QStringList& arguments)
{
    std::unique_ptr<AppContext> own;
    AppContext* app = AppContext::current();
    if (!app) {
        const AppPaths paths = AppPaths::fromEnvironment();
        paths.ensureFolders(); // a first "set" may come before the program ever ran
        own = std::make_unique<AppContext>(paths);
        app = own.get();
    }
    SettingsTool tool(app->userRegistry(), app->machineRegistry());
    QTextStream out(stdout);
    QTextStream err(stderr);
    return tool.run(arguments, out, err);
}
