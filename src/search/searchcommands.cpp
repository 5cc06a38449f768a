#include "search/searchcommands.h"

#include "app/appcontext.h"
#include "app/stringtable.h"
#include "sites/sitesettings.h"

SearchCommands SearchCommands::fromSites(const SiteSettings& sites)
{
    SearchCommands commands;
    commands.searchUrl = sites.lookup(QStringLiteral("%s_URL_Search"));
    commands.basicSearchUrl = sites.lookup(QStringLiteral("%s_URL_SearchBasic"));
    commands.keys = tokens(sites.lookup(QStringLiteral("%s_Search_Key")));
    commands.keys2 = tokens(sites.lookup(QStringLiteral("%s_Search_Key2")));
    if (!commands.isUsable())
        AppContext::logWrite(StringTable::text(469), ProgramLog::Error);
    return commands;
}

QStringList SearchCommands::tokens(const QString& list)
{
    QStringList out = list.split(QLatin1Char(';'));
    // What follows the last ";" is unfinished; an empty token in the middle keeps its place.
    out.removeLast();
    return out;
}
