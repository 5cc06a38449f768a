#include "main/updatesitescommand.h"

#include "app/appcontext.h"
#include "main/commandcontext.h"
#include "sites/sitesettingsupdate.h"
#include "web/settingsfiledownload.h"

#include <QTextStream>

namespace {

constexpr int kApplied = 0;
constexpr int kFailed = 1;
constexpr int kUsage = 2;
constexpr int kNothingNewer = 3;

QString versionText(int version)
{
    return QString::asprintf("%u.%.2u", (quint32(version) >> 16) & 0xFFFF,
                             quint32(version) & 0xFFFF);
}

QString shown(const QString& value)
{
    return value.isEmpty() ? QStringLiteral("(none)") : u'"' + value + u'"';
}

} // namespace

int runUpdateSitesCommand(const QStringList& arguments)
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    QString url;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        if (arguments[i] == QLatin1String("--url") && i + 1 < arguments.size()) {
            url = arguments[++i];
        } else {
            err << "gavelind update-sites: unexpected '" << arguments[i]
                << "' (usage: gavelind update-sites [--url URL])\n";
            return kUsage;
        }
    }

    CommandContext context;
    SiteSettingsUpdate update(context.app(), context.sites(), downloadSettingsFile);
    const bool done = update.download(true, url);
    for (const SiteSettingsUpdate::Change& change : update.changes()) {
        const QString where =
            change.section.isEmpty() ? change.key : change.section + u'\\' + change.key;
        out << where << ": " << shown(change.oldValue) << " -> " << shown(change.newValue) << '\n';
    }
    if (!done) {
        err << "gavelind update-sites: " << update.failure() << '\n';
        return kFailed;
    }
    if (update.newVersionAvailable())
        out << "A newer Gavelin is announced: " << versionText(update.announcedVersion()) << '\n';
    if (!update.sitesApplied()) {
        out << "The site data is current (settings " << versionText(update.offeredSettingsVersion())
            << ")\n";
        return kNothingNewer;
    }
    out << "Site settings " << versionText(update.offeredSettingsVersion())
        << " applied; a running copy reads them at its next start or update.\n";
    return kApplied;
}
