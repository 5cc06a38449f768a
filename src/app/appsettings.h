#pragma once

#include <QString>
#include <QStringList>
#include <initializer_list>
#include <variant>
#include <vector>

class Registry;

// Every per-user setting, window placement and view state included: read once at start-up,
// written back by the options sheet, and row by row by a window keeping its own placement.
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
    int preciseStart; // measure site time to the millisecond, to start bids on the moment
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
    int listBackground; // background picture behind the bids list
    int showIE;
    int highlightEnding; // mark auctions that end within highlightEndingHours
    int highlightEndingHours;
    int warn;
    int warnPrice;
    int lock;
    QString lockPassword;
    int idleTime;
    int logSizeLimit; // bytes; a longer log starts anew at the next start
    QString initDir;
    int firstStartup;
    int profileCopyPending; // the machine-wide start profile is still to be copied
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
    // Connection protection of each client: 0 none, 1 TLS from the first byte, 2 STARTTLS.
    int popSecurity;
    int smtpSecurity;

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
    // Bars are shown unless 0, so a damaged value never hides one for good.
    int showOutlookBar;
    int showStatusBar;
    int showToolBar;

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

    using Field = std::variant<int AppSettings::*, QString AppSettings::*>;

    void readAll(const Registry& registry);
    void writeAll(Registry& registry) const;
    // One row at once, for values kept the moment they change (window placement, view
    // state) or needed before readAll() (start-up). The row is looked up by its member.
    void readKey(const Registry& registry, int AppSettings::*field);
    void readKey(const Registry& registry, QString AppSettings::*field);
    void writeKey(Registry& registry, int AppSettings::*field) const;
    void writeKey(Registry& registry, QString AppSettings::*field) const;
    void writeKeys(Registry& registry, std::initializer_list<Field> fields) const;
    // Whether the row has a value on disk at all: for rows whose default is also a value.
    static bool isStored(const Registry& registry, int AppSettings::*field);

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
    AppSettings::Field field;
    int intDefault = 0;
    const char* strDefault = "";
    bool inverted = false;
    // A password: never shown in clear by the settings tools, inverted on disk or not.
    bool secret = false;
};

const std::vector<SettingKey>& settingKeys();
