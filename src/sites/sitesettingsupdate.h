#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <set>
#include <vector>

class AppContext;
class SiteSettings;

// Keeps the sites' page wording current without a new release: reads the settings file
// (the latest program and site-data versions, further addresses) and, when it offers
// newer site data, the sites file, and stores both in the machine-wide store and in
// SiteSettings.
//
// One update runs on one thread (the main thread from the options and start-up, a worker
// from the update wizard); each download holds the items lock, applying takes none. The
// site data is checked whole before any of it is written, so a sites file that fails
// half-way leaves the previous profile complete.
class SiteSettingsUpdate
{
public:
    struct Download
    {
        QString text;
        // Why no file came, in words for the user; empty when it arrived.
        QString failure;
    };
    using Fetcher = std::function<Download(const QString& url)>;

    // One stored value the update changed ("URL", "Sites", "Sites\Commands" or the root).
    struct Change
    {
        QString section;
        QString key;
        QString oldValue;
        QString newValue;
    };

    SiteSettingsUpdate(AppContext& app, SiteSettings& sites, Fetcher fetch);

    // Fetches the settings file from the stored address (or `url` when given, for this
    // run only) and applies it; with `checkVersion`, notes whether a newer program is
    // announced. Shows its outcome as a status message.
    bool download(bool checkVersion, const QString& url = QString());
    // Applies one settings file, fetching the sites file when its data is newer.
    bool apply(const QString& text);

    int announcedVersion() const { return m_announcedVersion; }
    int offeredSettingsVersion() const { return m_offeredSettingsVersion; }
    bool newVersionAvailable() const { return m_newVersion; }
    // Whether new site data was written by this run.
    bool sitesApplied() const { return m_sitesApplied; }
    const std::vector<Change>& changes() const { return m_changes; }
    // The message of the last failure (with a download's reason); empty after success.
    QString failure() const { return m_failure; }
    // When the last check succeeded (seconds since 1970); 0 before.
    qint64 checkedAt() const { return m_checkedAt; }

    // "new Settings 2.03 [0x20003], Vendra 1.10 [0x1000a]".
    static QString versionLine(int settingsVersion, int programVersion);

private:
    struct NameValue
    {
        QString name;
        QString value;
    };

    bool fail(int stringId, const QString& detail = QString());
    Download fetchLocked(const QString& url);
    bool applySites(const QString& sitesUrl);
    void write(const QString& section, const QString& key, const QString& value);
    void writeNumber(const QString& section, const QString& key, int value);
    static NameValue nameValue(const QString& line);
    // The lines after the first line equal to `marker` up to "[END]"; false without it.
    static bool section(const QStringList& lines, const QString& marker, QStringList* body);

    AppContext& m_app;
    SiteSettings& m_sites;
    Fetcher m_fetch;
    QString m_overrideUrl;
    std::set<QString> m_followed; // settings addresses read in this run
    int m_announcedVersion = 0;
    int m_offeredSettingsVersion = 0;
    bool m_newVersion = false;
    bool m_sitesApplied = false;
    std::vector<Change> m_changes;
    QString m_failure;
    qint64 m_checkedAt = 0;
};
