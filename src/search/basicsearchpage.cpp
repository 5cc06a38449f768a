#include "search/basicsearchpage.h"

#include "app/appcontext.h"
#include "app/stringtable.h"
#include "web/documentaccess.h"
#include "web/htmldocument.h"

namespace {

// Options of the first select list named `name` (case ignored, as the page's own lookup
// by name does).
SiteChoiceList selectList(const HtmlDocument& document, const QString& name)
{
    SiteChoiceList list;
    if (name.isEmpty())
        return list;
    for (const HtmlElement& select : document.elementsByTagName(QStringLiteral("select"))) {
        if (select.name().compare(name, Qt::CaseInsensitive) != 0)
            continue;
        list.found = true;
        for (const HtmlElement& option : select.options()) {
            list.texts << option.text();
            list.values << option.value();
        }
        break;
    }
    return list;
}

SiteChoiceList readList(const HtmlDocument& document, const QStringList& tokens, int index,
                        int missingText)
{
    SiteChoiceList list;
    if (index < tokens.size())
        list = selectList(document, tokens.at(index));
    if (!list.found)
        AppContext::logWrite(StringTable::text(missingText), ProgramLog::Error);
    return list;
}

} // namespace

SiteChoices BasicSearchPage::read(const HtmlDocument& document, const SearchCommands& commands)
{
    SiteChoices choices;
    choices.loaded = true;
    using K = SearchCommands;
    choices.categories = readList(document, commands.keys, K::CategoryName, 470);
    choices.locationIn = readList(document, commands.keys2, K::LocationInName, 471);
    choices.locationTo = readList(document, commands.keys2, K::LocationToName, 472);
    return choices;
}

SiteChoices BasicSearchPage::load(const SearchCommands& commands)
{
    if (!commands.isUsable())
        return SiteChoices();
    const std::unique_ptr<HtmlDocument> document = LoadHtmlDocument(commands.basicSearchUrl);
    if (!document)
        return SiteChoices();
    return read(*document, commands);
}
