#include "app/appsettings.h"
#include "app/registry.h"
#include "support/temphome.h"

#include <QFile>
#include <QSet>
#include <gtest/gtest.h>

namespace {

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
    EXPECT_EQ(settings.sizeLog, 204800);
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
    AppSettings written;
    written.startBefore = 35;
    written.currentSite = "www.ebay.com";
    written.password = "pw-site";
    written.smtpPassword = "pw-smtp";
    written.sellerSubject = "Subject, with comma";
    written.columnHide = "0,0,1,";
    written.recentFiles = {"/a/one.bid", "/b/two.bid"};
    {
        Registry registry(home.paths().userSettingsFile());
        written.writeAll(registry);
    }
    Registry registry(home.paths().userSettingsFile());
    AppSettings read;
    read.readAll(registry);
    for (const SettingKey& key : settingKeys()) {
        if (auto field = std::get_if<int AppSettings::*>(&key.field))
            EXPECT_EQ(read.*(*field), written.*(*field)) << key.key;
        else
            EXPECT_EQ(read.*std::get<QString AppSettings::*>(key.field),
                      written.*std::get<QString AppSettings::*>(key.field))
                << key.key;
    }
    EXPECT_EQ(read.recentFiles, written.recentFiles);
    // The SMTP password is kept as typed; the others are inverted.
    EXPECT_EQ(registry.readStr("MailCmd", "smtppass"), "pw-smtp");
    EXPECT_NE(registry.readStr("Login", "Password"), "pw-site");
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
