#include "app/registry.h"
#include "sites/settingstool.h"
#include "sites/sitesettings.h"
#include "sites/sitesreport.h"
#include "support/apphome.h"
#include "support/temphome.h"

#include <QFile>
#include <QJsonArray>
#include <QTextStream>
#include <gtest/gtest.h>

TEST(SitesReport, ListsKnownSitesListAndCurrentSite)
{
    AppHome home;
    Registry& machine = home.app().machineRegistry();
    machine.writeInt("Sites", "sitesCount", 3);
    machine.writeStr("Sites", "siteName1", "www.ebay.fr");
    SiteSettings sites;
    sites.load(machine, "www.ebay.ie");

    const QString text = SitesReport::text(sites);
    EXPECT_TRUE(text.contains("   1  www.ebay.com\n"));
    EXPECT_TRUE(text.contains("Site list (sitesCount 3, 2 listed):\n  www.ebay.fr (9)\n"
                              "  www.ebay.de (2)\n"));
    EXPECT_TRUE(text.endsWith("Current site: www.ebay.ie (10)\n"));

    const QJsonObject json = SitesReport::json(sites);
    EXPECT_EQ(json["knownSites"].toArray()[3].toObject()["name"].toString(), "www.ebay.com.au");
    EXPECT_EQ(json["sitesCount"].toInt(), 3);
    EXPECT_EQ(json["siteList"].toArray()[0].toObject()["number"].toInt(), 9);
    EXPECT_EQ(json["currentSiteNumber"].toInt(), 10);

    QString out;
    QTextStream stream(&out);
    EXPECT_EQ(SitesReport::run({"--xml"}, sites, stream, stream), 2);
}

class SettingsToolTest : public ::testing::Test
{
protected:
    Registry& user() { return m_home.app().userRegistry(); }
    Registry& machine() { return m_home.app().machineRegistry(); }
    int run(const QStringList& arguments)
    {
        m_out.clear();
        QTextStream out(&m_out);
        QTextStream err(&m_out);
        return m_tool.run(arguments, out, err);
    }

    AppHome m_home;
    SettingsTool m_tool{user(), machine()};
    QString m_out;
};

TEST_F(SettingsToolTest, GetGivesStoredValuesOrDefaults)
{
    EXPECT_EQ(m_tool.get("Options", "startBefore"), "60");
    user().writeInt("Options", "startBefore", 45);
    EXPECT_EQ(m_tool.get("Options", "startBefore"), "45");
    EXPECT_EQ(m_tool.get("Sites", "siteName7"), "www.ebay.de");
    EXPECT_EQ(m_tool.get("Sites", "www.ebay.co.uk_KeyWord_Cont"), "Continue");
    EXPECT_EQ(m_tool.get("Sites", "www.ebay.ca_KeyWord_Cont"), "Weiter");
    EXPECT_EQ(m_tool.get("Sites", "www.ebay.de_KeyWord_TimeReg"), "([\\d\\.]+\\s[\\d\\:]+)");
    EXPECT_EQ(m_tool.get("Sites/Commands", "login2"), "user");
    EXPECT_EQ(m_tool.get("(root)", "SSVer"), "0");
    EXPECT_FALSE(m_tool.get("Options", "noSuchKey"));
    EXPECT_FALSE(m_tool.get("Sites", "unrelated"));
}

TEST_F(SettingsToolTest, SecretsAreNeverShownInClear)
{
    EXPECT_EQ(m_tool.get("Login", "Password"), "(empty)");
    ASSERT_TRUE(m_tool.set("Login", "Password", "hunter2", nullptr));
    EXPECT_EQ(user().readInverted("Login", "Password"), "hunter2");
    EXPECT_EQ(m_tool.get("Login", "Password"), "(set)");
    m_tool.set("MailCmd", "smtppass", "plain", nullptr); // kept as typed
    EXPECT_EQ(user().readStr("MailCmd", "smtppass"), "plain");
    EXPECT_EQ(run({"get", "MailCmd", "smtppass"}), 0);
    EXPECT_EQ(m_out, "(set)\n");
    EXPECT_EQ(run({"export"}), 0);
    EXPECT_FALSE(m_out.contains("hunter2") || m_out.contains("plain"));
    EXPECT_TRUE(m_out.contains("\nPassword = (set)\n"));
    EXPECT_TRUE(m_out.contains("\nLockP = (empty)\n"));
    EXPECT_TRUE(m_out.contains("\nsmtppass = (set)\n"));
    // Only when asked for.
    EXPECT_EQ(run({"get", "--show-secrets", "MailCmd", "smtppass"}), 0);
    EXPECT_EQ(m_out, "plain\n");
    EXPECT_EQ(run({"export", "--show-secrets"}), 0);
    EXPECT_TRUE(m_out.contains("\nPassword = hunter2\n") && m_out.contains("\nsmtppass = plain\n"));
    EXPECT_EQ(run({"set", "--show-secrets", "Login", "Password", "x"}), 2);
}

// What a damaged store does with a value: refuses it unless told to replace the file.
TEST(SettingsToolDamagedTest, SetRefusesUnlessForcedAndKeepsTheDamagedFile)
{
    TempHome home;
    const QByteArray garbage("\x00\x01[Options]\xff", 12);
    for (const char* name : {"config/gavelin.ini", "config/machine.ini"})
        home.writeFile(name, garbage);
    const QString userFile = home.paths().userSettingsFile();
    const QString machineFile = home.paths().machineSettingsFile();
    QString out;
    const auto run = [&](const QStringList& arguments) {
        Registry user(userFile);
        Registry machine(machineFile);
        SettingsTool tool(user, machine);
        out.clear();
        QTextStream stream(&out);
        return tool.run(arguments, stream, stream);
    };
    EXPECT_EQ(run({"set", "Options", "warnPrice", "250"}), 1);
    EXPECT_TRUE(out.contains(userFile) && out.contains("--force")) << out.toStdString();
    EXPECT_EQ(run({"set", "Sites", "sitesCount", "3"}), 1);
    EXPECT_TRUE(out.contains(machineFile)) << out.toStdString();
    EXPECT_EQ(run({"get", "Options", "warnPrice"}), 0);
    EXPECT_TRUE(out.contains("defaults are shown") && out.endsWith("\n0\n")) << out.toStdString();

    EXPECT_EQ(run({"set", "--force", "Options", "warnPrice", "250"}), 0);
    EXPECT_EQ(run({"set", "Sites", "sitesCount", "3", "--force"}), 0);
    EXPECT_EQ(run({"get", "Options", "warnPrice"}), 0);
    EXPECT_EQ(out, "250\n");
    EXPECT_EQ(run({"get", "Sites", "sitesCount"}), 0);
    EXPECT_EQ(out, "3\n");
    for (const QString& file : {userFile, machineFile}) {
        QFile kept(file + ".damaged");
        ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
        EXPECT_EQ(kept.readAll(), garbage);
    }
}

TEST_F(SettingsToolTest, SetChecksNumbersAndKnownKeys)
{
    QString error;
    EXPECT_TRUE(m_tool.set("Options", "refreshEvery", " 7 ", &error));
    EXPECT_EQ(user().readInt("Options", "refreshEvery", 0), 7);
    EXPECT_FALSE(m_tool.set("Options", "refreshEvery", "seven", &error));
    EXPECT_TRUE(error.contains("whole number"));
    EXPECT_FALSE(m_tool.set("Options", "refreshEvry", "7", &error));
    EXPECT_TRUE(error.contains("unknown setting"));
    // Site data goes to the machine-wide store.
    EXPECT_TRUE(m_tool.set("Sites", "www.ebay.de_URL_ViewItem", "http://127.0.0.1:1/%s", &error));
    EXPECT_EQ(machine().readStr("Sites", "www.ebay.de_URL_ViewItem"), "http://127.0.0.1:1/%s");
    EXPECT_FALSE(user().contains("Sites", "www.ebay.de_URL_ViewItem"));
}

TEST_F(SettingsToolTest, ExportEscapesLineBreaks)
{
    machine().writeStr("Sites", "siteName1", "www.ebay.at");
    const QStringList lines = m_tool.exportLines();
    EXPECT_EQ(lines.first(), "[Options]");
    EXPECT_EQ(lines.count("[Options]"), 1);
    EXPECT_TRUE(
        lines.contains("sellerBody = Hello, [seller_name].\\r\\nI want to talk with you about..."));
    EXPECT_TRUE(lines.contains("siteName1 = www.ebay.at"));
    EXPECT_TRUE(lines.contains("Command = MfcISAPICommand"));
}

TEST_F(SettingsToolTest, CommandLine)
{
    EXPECT_EQ(run({"set", "Options", "warnPrice", "250"}), 0);
    EXPECT_EQ(run({"get", "Options", "warnPrice"}), 0);
    EXPECT_EQ(m_out, "250\n");
    EXPECT_EQ(run({"get", "Options", "nothing"}), 1);
    EXPECT_EQ(run({"export"}), 0);
    for (const QStringList& wrong : {QStringList{}, QStringList{"get", "Options"},
                                     QStringList{"set", "Options", "warn"}, QStringList{"drop"}})
        EXPECT_EQ(run(wrong), 2);
}
