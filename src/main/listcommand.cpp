#include "main/listcommand.h"

#include "main/commandcontext.h"
#include "model/bidlistreport.h"

#include <QTextStream>

int runListCommand(const QStringList& arguments)
{
    // The current site's private keyword and the refresh interval shape the report.
    CommandContext context;
    QTextStream out(stdout);
    QTextStream err(stderr);
    return BidListReport::run(arguments, out, err);
}
