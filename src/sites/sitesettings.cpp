#include "sites/sitesettings.h"

#include "app/registry.h"
#include "sites/builtinsitetable.h"
#include "sites/sitehosts.h"

#include <QLocale>
#include <QRegularExpression>
#include <algorithm>
#include <atomic>

namespace {

std::atomic<SiteSettings*> g_current{nullptr};

const QString kSection = QStringLiteral("Sites");
const QString kCommandSection = QStringLiteral("Sites\\Commands");

QString defaultSiteName(int index)
{
    return SiteHosts::siteName(index == 1 ? SiteHosts::UnitedStates : SiteHosts::Germany);
}

// The highest N of the stored "siteName<N>" values. Indexes past it all read the
// German default, so the load loop can stop one past it with the same result; a
// damaged count of two thousand million then costs nothing.
int highestStoredSiteIndex(const Registry& machine)
{
    static const QRegularExpression name(QStringLiteral("^siteName(\\d{1,9})$"));
    int highest = 0;
    for (const QString& value : machine.valueNames(kSection)) {
        const QRegularExpressionMatch match = name.match(value);
        if (match.hasMatch())
            highest = std::max(highest, match.captured(1).toInt());
    }
    return highest;
}

} // namespace

struct SiteSettings::Data
{
    QStringList sites;
    int sitesCount = 0;
    QHash<QString, QString> values;
    Entries commands;
    QString currentSite;
};

SiteSettings::SiteSettings() : m_data(std::make_shared<const Data>())
{
    SiteSettings* none = nullptr;
    g_current.compare_exchange_strong(none, this);
}

SiteSettings::~SiteSettings()
{
    SiteSettings* self = this;
    g_current.compare_exchange_strong(self, nullptr);
}

SiteSettings* SiteSettings::current()
{
    return g_current.load();
}

std::shared_ptr<const SiteSettings::Data> SiteSettings::snapshot() const
{
    const std::lock_guard lock(m_swapMutex);
    return m_data;
}

void SiteSettings::publish(std::shared_ptr<const Data> data)
{
    const std::lock_guard lock(m_swapMutex);
    m_data = std::move(data);
}

void SiteSettings::readSite(Data& data, const Registry& machine, const QString& site)
{
    const SiteLanguage language = BuiltInSiteTable::languageOf(site);
    for (const QString& key : BuiltInSiteTable::keys()) {
        const QString name = site + '_' + key;
        data.values.insert(
            name, machine.readStr(kSection, name, BuiltInSiteTable::defaultValue(key, language)));
    }
}

void SiteSettings::load(const Registry& machine, const QString& currentSite)
{
    const std::lock_guard writer(m_writeMutex);
    auto data = std::make_shared<Data>(*snapshot());

    data->sitesCount = machine.readInt(kSection, QStringLiteral("sitesCount"), 2);
    const int last = std::min(data->sitesCount, std::max(highestStoredSiteIndex(machine) + 1, 2));
    QStringList read;
    for (int i = 1; i <= last; ++i) {
        const QString site =
            machine.readStr(kSection, QStringLiteral("siteName%1").arg(i), defaultSiteName(i));
        // An empty name is no host: it would only make keys like "_KeyWord_CurPrice".
        if (site.isEmpty() || read.contains(site))
            continue;
        read << site;
        if (!data->sites.contains(site))
            data->sites << site;
    }
    for (const QString& site : read)
        readSite(*data, machine, site);
    if (!currentSite.isEmpty() && !read.contains(currentSite))
        readSite(*data, machine, currentSite);

    data->commands.clear();
    for (const auto& [name, fallback] : BuiltInSiteTable::commandDefaults())
        data->commands.emplace_back(name, machine.readStr(kCommandSection, name, fallback));
    data->currentSite = currentSite;
    publish(std::move(data));
}

void SiteSettings::save(Registry& machine) const
{
    const std::shared_ptr<const Data> data = snapshot();
    for (auto it = data->values.cbegin(); it != data->values.cend(); ++it)
        machine.writeStr(kSection, it.key(), it.value());
    machine.sync();
}

QStringList SiteSettings::siteList() const
{
    return snapshot()->sites;
}

int SiteSettings::sitesCount() const
{
    return snapshot()->sitesCount;
}

QString SiteSettings::currentSite() const
{
    return snapshot()->currentSite;
}

void SiteSettings::setCurrentSite(const QString& site, const Registry& machine)
{
    const std::lock_guard writer(m_writeMutex);
    auto data = std::make_shared<Data>(*snapshot());
    data->currentSite = site;
    if (!site.isEmpty() && !data->values.contains(site + QStringLiteral("_URL_ViewItem")))
        readSite(*data, machine, site);
    publish(std::move(data));
}

QString SiteSettings::value(const QString& fullKey) const
{
    return snapshot()->values.value(fullKey);
}

bool SiteSettings::contains(const QString& fullKey) const
{
    return snapshot()->values.contains(fullKey);
}

void SiteSettings::setValue(const QString& fullKey, const QString& value)
{
    const std::lock_guard writer(m_writeMutex);
    auto data = std::make_shared<Data>(*snapshot());
    data->values.insert(fullKey, value);
    publish(std::move(data));
}

void SiteSettings::setValues(const Entries& values)
{
    const std::lock_guard writer(m_writeMutex);
    auto data = std::make_shared<Data>(*snapshot());
    for (const auto& [fullKey, value] : values)
        data->values.insert(fullKey, value);
    publish(std::move(data));
}

int SiteSettings::valueCount() const
{
    return static_cast<int>(snapshot()->values.size());
}

SiteSettings::Entries SiteSettings::siteEntries(const QString& site) const
{
    const std::shared_ptr<const Data> data = snapshot();
    const QString prefix = site + '_';
    Entries entries;
    for (auto it = data->values.cbegin(); it != data->values.cend(); ++it) {
        if (it.key().startsWith(prefix))
            entries.emplace_back(it.key().mid(prefix.size()), it.value());
    }
    // Keys of the profile table first, in their order; any others after them by name.
    const QStringList& order = BuiltInSiteTable::keys();
    const auto rank = [&order](const QString& key) {
        const qsizetype i = order.indexOf(key);
        return i < 0 ? order.size() : i;
    };
    std::sort(entries.begin(), entries.end(), [&](const auto& a, const auto& b) {
        const qsizetype ra = rank(a.first);
        const qsizetype rb = rank(b.first);
        return ra != rb ? ra < rb : a.first < b.first;
    });
    return entries;
}

SiteSettings::Entries SiteSettings::allEntries() const
{
    const std::shared_ptr<const Data> data = snapshot();
    Entries entries;
    for (auto it = data->values.cbegin(); it != data->values.cend(); ++it)
        entries.emplace_back(it.key(), it.value());
    std::sort(entries.begin(), entries.end());
    return entries;
}

QString SiteSettings::command(const QString& name) const
{
    const std::shared_ptr<const Data> data = snapshot();
    for (const auto& [key, text] : data->commands) {
        if (key == name)
            return text;
    }
    return QString();
}

SiteSettings::Entries SiteSettings::commands() const
{
    return snapshot()->commands;
}

QString SiteSettings::lookup(const QString& pattern) const
{
    const std::shared_ptr<const Data> data = snapshot();
    QString name = pattern;
    const qsizetype at = name.indexOf(QLatin1String("%s"));
    if (at >= 0)
        name.replace(at, 2, data->currentSite);
    return data->values.value(name);
}

SiteProfile SiteSettings::profile() const
{
    const std::shared_ptr<const Data> data = snapshot();
    SiteProfile profile;
    profile.siteName = data->currentSite;
    const QString prefix = data->currentSite + '_';
    for (const SiteProfile::TextField& field : SiteProfile::textFields())
        profile.*(field.field) = data->values.value(prefix + QLatin1String(field.key));
    profile.conventions = conventionsOf(*data, data->currentSite);
    return profile;
}

SiteConventions SiteSettings::conventions(const QString& site) const
{
    return conventionsOf(*snapshot(), site);
}

SiteConventions SiteSettings::conventionsOf(const Data& data, const QString& site)
{
    const QString prefix = site + '_';
    const auto value = [&](const QString& key) {
        const auto it = data.values.constFind(prefix + key);
        return it != data.values.cend() ? *it : SiteConventions::builtInValue(site, key);
    };
    return SiteConventions::build(site, value, NumericDateReader::orderOf(QLocale()));
}
