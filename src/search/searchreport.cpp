#include "search/searchreport.h"

#include "app/registry.h"
#include "search/resultpage.h"
#include "search/searchaddress.h"
#include "sites/sitehosts.h"
#include "sites/sitesettings.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>
#include <algorithm>

namespace {

void usage(QTextStream& err)
{
    err << "usage: gavelind search [--site NAME] WORDS... [--json]\n"
           "  WORDS   the search keywords (all of them must match)\n"
           "  --site  search that site (default: the current site)\n"
           "  --json  print the results as JSON\n";
}

QJsonObject toJson(const SearchResult& result)
{
    QJsonObject json;
    json[QStringLiteral("item")] = result.itemId;
    json[QStringLiteral("title")] = result.title;
    json[QStringLiteral("price")] = result.price;
    json[QStringLiteral("bids")] = result.bids;
    json[QStringLiteral("buyItNow")] = result.noBids;
    json[QStringLiteral("timeLeft")] = result.timeLeft;
    json[QStringLiteral("shipping")] = result.shipping;
    return json;
}

void printTable(const QList<SearchResult>& results, QTextStream& out)
{
    int priceWidth = 5;
    int bidsWidth = 4;
    int timeWidth = 9;
    for (const SearchResult& r : results) {
        priceWidth = std::max(priceWidth, int(r.price.size()));
        bidsWidth = std::max(bidsWidth, int(r.bidsText().size()));
        timeWidth = std::max(timeWidth, int(r.timeLeft.size()));
    }
    out << QStringLiteral("Item").leftJustified(12) << "  "
        << QStringLiteral("Price").rightJustified(priceWidth) << "  "
        << QStringLiteral("Bids").rightJustified(bidsWidth) << "  "
        << QStringLiteral("Time left").leftJustified(timeWidth) << "  Title\n";
    for (const SearchResult& r : results) {
        out << r.itemId.leftJustified(12) << "  " << r.price.rightJustified(priceWidth) << "  "
            << r.bidsText().rightJustified(bidsWidth) << "  " << r.timeLeft.leftJustified(timeWidth)
            << "  " << r.title << '\n';
    }
}

} // namespace

int SearchReport::run(const QStringList& arguments, SiteSettings& sites, Registry& machine,
                      QTextStream& out, QTextStream& err)
{
    QString site;
    bool json = false;
    QStringList words;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& word = arguments[i];
        if (word == QLatin1String("--site") && i + 1 < arguments.size()) {
            site = arguments[++i];
        } else if (word == QLatin1String("--json")) {
            json = true;
        } else if (word == QLatin1String("--")) {
            words << arguments.mid(i + 1);
            break;
        } else if (word.startsWith(QLatin1String("--"))) {
            usage(err);
            return 2;
        } else {
            words << word;
        }
    }
    SearchCriteria criteria;
    criteria.keywords = words.join(QLatin1Char(' ')).trimmed();
    if (criteria.keywords.isEmpty()) {
        usage(err);
        return 2;
    }
    if (criteria.keywords.size() > SearchCriteria::kMaxWordsLength) {
        err << "gavelind search: the keywords are longer than " << SearchCriteria::kMaxWordsLength
            << " characters\n";
        return 2;
    }
    if (!site.isEmpty()) {
        if (SiteHosts::siteNumber(site) == 0 && !sites.siteList().contains(site)) {
            err << "gavelind search: unknown site " << site << " (see gavelind sites)\n";
            return 2;
        }
        // Only this run searches that site; the user's choice stays as it is.
        sites.setCurrentSite(site, machine);
    }

    const SearchCommands commands = SearchCommands::fromSites(sites);
    if (!commands.isUsable()) {
        err << "gavelind search: " << sites.currentSite()
            << " has no search commands (Search_Key, Search_Key2)\n";
        return 2;
    }
    const SearchAddress::Result address =
        SearchAddress::build(commands, criteria, SearchAddress::Use::Interactive);
    if (!address.ok()) {
        err << "gavelind search: the search address cannot be built: " << address.error << '\n';
        return 2;
    }
    const SearchPageReading reading =
        ResultPage::load(address.url, ResultClassNames::read(machine));
    if (!reading.loaded) {
        err << "gavelind search: " << address.url << " gave no page\n";
        return 2;
    }

    if (json) {
        QJsonObject report;
        report[QStringLiteral("site")] = sites.currentSite();
        report[QStringLiteral("url")] = address.url;
        report[QStringLiteral("resultTable")] = reading.hasTable;
        report[QStringLiteral("skippedRows")] = reading.skippedRows;
        QJsonArray results;
        for (const SearchResult& result : reading.results)
            results.append(toJson(result));
        report[QStringLiteral("results")] = results;
        out << QJsonDocument(report).toJson(QJsonDocument::Indented);
    } else if (reading.results.isEmpty()) {
        out << "No auctions found"
            << (reading.hasTable ? " (no usable row in the result table)" : "") << ": "
            << address.url << '\n';
    } else {
        printTable(reading.results, out);
        out << reading.results.size() << " found\n";
    }
    return reading.results.isEmpty() ? 1 : 0;
}
