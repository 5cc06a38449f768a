#include "app/appsettings.h"

#include "app/programlog.h"
#include "app/registry.h"

#include <QtGlobal>

namespace {

using S = AppSettings;

// Site name of the German site: the host of its home page.
constexpr const char* kDefaultSite = "www.ebay.de";

SettingKey intKey(const char* section, const char* key, int S::*field, int def)
{
    return SettingKey{section, key, field, def, "", false, false};
}

SettingKey strKey(const char* section, const char* key, QString S::*field, const char* def = "")
{
    return SettingKey{section, key, field, 0, def, false, false};
}

SettingKey secretKey(const char* section, const char* key, QString S::*field)
{
    return SettingKey{section, key, field, 0, "", true, true};
}

// A password that other programs read as typed.
SettingKey plainSecretKey(const char* section, const char* key, QString S::*field)
{
    return SettingKey{section, key, field, 0, "", false, true};
}

std::vector<SettingKey> buildTable()
{
    const char* o = "Options";
    const char* l = "Login";
    const char* m = "MailCmd";
    const char* f = "Options\\Frame";
    const char* li = "Options\\List";
    return {
        intKey(o, "bidsEvery", &S::bidsEvery, 30),
        intKey(o, "startBefore", &S::startBefore, 60),
        intKey(o, "enableRefresh", &S::enableRefresh, 1),
        intKey(o, "refreshEvery", &S::refreshEvery, 5),
        intKey(o, "refreshCheck", &S::refreshCheck, 0),
        intKey(o, "refreshInactive", &S::refreshInactive, 60),
        intKey(o, "autoTimeSync", &S::autoTimeSync, 60),
        intKey(o, "preciseStart", &S::preciseStart, 0),
        intKey(o, "autoSave", &S::autoSave, 1),
        intKey(o, "autoSaveTime", &S::autoSaveTime, 10),
        strKey(o, "currentSite", &S::currentSite, kDefaultSite),
        intKey(o, "connectTime", &S::connectTime, 2),
        intKey(o, "Dial-Up", &S::dialUp, 0),
        strKey(o, "phoneEntry", &S::phoneEntry),
        intKey(o, "autoDisconnect", &S::autoDisconnect, 0),
        intKey(o, "autoDialOnStart", &S::autoDialOnStart, 1),
        intKey(o, "updateEvery", &S::updateEvery, 1),
        intKey(o, "lastChecked", &S::lastChecked, 0),
        intKey(o, "autoStartup", &S::autoStartup, 1),
        intKey(o, "showSplash", &S::showSplash, 1),
        intKey(o, "confirmDel", &S::confirmDel, 1),
        intKey(o, "silentBrowser", &S::silentBrowser, 1),
        intKey(o, "autoSaveList", &S::autoSaveList, 1),
        intKey(o, "sortFolders", &S::sortFolders, 0),
        intKey(o, "bkg", &S::listBackground, 1),
        intKey(o, "showIE", &S::showIE, 0),
        intKey(o, "hilight", &S::highlightEnding, 1),
        intKey(o, "hilightTime", &S::highlightEndingHours, 1),
        intKey(o, "warn", &S::warn, 0),
        intKey(o, "warnPrice", &S::warnPrice, 0),
        intKey(o, "Lock", &S::lock, 0),
        secretKey(o, "LockP", &S::lockPassword),
        intKey(o, "Idle time", &S::idleTime, 5),
        intKey(o, "sizeLog", &S::logSizeLimit, int(ProgramLog::kDefaultSizeLimit)),
        strKey(o, "InitDir", &S::initDir),
        intKey(o, "firststartup", &S::firstStartup, 1),
        intKey(o, "firststartup2", &S::profileCopyPending, 1),
        intKey(o, "bigIcon", &S::bigIcon, 1),
        strKey(o, "saveFolder", &S::saveFolder),

        strKey(l, "Login", &S::login),
        secretKey(l, "Password", &S::password),
        strKey(l, "Email", &S::email),
        intKey(l, "useProxy", &S::useProxy, 0),
        strKey(l, "proxyAddress", &S::proxyAddress),
        strKey(l, "proxyPort", &S::proxyPort),
        intKey(l, "useProxyPass", &S::useProxyPass, 0),
        strKey(l, "proxyUser", &S::proxyUser),
        secretKey(l, "proxyPass", &S::proxyPass),

        intKey(m, "useMC", &S::useMC, 0),
        strKey(m, "server", &S::popServer),
        intKey(m, "port", &S::popPort, 110),
        strKey(m, "login", &S::popLogin),
        secretKey(m, "pass", &S::popPassword),
        strKey(m, "email", &S::commandEmail),
        intKey(m, "time", &S::mailCheckMinutes, 5),
        strKey(m, "server2", &S::smtpServer),
        intKey(m, "port2", &S::smtpPort, 25),
        strKey(m, "recv", &S::notifyRecipient),
        strKey(m, "sender", &S::notifySender),
        intKey(m, "end", &S::notifyEnded, 0),
        intKey(m, "outbid", &S::notifyOutbid, 0),
        strKey(m, "smtpuser", &S::smtpUser),
        plainSecretKey(m, "smtppass", &S::smtpPassword), // kept as typed
        // Plain by default, so that stored settings from before TLS keep working.
        intKey(m, "popSecurity", &S::popSecurity, 0),
        intKey(m, "smtpSecurity", &S::smtpSecurity, 0),

        strKey("EMails", "sellerSubject", &S::sellerSubject,
               "Letter from [my_name]. About bid #[bid_id] ([bid_name])."),
        strKey("EMails", "sellerBody", &S::sellerBody,
               "Hello, [seller_name].\r\nI want to talk with you about..."),

        intKey(f, "Status", &S::frameStatus, -1),
        intKey(f, "Top", &S::frameTop, -1),
        intKey(f, "Left", &S::frameLeft, -1),
        intKey(f, "Bottom", &S::frameBottom, -1),
        intKey(f, "Right", &S::frameRight, -1),
        intKey(f, "PaneLeft", &S::paneLeft, 185),
        intKey(f, "PaneRight", &S::paneRight, 150),
        intKey(f, "ShowOutlookBar", &S::showOutlookBar, 1),
        intKey(f, "ShowStatus", &S::showStatusBar, 1),
        intKey(f, "ShowToolBar", &S::showToolBar, 1),

        intKey(li, "sortStatus", &S::sortStatus, 0),
        intKey(li, "sortColumn", &S::sortColumn, -1),
        intKey(li, "sortAsc", &S::sortAsc, 1),
        strKey(li, "Order", &S::columnOrder, "0,1,3,11,10,4,5,6,7,8,9,2,"),
        strKey(li, "Hide", &S::columnHide),
        strKey(li, "Size", &S::columnSize),

        intKey("Log", "Left", &S::logLeft, -1),
        intKey("Log", "Top", &S::logTop, -1),
        intKey("Log", "Width", &S::logWidth, -1),
        intKey("Log", "Height", &S::logHeight, -1),
    };
}

const char* kRecentSection = "Recent File List";

QString sectionOf(const SettingKey& key)
{
    return QString::fromLatin1(key.section);
}

QString nameOf(const SettingKey& key)
{
    return QString::fromLatin1(key.key);
}

void readRow(S& settings, const Registry& registry, const SettingKey& key)
{
    const QString section = sectionOf(key);
    const QString name = nameOf(key);
    if (auto intField = std::get_if<int S::*>(&key.field)) {
        settings.*(*intField) = registry.readInt(section, name, key.intDefault);
        return;
    }
    QString S::*field = std::get<QString S::*>(key.field);
    settings.*field = key.inverted
                          ? registry.readInverted(section, name)
                          : registry.readStr(section, name, QString::fromUtf8(key.strDefault));
}

void writeRow(const S& settings, Registry& registry, const SettingKey& key)
{
    const QString section = sectionOf(key);
    const QString name = nameOf(key);
    if (auto intField = std::get_if<int S::*>(&key.field)) {
        registry.writeInt(section, name, settings.*(*intField));
        return;
    }
    const QString& value = settings.*std::get<QString S::*>(key.field);
    if (key.inverted)
        registry.writeInverted(section, name, value);
    else
        registry.writeStr(section, name, value);
}

const SettingKey& rowOf(const S::Field& field)
{
    for (const SettingKey& key : settingKeys()) {
        if (key.field == field)
            return key;
    }
    // Only a member added to AppSettings without its row gets here, on its first use.
    qFatal("AppSettings: a member without a row in the key table");
}

} // namespace

const std::vector<SettingKey>& settingKeys()
{
    static const std::vector<SettingKey> table = buildTable();
    return table;
}

AppSettings::AppSettings()
{
    for (const SettingKey& key : settingKeys()) {
        if (auto intField = std::get_if<int S::*>(&key.field))
            this->*(*intField) = key.intDefault;
        else
            this->*std::get<QString S::*>(key.field) = QString::fromUtf8(key.strDefault);
    }
}

void AppSettings::readAll(const Registry& registry)
{
    for (const SettingKey& key : settingKeys())
        readRow(*this, registry, key);
    readRecentFiles(registry);
}

void AppSettings::writeAll(Registry& registry) const
{
    for (const SettingKey& key : settingKeys())
        writeRow(*this, registry, key);
    writeRecentFiles(registry);
}

void AppSettings::readKey(const Registry& registry, int S::*field)
{
    readRow(*this, registry, rowOf(field));
}

void AppSettings::readKey(const Registry& registry, QString S::*field)
{
    readRow(*this, registry, rowOf(field));
}

void AppSettings::writeKey(Registry& registry, int S::*field) const
{
    writeRow(*this, registry, rowOf(field));
}

void AppSettings::writeKey(Registry& registry, QString S::*field) const
{
    writeRow(*this, registry, rowOf(field));
}

void AppSettings::writeKeys(Registry& registry, std::initializer_list<Field> fields) const
{
    for (const Field& field : fields)
        writeRow(*this, registry, rowOf(field));
}

bool AppSettings::isStored(const Registry& registry, int S::*field)
{
    const SettingKey& key = rowOf(field);
    return registry.contains(sectionOf(key), nameOf(key));
}

void AppSettings::readRecentFiles(const Registry& registry)
{
    recentFiles.clear();
    for (int i = 1; i <= kMaxRecentFiles; ++i) {
        const QString file = registry.readStr(kRecentSection, QStringLiteral("File%1").arg(i));
        if (!file.isEmpty() && !recentFiles.contains(file))
            recentFiles << file;
    }
}

void AppSettings::writeRecentFiles(Registry& registry) const
{
    registry.removeSection(kRecentSection);
    for (int i = 0; i < recentFiles.size() && i < kMaxRecentFiles; ++i)
        registry.writeStr(kRecentSection, QStringLiteral("File%1").arg(i + 1), recentFiles.at(i));
}

QString AppSettings::loginLine() const
{
    return login.isEmpty() ? QStringLiteral("USERNAME EMPTY")
                           : QStringLiteral("eBay login: %1").arg(login);
}

namespace {

QStringList commonDump(const AppSettings& s, bool withLogin, const char* passText)
{
    QStringList lines;
    lines << QStringLiteral("StartBefore = %1").arg(s.startBefore);
    if (withLogin)
        lines << QStringLiteral("eBay login: = %1").arg(s.login);
    lines << QStringLiteral("ER=%1, RE=%2, RC=%3, RI=%4, IT=%5")
                 .arg(s.enableRefresh)
                 .arg(s.refreshEvery)
                 .arg(s.refreshCheck)
                 .arg(s.refreshInactive)
                 .arg(s.idleTime);
    lines << QStringLiteral("CT=%1, AD=%2, DC=%3, ADS=%4, UP=%5, UPP=%6")
                 .arg(s.connectTime)
                 .arg(s.autoDisconnect)
                 .arg(s.dialUp)
                 .arg(s.autoDialOnStart)
                 .arg(s.useProxy)
                 .arg(s.useProxyPass);
    if (s.useProxy && !s.proxyAddress.isEmpty()) {
        lines
            << QStringLiteral("ProxyAddress = %1, ProxyPort = %2").arg(s.proxyAddress, s.proxyPort);
        if (s.useProxyPass)
            lines << QStringLiteral("ProxyUsername = %1, pass = %2")
                         .arg(s.proxyUser, QString::fromLatin1(passText));
    }
    lines << QStringLiteral("ASU=%1, AS=%2, AST=%3")
                 .arg(s.autoStartup)
                 .arg(s.autoSave)
                 .arg(s.autoSaveTime);
    return lines;
}

} // namespace

QStringList AppSettings::startupDump() const
{
    QStringList lines;
    lines << QStringLiteral(" ****** Options **************");
    lines << commonDump(*this, false, "...");
    lines << QString(29, QChar('*'));
    lines << QStringLiteral("Current site %1").arg(currentSite);
    return lines;
}

QStringList AppSettings::changeOptionsDump(bool autoTimeSyncChanged) const
{
    QStringList lines = commonDump(*this, true, "skiped...");
    if (autoTimeSyncChanged)
        lines << QStringLiteral("AutoTimeSync = %1").arg(autoTimeSync);
    return lines;
}

QString AppSettings::changeOptionsHeader()
{
    return QStringLiteral(" ****** Start change options **************");
}

QString AppSettings::changeOptionsFooter()
{
    return QStringLiteral(" ****** End change options ****************");
}
