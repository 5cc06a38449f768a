#include "main/searchcommand.h"

#include "app/appcontext.h"
#include "main/commandcontext.h"
#include "search/searchreport.h"

#include <QTextStream>

int runSearchCommand(const QStringList& arguments)
{
    // The site's search commands and the proxy settings come from the user's settings.
    CommandContext context;
    QTextStream out(stdout);
    QTextStream err(stderr);
    return SearchReport::run(arguments, context.sites(), context.app().machineRegistry(), out, err);
}
