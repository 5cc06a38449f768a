#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

class Registry;
class SiteSettings;

// The saved searches marked "Inform about search results while starting the program",
// run once at start-up: each address is loaded and counted for result cells, and the
// user is told which found anything.
class StartupSearchCheck
{
public:
    struct Search
    {
        QString name;
        QString url;
    };
    struct Plan
    {
        QList<Search> searches;
        // The class of the result rows' check box cells.
        QString itemClass;
    };

    // What the check will load. Reads the settings only: no download. A search whose
    // address needs a token the site's lists lack is left out with a log line.
    static Plan plan(Registry& user, const Registry& machine, const SiteSettings& sites);
    // Loads each address and returns the names of the searches that found something.
    // `stop`, when given, is asked between searches.
    static QStringList run(const Plan& plan, const std::function<bool()>& stop = {});
    // Strings 432 for each name and 433; empty when nothing was found.
    static QString message(const QStringList& found);
};
