#pragma once

#include <QJsonObject>
#include <QString>
#include <QStringList>

class SiteSettings;
class QTextStream;

// What `gavelind sites` prints: the ten known sites with their numbers, the site list of
// the site settings with the count as read, and the current site.
class SitesReport
{
public:
    static QString text(const SiteSettings& settings);
    static QJsonObject json(const SiteSettings& settings);

    // Arguments after the command name: nothing or "--json". Returns the exit status.
    static int run(const QStringList& arguments, const SiteSettings& settings, QTextStream& out,
                   QTextStream& err);
};
