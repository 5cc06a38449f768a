#include "main/settingscommand.h"

#include "app/appcontext.h"
#include "main/commandcontext.h"
#include "sites/settingstool.h"

#include <QTextStream>

int runSettingsCommand(const QStringList& arguments)
{
    CommandContext context(CommandContext::Sites::Skip);
    SettingsTool tool(context.app().userRegistry(), context.app().machineRegistry());
    QTextStream out(stdout);
    QTextStream err(stderr);
    return tool.run(arguments, out, err);
}
