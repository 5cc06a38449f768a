#pragma once

#include <QString>
#include <QStringList>
#include <variant>
#include <vector>

class Registry;

// Every per-user setting, read once at start-up and written back by the options sheet.
// Other code reads this in-memory copy. The key table in appsettings.cpp is the one
// place that names each key, its section, default and whether it is kept inverted.
struct AppSettings
{
    // Options
    int bidsEvery;
    int startBefore;
    int enableRefresh;
    int refreshEvery;
    int refreshCheck;
    int refreshInactive;
    int autoTimeSync;
    int autoSave;
    int autoSaveTime;
    QString currentSite;
    int connectTime;
    int dialUp;
    QString phoneEntry;
    int autoDisconnect;
    int autoDialOnStart;
    int updateEvery;
    int lastChecked;
    int autoStartup;
    int showSplash;
    int confirmDel;
    int silentBrowser;
    int autoSaveList;
    int sortFolders;
    int bkg;
    int showIE;
    int hilight;
    int hilightTime;
    int warn;
    int warnPrice;
    int lock;
    QString lockPassword;
    int idleTime;
    int sizeLog;
    QString initDir;
    int firstStartup;
    int firstStartup2;
    int bigIcon;
    QString saveFolder;

    // Login
    QString login;
    QString password;
    QString email;
    int useProxy;
    QString proxyAddress;
    QString proxyPort;
    int useProxyPass;
    QString proxyUser;
    QString proxyPass;

    // MailCmd
    int useMC;
    QString popServer;
    int popPort;
    QString popLogin;
    QString popPassword;
    QString commandEmail;
    int mailCheckMinutes;
    QString smtpServer;
    int smtpPort;
    QString notifyRecipient;
    QString notifySender;
    int notifyEnded;
    int notifyOutbid;
    QString smtpUser;
    QString smtpPassword;

    // EMails
    QString sellerSubject;
    QString sellerBody;

    // Options\Frame
    int frameStatus;
    int frameTop;
    int frameLeft;
    int frameBottom;
    int frameRight;
    int paneLeft;
    int paneRight;

    // Options\List
    int sortStatus;
    int sortColumn;
    int sortAsc;
    QString columnOrder;
    QString columnHide;
    QString columnSize;

    // Log (viewer placement)
    int logLeft;
    int logTop;
    int logWidth;
    int logHeight;

    // "Recent File List", newest first, at most kMaxRecentFiles.
    QStringList recentFiles;

    static constexpr int kMaxRecentFiles = 16;

    AppSettings();

    void readAll(const Registry& registry);
    void writeAll(Registry& registry) const;
    void readRecentFiles(const Registry& registry);
    void writeRecentFiles(Registry& registry) const;

    // The lines logged at start-up between the "Options" header and the asterisks.
    QStringList startupDump() const;
    // The lines logged after the options sheet's OK, between its header and closing line.
    QStringList changeOptionsDump(bool autoTimeSyncChanged) const;
    static QString changeOptionsHeader();
    static QString changeOptionsFooter();
    // "eBay login: %s", or "USERNAME EMPTY".
    QString loginLine() const;
};

// One row of the key table.
struct SettingKey
{
    const char* section;
    const char* key;
    std::variant<int AppSettings::*, QString AppSettings::*> field;
    int intDefault = 0;
    const char* strDefault = "";
    bool inverted = false;
};

const std::vector<SettingKey>& settingKeys();
