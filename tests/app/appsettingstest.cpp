#include "app/appsettings.h"
#include "app/registry.h"
#include "support/temphome.h"

#include <QFile>
#include <QSet>
#include <gtest/gtest.h>

namespace {

// Every row of the table away from its default, each to a value of its own, so that a
// writer or reader that skips or swaps a row loses a value.
QString secretText(const SettingKey& key)
{
    return QStringLiteral("secret-of-%1").arg(key.key);
}

AppSettings everyRowChanged()
{
    AppSettings s;
    int n = 0;
    for (const SettingKey& key : settingKeys()) {
        ++n;
        if (auto field = std::get_if<int AppSettings::*>(&key.field)) {
            s.*(*field) = key.intDefault + 1000 + n;
            continue;
        }
        QString AppSettings::*field = std::get<QString AppSettings::*>(key.field);
        s.*field = key.inverted ? secretText(key)
                                : QStringLiteral("%1 Grüße, €; \"q\"\r\n%2").arg(n).arg(key.key);
        EXPECT_NE(s.*field, QString::fromUtf8(key.strDefault)) << key.key;
    }
    s.recentFiles = {"/a/one.bid", "/b/two.bid"};
    return s;
}

void expectSameRows(const AppSettings& read, const AppSettings& written)
{
    for (const SettingKey& key : settingKeys()) {
        if (auto field = std::get_if<int AppSettings::*>(&key.field))
            EXPECT_EQ(read.*(*field), written.*(*field)) << key.section << '\\' << key.key;
        else
            EXPECT_EQ(read.*std::get<QString AppSettings::*>(key.field),
                      written.*std::get<QString AppSettings::*>(key.field))
                << key.section << '\\' << key.key;
    }
}

int storedRows(const Registry& registry)
{
    int count = 0;
    for (const SettingKey& key : settingKeys())
        count += registry.contains(key.section, key.key) ? 1 : 0;
    return count;
}

TEST(AppSettingsTest, FreshUserGetsTheDefaults)
{
    TempHome home;
    Registry registry(home.paths().userSettingsFile());
    AppSettings settings;
    settings.readAll(registry);
    EXPECT_EQ(settings.startBefore, 60);
    EXPECT_EQ(settings.bidsEvery, 30);
    EXPECT_EQ(settings.refreshEvery, 5);
    EXPECT_EQ(settings.autoSaveTime, 10);
    EXPECT_EQ(settings.logSizeLimit, 204800);
    EXPECT_EQ(settings.popPort, 110);
    EXPECT_EQ(settings.smtpPort, 25);
    EXPECT_EQ(settings.paneLeft, 185);
    EXPECT_EQ(settings.sortColumn, -1);
    EXPECT_EQ(settings.currentSite, "www.ebay.de");
    EXPECT_EQ(settings.columnOrder, "0,1,3,11,10,4,5,6,7,8,9,2,");
    EXPECT_EQ(settings.sellerBody, "Hello, [seller_name].\r\nI want to talk with you about...");
    EXPECT_TRUE(settings.password.isEmpty());
    EXPECT_TRUE(settings.recentFiles.isEmpty());
}

TEST(AppSettingsTest, KeyTableNamesEveryKeyOnceAndMarksTheSecrets)
{
    QSet<QString> seen;
    QStringList inverted;
    for (const SettingKey& key : settingKeys()) {
        const QString path = QString("%1\\%2").arg(key.section, key.key);
        EXPECT_FALSE(seen.contains(path)) << path.toStdString();
        seen.insert(path);
        if (key.inverted)
            inverted << path;
    }
    EXPECT_EQ(inverted, (QStringList{"Options\\LockP", "Login\\Password", "Login\\proxyPass",
                                     "MailCmd\\pass"}));
}

TEST(AppSettingsTest, WriteAllThenReadAllKeepsEveryValue)
{
    TempHome home;
    const AppSettings written = everyRowChanged();
    {
        Registry registry(home.paths().userSettingsFile());
        written.writeAll(registry);
    }
    Registry registry(home.paths().userSettingsFile());
    AppSettings read;
    read.readAll(registry);
    expectSameRows(read, written);
    EXPECT_EQ(read.recentFiles, written.recentFiles);
}

TEST(AppSettingsTest, SecretRowsAreInvertedOnDiskByEveryWriter)
{
    TempHome home;
    const AppSettings written = everyRowChanged();
    const QString file = home.paths().userSettingsFile();
    for (const bool oneByOne : {false, true}) {
        QFile::remove(file);
        {
            Registry registry(file);
            if (oneByOne) {
                for (const SettingKey& key : settingKeys()) {
                    if (key.inverted)
                        written.writeKey(registry, std::get<QString AppSettings::*>(key.field));
                }
            } else {
                written.writeAll(registry);
            }
        }
        QFile disk(file);
        ASSERT_TRUE(disk.open(QIODevice::ReadOnly));
        const QByteArray text = disk.readAll();
        Registry registry(file);
        AppSettings read;
        for (const SettingKey& key : settingKeys()) {
            if (!key.inverted)
                continue;
            QString AppSettings::*field = std::get<QString AppSettings::*>(key.field);
            EXPECT_FALSE(text.contains(secretText(key).toUtf8())) << key.key << oneByOne;
            EXPECT_NE(registry.readStr(key.section, key.key), secretText(key)) << key.key;
            EXPECT_EQ(registry.readInverted(key.section, key.key), secretText(key)) << key.key;
            read.readKey(registry, field);
            EXPECT_EQ(read.*field, written.*field) << key.key;
        }
        // The SMTP password is the one secret kept as typed.
        if (!oneByOne) {
            EXPECT_EQ(registry.readStr("MailCmd", "smtppass"), written.smtpPassword);
        }
    }
}

TEST(AppSettingsTest, WriteKeyStoresItsOwnRowAndNoOther)
{
    TempHome home;
    const AppSettings written = everyRowChanged();
    Registry registry(home.paths().userSettingsFile());
    int stored = 0;
    for (const SettingKey& key : settingKeys()) {
        if (auto intField = std::get_if<int AppSettings::*>(&key.field))
            written.writeKey(registry, *intField);
        else
            written.writeKey(registry, std::get<QString AppSettings::*>(key.field));
        EXPECT_TRUE(registry.contains(key.section, key.key)) << key.key;
        EXPECT_EQ(storedRows(registry), ++stored) << key.key;
    }
    AppSettings read;
    read.readAll(registry);
    expectSameRows(read, written);
}

TEST(AppSettingsTest, SingleRowsReadWriteAndReportThemselves)
{
    TempHome home;
    Registry registry(home.paths().userSettingsFile());
    AppSettings settings;
    // A stored value equal to the default still counts as stored.
    EXPECT_FALSE(AppSettings::isStored(registry, &AppSettings::frameTop));
    settings.writeKey(registry, &AppSettings::frameTop);
    EXPECT_TRUE(AppSettings::isStored(registry, &AppSettings::frameTop));
    EXPECT_EQ(registry.readInt("Options\\Frame", "Top", 0), -1);

    settings.columnOrder = "2,1,0,";
    settings.logWidth = 640;
    settings.paneLeft = 300;
    settings.writeKeys(registry, {&AppSettings::columnOrder, &AppSettings::logWidth});
    EXPECT_EQ(storedRows(registry), 3);
    EXPECT_EQ(registry.readStr("Options\\List", "Order"), "2,1,0,");
    EXPECT_EQ(registry.readInt("Log", "Width", 0), 640);

    // readKey takes its own row from disk and leaves every other member alone.
    registry.writeInt("Options", "sizeLog", 1000);
    registry.writeInt("Options", "startBefore", 90);
    settings.readKey(registry, &AppSettings::logSizeLimit);
    settings.readKey(registry, &AppSettings::columnOrder);
    EXPECT_EQ(settings.logSizeLimit, 1000);
    EXPECT_EQ(settings.columnOrder, "2,1,0,");
    EXPECT_EQ(settings.startBefore, 60);
    EXPECT_EQ(settings.paneLeft, 300);
    // A row that was never stored reads its default.
    settings.readKey(registry, &AppSettings::paneLeft);
    EXPECT_EQ(settings.paneLeft, 185);
}

TEST(AppSettingsTest, RenamedAndNewMembersReadTheKeysFilesAlreadyHold)
{
    TempHome home;
    Registry registry(home.paths().userSettingsFile());
    registry.writeInt("Options", "bkg", 0);
    registry.writeInt("Options", "hilight", 0);
    registry.writeInt("Options", "hilightTime", 7);
    registry.writeInt("Options", "sizeLog", 4096);
    registry.writeInt("Options", "firststartup2", 0);
    for (const char* bar : {"ShowOutlookBar", "ShowStatus", "ShowToolBar"})
        registry.writeInt("Options\\Frame", bar, 0);
    AppSettings read;
    EXPECT_EQ(read.showOutlookBar + read.showStatusBar + read.showToolBar, 3);
    EXPECT_EQ(read.profileCopyPending, 1);
    read.readAll(registry);
    EXPECT_EQ(read.listBackground, 0);
    EXPECT_EQ(read.highlightEnding, 0);
    EXPECT_EQ(read.highlightEndingHours, 7);
    EXPECT_EQ(read.logSizeLimit, 4096);
    EXPECT_EQ(read.profileCopyPending, 0);
    EXPECT_EQ(read.showOutlookBar, 0);
    EXPECT_EQ(read.showStatusBar, 0);
    EXPECT_EQ(read.showToolBar, 0);
}

TEST(AppSettingsTest, DumpsHaveTheirLinesAndNeverAPassword)
{
    AppSettings s;
    s.login = "bidder1";
    s.password = "site-secret";
    s.lockPassword = "lock-secret";
    s.popPassword = "pop-secret";
    s.useProxy = 1;
    s.proxyAddress = "proxy.local";
    s.proxyPort = "3128";
    s.useProxyPass = 1;
    s.proxyUser = "puser";
    s.proxyPass = "proxy-secret";
    s.startBefore = 45;

    const QStringList startup = s.startupDump();
    EXPECT_EQ(startup,
              (QStringList{" ****** Options **************", "StartBefore = 45",
                           "ER=1, RE=5, RC=0, RI=60, IT=5", "CT=2, AD=0, DC=0, ADS=1, UP=1, UPP=1",
                           "ProxyAddress = proxy.local, ProxyPort = 3128",
                           "ProxyUsername = puser, pass = ...", "ASU=1, AS=1, AST=10",
                           "*****************************", "Current site www.ebay.de"}));

    const QStringList change = s.changeOptionsDump(true);
    EXPECT_EQ(change,
              (QStringList{"StartBefore = 45", "eBay login: = bidder1",
                           "ER=1, RE=5, RC=0, RI=60, IT=5", "CT=2, AD=0, DC=0, ADS=1, UP=1, UPP=1",
                           "ProxyAddress = proxy.local, ProxyPort = 3128",
                           "ProxyUsername = puser, pass = skiped...", "ASU=1, AS=1, AST=10",
                           "AutoTimeSync = 60"}));
    EXPECT_EQ(AppSettings::changeOptionsFooter(), " ****** End change options ****************");

    const QString all = (startup + change).join('\n') + s.loginLine();
    for (const char* secret : {"site-secret", "lock-secret", "pop-secret", "proxy-secret"})
        EXPECT_FALSE(all.contains(secret)) << secret;

    s.useProxy = 0;
    EXPECT_FALSE(s.startupDump().join('\n').contains("Proxy"));
    s.login.clear();
    EXPECT_EQ(s.loginLine(), "USERNAME EMPTY");
}

} // namespace
