#include "main/sitescommand.h"

#include "main/commandcontext.h"
#include "sites/sitesreport.h"

#include <QTextStream>

int runSitesCommand(const QStringList& arguments)
{
    CommandContext context;
    QTextStream out(stdout);
    QTextStream err(stderr);
    return SitesReport::run(arguments, context.sites(), out, err);
}
