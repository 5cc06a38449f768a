#include "sites/sitesettingsupdate.h"

#include "app/registry.h"
#include "sites/sitesettings.h"
#include "support/apphome.h"

#include <QMap>
#include <gtest/gtest.h>

namespace {

const QString kSettingsUrl = QStringLiteral("http://127.0.0.1:9/settings.txt");
const QString kSitesUrl = QStringLiteral("http://127.0.0.1:9/sites.txt");

QString settingsFile(const QString& settingsVersion, const QString& settingsUrl = kSettingsUrl,
                     const QString& programVersion = QStringLiteral("1000A"))
{
    return QStringLiteral("anything before the header\n[START]\nVENDRA_VERSION=") + programVersion +
           QStringLiteral("\nSETTINGS_VERSION=") + settingsVersion +
           QStringLiteral("\nURL_SETTINGS=") + settingsUrl +
           QStringLiteral("\nURL_PATCH_WS= http://127.0.0.1:9/setup.exe \n"
                          "URL_PATCH_NS=http://127.0.0.1:9/setup.zip\nCOMMENT\nURL_SITES=") +
           kSitesUrl +
           QStringLiteral("\n[SETTINGS]\nURLBeginGuid http://127.0.0.1:9/guide\n[END]\n");
}

const QString kSitesFile = QStringLiteral("[SITES]\nwww.one.com\nwww.two.de\n[END]\n"
                                          "[COMMANDS]\nCommand=MakeBid\nno equals sign\n[END]\n"
                                          "[SITE_www.one.com]\n"
                                          "www.one.com_KeyWord_CurPrice Price now:\n"
                                          "www.one.com_KeyWord_CurPrice Price today:\n"
                                          "www.one.com_URL_ViewItem http://127.0.0.1:9/item=%s\n"
                                          "[END]\n");

class SiteSettingsUpdateTest : public ::testing::Test
{
protected:
    SiteSettingsUpdateTest()
    {
        machine().writeStr("URL", "URLSettings", kSettingsUrl);
        machine().writeStr("Sites", "www.one.com_KeyWord_CurPrice", "Current bid:");
        machine().writeInt(QString(), "SSVer", 0x20002);
    }

    Registry& machine() { return m_home.app().machineRegistry(); }

    SiteSettingsUpdate update()
    {
        return SiteSettingsUpdate(m_home.app(), m_sites, [this](const QString& url) {
            fetched << url;
            SiteSettingsUpdate::Download download;
            if (files.contains(url))
                download.text = files.value(url);
            else
                download.failure = QStringLiteral("Couldn't connect to server");
            return download;
        });
    }

    AppHome m_home;
    SiteSettings m_sites;
    QMap<QString, QString> files;
    QStringList fetched;
};

TEST_F(SiteSettingsUpdateTest, NewerSiteDataIsAppliedWholeAndLogged)
{
    files[kSettingsUrl] = settingsFile("20003");
    files[kSitesUrl] = kSitesFile;
    SiteSettingsUpdate run = update();
    ASSERT_TRUE(run.download(true)) << run.failure().toStdString();
    EXPECT_TRUE(run.sitesApplied());
    EXPECT_EQ(machine().readInt(QString(), "SSVer", 0), 0x20003);
    EXPECT_EQ(machine().readInt("Sites", "sitesCount", 0), 2);
    EXPECT_EQ(machine().readStr("Sites", "siteName2"), "www.two.de");
    EXPECT_EQ(machine().readStr("Sites\\Commands", "Command"), "MakeBid");
    EXPECT_FALSE(machine().contains("Sites\\Commands", "no equals sign"));
    // The later line of a name wins; the addresses lose their blanks, values keep theirs.
    EXPECT_EQ(machine().readStr("Sites", "www.one.com_KeyWord_CurPrice"), "Price today:");
    EXPECT_EQ(m_sites.value("www.one.com_KeyWord_CurPrice"), "Price today:");
    EXPECT_EQ(machine().readStr("URL", "URLPatchWS"), "http://127.0.0.1:9/setup.exe");
    EXPECT_EQ(machine().readStr("URL", "URLBeginGuid"), "http://127.0.0.1:9/guide");
    EXPECT_GT(m_home.app().userRegistry().readInt("Options", "lastChecked", 0), 0);

    const QString log = m_home.logText();
    EXPECT_TRUE(
        log.contains("Update process fail! section [SITE_www.two.de] not found, continue..."));
    EXPECT_TRUE(log.contains("new Settings 2.03 [0x20003], Vendra 1.10 [0x1000a]"));
    EXPECT_TRUE(log.contains("Auction settings successfully updated."));
    EXPECT_TRUE(log.contains("New version available...[0x1000a]")) << log.toStdString();
    EXPECT_TRUE(run.newVersionAvailable());

    bool priceChange = false;
    for (const auto& change : run.changes())
        priceChange |= change.key == "www.one.com_KeyWord_CurPrice" &&
                       change.oldValue == "Current bid:" && change.newValue == "Price today:";
    EXPECT_TRUE(priceChange);
}

TEST_F(SiteSettingsUpdateTest, CurrentSiteDataChangesOnlyTheAddresses)
{
    files[kSettingsUrl] = settingsFile("20002");
    SiteSettingsUpdate run = update();
    ASSERT_TRUE(run.download(false));
    EXPECT_FALSE(run.sitesApplied());
    EXPECT_EQ(fetched, QStringList{kSettingsUrl}); // the sites file is not read
    EXPECT_EQ(machine().readStr("URL", "URLBeginGuid"), "http://127.0.0.1:9/guide");
    EXPECT_EQ(machine().readStr("Sites", "www.one.com_KeyWord_CurPrice"), "Current bid:");
}

TEST_F(SiteSettingsUpdateTest, ANewSettingsAddressIsFollowedOnceAndALoopEnds)
{
    const QString moved = QStringLiteral("http://127.0.0.1:9/moved.txt");
    files[kSettingsUrl] = settingsFile("20002", moved);
    files[moved] = settingsFile("20002", moved);
    SiteSettingsUpdate run = update();
    EXPECT_TRUE(run.download(false));
    EXPECT_EQ(fetched, QStringList({kSettingsUrl, moved}));
    EXPECT_EQ(machine().readStr("URL", "URLSettings"), moved);

    // Two files that name each other: each is read once, then the update fails.
    files[moved] = settingsFile("20002", kSettingsUrl);
    fetched.clear();
    SiteSettingsUpdate loop = update();
    EXPECT_FALSE(loop.download(false));
    EXPECT_EQ(fetched, QStringList({moved, kSettingsUrl}));
    EXPECT_TRUE(loop.failure().contains("loop")) << loop.failure().toStdString();
}

TEST_F(SiteSettingsUpdateTest, BrokenFilesFailWithTheirMessageAndKeepTheProfile)
{
    const struct
    {
        QString settings;
        QString sites;
        const char* message;
    } cases[] = {
        {QString(), QString(), "Update process fail! Body is empty."},
        {QString(settingsFile("20003")).replace("\n", "\r\n"), kSitesFile,
         "Update process fail! section [START] not found."},
        {"[START]\nVENDRA_VERSION=1\nSETTINGS_VERSION=2\n", kSitesFile,
         "Update process fail! URL_SETTINGS incorrect!"},
        {settingsFile("20003").replace("URL_PATCH_NS", "URL_PATCH_XX"), kSitesFile,
         "Update process fail! URL_PATCH_NS incorrect!"},
        {settingsFile("20003"), QString(kSitesFile).replace("[COMMANDS]", "[COMMAND]"),
         "Update process fail! section [COMMANDS] not found!"},
        {settingsFile("20003"), "[SITES]\n[END]\n[COMMANDS]\nCommand=x\n[END]\n",
         "Update process fail! section [SITES] not found!"},
        {settingsFile("20003"), QString(), "Update process fail! section [SITES] not found!"},
    };
    for (const auto& broken : cases) {
        SCOPED_TRACE(broken.message);
        files[kSettingsUrl] = broken.settings;
        files[kSitesUrl] = broken.sites;
        SiteSettingsUpdate run = update();
        EXPECT_FALSE(run.download(true));
        EXPECT_TRUE(run.failure().startsWith(broken.message)) << run.failure().toStdString();
        EXPECT_TRUE(m_home.logText().contains(broken.message));
        // Nothing of the site data was written, not even the site list.
        EXPECT_EQ(machine().readInt(QString(), "SSVer", 0), 0x20002);
        EXPECT_FALSE(machine().contains("Sites", "sitesCount"));
        EXPECT_EQ(machine().readStr("Sites", "www.one.com_KeyWord_CurPrice"), "Current bid:");
    }
    EXPECT_TRUE(
        m_home.logText().contains("Update failed. Please, check your internet connection."));
}

TEST_F(SiteSettingsUpdateTest, UnknownInstalledVersionStillCountsAsDone)
{
    machine().writeInt(QString(), "versionApp", 0);
    files[kSettingsUrl] = settingsFile("20002");
    SiteSettingsUpdate run = update();
    EXPECT_TRUE(run.download(true));
    EXPECT_FALSE(run.newVersionAvailable());
    EXPECT_TRUE(m_home.logText().contains("A new version is not available."));
}

} // namespace
