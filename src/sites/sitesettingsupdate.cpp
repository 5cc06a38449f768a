#include "sites/sitesettingsupdate.h"

#include "app/appcontext.h"
#include "app/registry.h"
#include "app/stringtable.h"
#include "sites/sitesettings.h"
#include "sites/sitetext.h"

#include <QDateTime>
#include <QHash>

namespace {

const QString kUrlSection = QStringLiteral("URL");
const QString kSitesSection = QStringLiteral("Sites");
const QString kCommandsSection = QStringLiteral("Sites\\Commands");
const QString kEnd = QStringLiteral("[END]");
constexpr int kMaxNameLength = 299;

// The header lines after "[START]", in their order, with the message of each one missing.
struct HeaderKey
{
    const char* key;
    int failure;
};
constexpr HeaderKey kVersionKey{"VENDRA_VERSION", 452};
constexpr HeaderKey kSettingsVersionKey{"SETTINGS_VERSION", 453};
constexpr HeaderKey kSettingsUrlKey{"URL_SETTINGS", 454};
constexpr HeaderKey kPatchWsKey{"URL_PATCH_WS", 455};
constexpr HeaderKey kPatchNsKey{"URL_PATCH_NS", 456};
constexpr HeaderKey kSitesUrlKey{"URL_SITES", 458};

// The hexadecimal number at the start of `text`; reading stops at the first other character.
int readHex(QStringView text)
{
    quint32 value = 0;
    for (const QChar c : text) {
        const int digit = c.isDigit()                ? c.unicode() - '0'
                          : (c >= u'a' && c <= u'f') ? c.unicode() - 'a' + 10
                          : (c >= u'A' && c <= u'F') ? c.unicode() - 'A' + 10
                                                     : -1;
        if (digit < 0)
            break;
        value = value * 16 + quint32(digit);
    }
    return int(value);
}

QString dashes()
{
    return QString(60, QLatin1Char('-'));
}

} // namespace

SiteSettingsUpdate::SiteSettingsUpdate(AppContext& app, SiteSettings& sites, Fetcher fetch)
    : m_app(app), m_sites(sites), m_fetch(std::move(fetch))
{
}

QString SiteSettingsUpdate::versionLine(int settingsVersion, int programVersion)
{
    const auto major = [](int v) { return (quint32(v) >> 16) & 0xFFFF; };
    const auto minor = [](int v) { return quint32(v) & 0xFFFF; };
    return QString::asprintf(StringTable::text(462).toUtf8().constData(), major(settingsVersion),
                             minor(settingsVersion), quint32(settingsVersion),
                             major(programVersion), minor(programVersion), quint32(programVersion));
}

bool SiteSettingsUpdate::fail(int stringId, const QString& detail)
{
    QString text = StringTable::text(stringId);
    if (stringId == 459)
        text.replace(QStringLiteral("%s"), detail);
    m_app.log().write(text, ProgramLog::Error);
    m_failure =
        detail.isEmpty() || stringId == 459 ? text : text + QStringLiteral(" (") + detail + u')';
    return false;
}

SiteSettingsUpdate::Download SiteSettingsUpdate::fetchLocked(const QString& url)
{
    // Not under the items lock: a download that stalls for its whole time-out would hold
    // every bid thread back from its moment.
    Download download = m_fetch(url);
    if (!download.failure.isEmpty())
        m_app.log().write(url + QStringLiteral(": ") + download.failure, ProgramLog::Error);
    return download;
}

bool SiteSettingsUpdate::download(bool checkVersion, const QString& url)
{
    Registry& machine = m_app.machineRegistry();
    if (!url.isEmpty())
        m_overrideUrl = url;
    const QString address = !m_overrideUrl.isEmpty()
                                ? m_overrideUrl
                                : machine.readStr(kUrlSection, QStringLiteral("URLSettings"));
    if (address.isEmpty()) {
        m_app.log().write(StringTable::text(342), ProgramLog::Info);
        m_app.log().message(StringTable::text(274), ProgramLog::Error);
        m_failure = StringTable::text(274) + QStringLiteral(" (no settings address is stored)");
        return false;
    }
    m_followed.insert(address);
    const Download settingsFile = fetchLocked(address);
    if (!apply(settingsFile.text)) {
        if (!settingsFile.failure.isEmpty())
            m_failure = StringTable::text(450) + QStringLiteral(" (") + address +
                        QStringLiteral(": ") + settingsFile.failure + u')';
        m_app.log().message(StringTable::text(274), ProgramLog::Error);
        return false;
    }
    if (checkVersion) {
        const int installed =
            machine.readInt(QString(), QStringLiteral("versionApp"), AppContext::builtInVersion());
        // An unknown installed version cannot be compared; the settings were applied all
        // the same, so the update still counts as done.
        if (installed == 0) {
            m_app.log().write(StringTable::text(342), ProgramLog::Info);
        } else if (quint32(installed) < quint32(m_announcedVersion)) {
            m_app.log().write(QString::asprintf(StringTable::text(527).toUtf8().constData(),
                                                quint32(m_announcedVersion)),
                              ProgramLog::Warning);
            m_newVersion = true;
        }
    }
    m_app.log().message(StringTable::text(273), ProgramLog::Success);
    m_failure.clear();
    return true;
}

bool SiteSettingsUpdate::apply(const QString& text)
{
    m_failure.clear();
    if (text.isEmpty())
        return fail(450);
    const QStringList lines = SplitLines(text, u"\n");
    const qsizetype start = lines.indexOf(QStringLiteral("[START]"));
    if (start < 0 || start == lines.size() - 1)
        return fail(451);

    // A file that ends inside the header fails with the message of the first missing key.
    const auto headerValue = [&](qsizetype offset, const HeaderKey& key, QString* value) {
        const qsizetype index = start + offset;
        const QString keyText = QLatin1String(key.key);
        if (index >= lines.size() || !lines[index].startsWith(keyText))
            return false;
        *value = lines[index].mid(keyText.size() + 1);
        return true;
    };
    QString value;
    if (!headerValue(1, kVersionKey, &value))
        return fail(kVersionKey.failure);
    m_announcedVersion = readHex(value);
    if (!headerValue(2, kSettingsVersionKey, &value))
        return fail(kSettingsVersionKey.failure);
    m_offeredSettingsVersion = readHex(value);

    Registry& machine = m_app.machineRegistry();
    if (!headerValue(3, kSettingsUrlKey, &value))
        return fail(kSettingsUrlKey.failure);
    const QString settingsUrl = value.trimmed();
    if (!settingsUrl.isEmpty()) {
        const QString before = !m_overrideUrl.isEmpty()
                                   ? m_overrideUrl
                                   : machine.readStr(kUrlSection, QStringLiteral("URLSettings"));
        if (settingsUrl != before) {
            // Followed once per address: files that point at each other would loop.
            if (m_followed.count(settingsUrl))
                return fail(kSettingsUrlKey.failure,
                            QStringLiteral("the settings files lead round in a loop at ") +
                                settingsUrl);
            write(kUrlSection, QStringLiteral("URLSettings"), settingsUrl);
            m_overrideUrl.clear();
            return download(true);
        }
    }
    if (!headerValue(4, kPatchWsKey, &value))
        return fail(kPatchWsKey.failure);
    write(kUrlSection, QStringLiteral("URLPatchWS"), value.trimmed());
    if (!headerValue(5, kPatchNsKey, &value))
        return fail(kPatchNsKey.failure);
    write(kUrlSection, QStringLiteral("URLPatchNS"), value.trimmed());
    if (!headerValue(7, kSitesUrlKey, &value))
        return fail(kSitesUrlKey.failure);
    const QString sitesUrl = value.trimmed();

    QStringList settingsLines;
    if (section(lines, QStringLiteral("[SETTINGS]"), &settingsLines)) {
        for (const QString& line : settingsLines) {
            const NameValue pair = nameValue(line);
            if (!pair.name.isEmpty())
                write(kUrlSection, pair.name, pair.value);
        }
    }

    const int applied = machine.readInt(QString(), QStringLiteral("SSVer"), 0);
    if (quint32(applied) < quint32(m_offeredSettingsVersion) && !applySites(sitesUrl)) {
        machine.sync();
        return false;
    }
    machine.sync();
    m_checkedAt = QDateTime::currentSecsSinceEpoch();
    m_app.userRegistry().writeInt(QStringLiteral("Options"), QStringLiteral("lastChecked"),
                                  int(m_checkedAt));
    m_app.userRegistry().sync();
    return true;
}

bool SiteSettingsUpdate::applySites(const QString& sitesUrl)
{
    const Download sitesFile = fetchLocked(sitesUrl);
    const QStringList lines = SplitLines(sitesFile.text, u"\n");

    // Everything is read and checked before anything is written.
    QStringList siteList;
    if (!section(lines, QStringLiteral("[SITES]"), &siteList) || siteList.isEmpty())
        return fail(458, sitesFile.failure.isEmpty()
                             ? QString()
                             : sitesUrl + QStringLiteral(": ") + sitesFile.failure);
    QStringList commandLines;
    if (!section(lines, QStringLiteral("[COMMANDS]"), &commandLines))
        return fail(457);
    std::vector<NameValue> commands;
    for (const QString& line : commandLines) {
        const qsizetype equals = line.indexOf(u'=');
        if (equals >= 0)
            commands.push_back({line.left(equals), line.mid(equals + 1)});
    }
    std::vector<NameValue> values;
    for (const QString& site : siteList) {
        QStringList siteLines;
        if (!section(lines, QStringLiteral("[SITE_") + site + u']', &siteLines)) {
            fail(459, QStringLiteral("SITE_") + site);
            continue;
        }
        QHash<QString, qsizetype> seen; // a later line with the same name replaces the first
        for (const QString& line : siteLines) {
            NameValue pair = nameValue(line);
            if (pair.name.isEmpty())
                continue;
            const auto known = seen.constFind(pair.name);
            if (known != seen.constEnd()) {
                values[*known].value = pair.value;
            } else {
                seen.insert(pair.name, qsizetype(values.size()));
                values.push_back(std::move(pair));
            }
        }
    }
    m_failure.clear();

    writeNumber(kSitesSection, QStringLiteral("sitesCount"), int(siteList.size()));
    for (qsizetype i = 0; i < siteList.size(); ++i)
        write(kSitesSection, QStringLiteral("siteName%1").arg(i + 1), siteList[i]);
    for (const NameValue& command : commands)
        write(kCommandsSection, command.name, command.value);
    SiteSettings::Entries entries;
    entries.reserve(values.size());
    for (const NameValue& pair : values) {
        write(kSitesSection, pair.name, pair.value);
        entries.emplace_back(pair.name, pair.value);
    }
    m_sites.setValues(entries);

    writeNumber(QString(), QStringLiteral("SSVer"), m_offeredSettingsVersion);
    m_sitesApplied = true;

    ProgramLog& log = m_app.log();
    log.write(dashes(), ProgramLog::Info);
    log.message(StringTable::text(212), ProgramLog::Info);
    log.write(versionLine(m_offeredSettingsVersion, m_announcedVersion), ProgramLog::Success);
    log.write(dashes(), ProgramLog::Info);
    return true;
}

void SiteSettingsUpdate::write(const QString& section, const QString& key, const QString& value)
{
    Registry& machine = m_app.machineRegistry();
    const bool existed = machine.contains(section, key);
    const QString before = machine.readStr(section, key);
    if (existed && before == value)
        return;
    machine.writeStr(section, key, value);
    m_changes.push_back({section, key, existed ? before : QString(), value});
}

void SiteSettingsUpdate::writeNumber(const QString& section, const QString& key, int value)
{
    Registry& machine = m_app.machineRegistry();
    const bool existed = machine.contains(section, key);
    const int before = machine.readInt(section, key, 0);
    if (existed && before == value)
        return;
    machine.writeInt(section, key, value);
    m_changes.push_back(
        {section, key, existed ? QString::number(before) : QString(), QString::number(value)});
}

SiteSettingsUpdate::NameValue SiteSettingsUpdate::nameValue(const QString& line)
{
    qsizetype end = 0;
    while (end < line.size() && !line[end].isSpace())
        ++end;
    if (end == 0 || end > kMaxNameLength)
        return {};
    return {line.left(end), line.mid(end + 1)};
}

bool SiteSettingsUpdate::section(const QStringList& lines, const QString& marker, QStringList* body)
{
    const qsizetype start = lines.indexOf(marker);
    if (start < 0 || start == lines.size() - 1)
        return false;
    body->clear();
    for (qsizetype i = start + 1; i < lines.size() && lines[i] != kEnd; ++i)
        body->append(lines[i]);
    return true;
}
