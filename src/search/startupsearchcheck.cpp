#include "search/startupsearchcheck.h"

#include "app/appcontext.h"
#include "app/registry.h"
#include "app/stringtable.h"
#include "search/resultclassnames.h"
#include "search/resultpage.h"
#include "search/savedsearches.h"
#include "search/searchaddress.h"
#include "web/documentaccess.h"

StartupSearchCheck::Plan StartupSearchCheck::plan(Registry& user, const Registry& machine,
                                                  const SiteSettings& sites)
{
    Plan plan;
    const SavedSearches saved(user);
    const QStringList names = saved.names();
    if (names.isEmpty())
        return plan;
    plan.itemClass = ResultClassNames::read(machine).item;
    const SearchCommands commands = SearchCommands::fromSites(sites);
    for (const QString& name : names) {
        const std::optional<SearchCriteria> criteria = saved.load(name);
        if (!criteria || !criteria->informAtStart)
            continue;
        const SearchAddress::Result address =
            SearchAddress::build(commands, *criteria, SearchAddress::Use::StartupCheck);
        if (!address.ok()) {
            AppContext::logWrite(
                QStringLiteral("Search Service: the saved search [%1] was not run: %2.")
                    .arg(name, address.error),
                ProgramLog::Warning);
            continue;
        }
        plan.searches.append({name, address.url});
    }
    return plan;
}

QStringList StartupSearchCheck::run(const Plan& plan, const std::function<bool()>& stop)
{
    QStringList found;
    for (const Search& search : plan.searches) {
        if (stop && stop())
            break;
        const std::unique_ptr<HtmlDocument> document = LoadHtmlDocument(search.url);
        if (document && ResultPage::countClass(*document, plan.itemClass) > 0)
            found << search.name;
    }
    return found;
}

QString StartupSearchCheck::message(const QStringList& found)
{
    if (found.isEmpty())
        return QString();
    QString text;
    for (const QString& name : found)
        text += QString(StringTable::text(432)).replace(QLatin1String("%s"), name);
    return text + StringTable::text(433);
}
