#include "sites/sitesreport.h"

#include "sites/sitehosts.h"
#include "sites/sitesettings.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QTextStream>

QString SitesReport::text(const SiteSettings& settings)
{
    QString report;
    QTextStream out(&report);
    out << "Known sites:\n";
    for (int i = 1; i <= SiteHosts::kSiteCount; ++i)
        out << QString::number(i).rightJustified(4) << "  " << SiteHosts::siteName(i) << '\n';
    const QStringList sites = settings.siteList();
    out << "Site list (sitesCount " << settings.sitesCount() << ", " << sites.size()
        << " listed):\n";
    for (const QString& site : sites)
        out << "  " << site << " (" << SiteHosts::siteNumber(site) << ")\n";
    const QString current = settings.currentSite();
    out << "Current site: " << current << " (" << SiteHosts::siteNumber(current) << ")\n";
    return report;
}

QJsonObject SitesReport::json(const SiteSettings& settings)
{
    QJsonArray known;
    for (int i = 1; i <= SiteHosts::kSiteCount; ++i)
        known.append(QJsonObject{{"name", SiteHosts::siteName(i)}, {"number", i}});
    QJsonArray list;
    for (const QString& site : settings.siteList())
        list.append(QJsonObject{{"name", site}, {"number", SiteHosts::siteNumber(site)}});
    const QString current = settings.currentSite();
    return QJsonObject{
        {"knownSites", known},
        {"sitesCount", settings.sitesCount()},
        {"siteList", list},
        {"currentSite", current},
        {"currentSiteNumber", SiteHosts::siteNumber(current)},
    };
}

int SitesReport::run(const QStringList& arguments, const SiteSettings& settings, QTextStream& out,
                     QTextStream& err)
{
    bool asJson = false;
    for (const QString& argument : arguments) {
        if (argument == QLatin1String("--json")) {
            asJson = true;
        } else {
            err << "gavelind sites: unknown argument " << argument
                << "\nUsage: gavelind sites [--json]\n";
            return 2;
        }
    }
    if (asJson)
        out << QJsonDocument(json(settings)).toJson(QJsonDocument::Indented);
    else
        out << text(settings);
    return 0;
}
