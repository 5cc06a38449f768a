#pragma once

#include "sites/siteprofile.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

class Registry;

// The in-memory cache of the site data: the site list, the per-site values keyed
// "<site>_<key>", the form command names and the current site.
//
// Worker threads read while a settings update or the options sheet rewrites it. Every
// change therefore builds a new immutable snapshot and swaps it in whole; a reader holds
// the snapshot it took for as long as it needs it.
class SiteSettings
{
public:
    using Entries = std::vector<std::pair<QString, QString>>;

    // The first instance made becomes current() until it is destroyed.
    SiteSettings();
    ~SiteSettings();

    SiteSettings(const SiteSettings&) = delete;
    SiteSettings& operator=(const SiteSettings&) = delete;

    static SiteSettings* current();

    // Reads the site list, every listed site's values (built-in defaults where absent) and
    // the command names from the machine-wide store. A reload adds sites and overwrites
    // values but never drops either. The current site's values are read even when it is
    // not listed, so every site the user can choose has a profile.
    void load(const Registry& machine, const QString& currentSite);
    // Writes every per-site value back to the `Sites` section.
    void save(Registry& machine) const;

    QStringList siteList() const;
    // The site count as read; the load loop ran over it, not over the list length.
    int sitesCount() const;
    QString currentSite() const;
    // Records the current site and reads its values when the cache has none yet.
    void setCurrentSite(const QString& site, const Registry& machine);

    // The value of "<site>_<key>"; empty when absent.
    QString value(const QString& fullKey) const;
    bool contains(const QString& fullKey) const;
    void setValue(const QString& fullKey, const QString& value);
    // Sets many values in one change: a reader sees all of them or none.
    void setValues(const Entries& values);
    int valueCount() const;
    // The values of one site without the "<site>_" prefix, in the profile key order.
    Entries siteEntries(const QString& site) const;
    // Every value, sorted by name.
    Entries allEntries() const;

    // A form command name ("Command", "maxbid", ...); empty for an unknown name.
    QString command(const QString& name) const;
    Entries commands() const;

    // Formats `pattern` ("%s_URL_TimeSync") with the current site and looks it up.
    QString lookup(const QString& pattern) const;
    // The current site's keywords, URLs and conventions; account fields left empty.
    SiteProfile profile() const;
    // The conventions of any site, current or not; the built-in values of the site's
    // language for those the cache does not hold. Numeric dates in the user's order.
    SiteConventions conventions(const QString& site) const;

private:
    struct Data;
    std::shared_ptr<const Data> snapshot() const;
    void publish(std::shared_ptr<const Data> data);
    static void readSite(Data& data, const Registry& machine, const QString& site);
    static SiteConventions conventionsOf(const Data& data, const QString& site);

    mutable std::mutex m_swapMutex; // guards only the pointer swap
    std::mutex m_writeMutex;        // serialises writers, so no change is lost
    std::shared_ptr<const Data> m_data;
};
