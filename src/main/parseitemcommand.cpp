#include "main/parseitemcommand.h"

#include "main/commandcontext.h"
#include "web/itempagereport.h"

#include <QTextStream>

int runParseItemCommand(const QStringList& arguments)
{
    // The site's keywords, end-time pattern and the proxy settings come from the user's
    // settings.
    CommandContext context;
    QTextStream out(stdout);
    QTextStream err(stderr);
    return ItemPageReport::run(arguments, out, err);
}
