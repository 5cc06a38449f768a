// The site settings update as a server owner runs it: `gavelind update-sites` against the
// practice site's settings and sites files, before and after the site changes its wording.

#include "support/practicesiteprocess.h"
#include "support/temphome.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>

namespace {

struct Outcome
{
    int status = -1;
    QString out;
    QString err;
};

class UpdateSitesTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        static int argc = 1;
        static char name[] = "test_e2e";
        static char* argv[] = {name, nullptr};
        if (!QCoreApplication::instance())
            new QCoreApplication(argc, argv);
        if (!QFile::exists(PracticeSiteProcess::binaryPath()))
            GTEST_SKIP() << "the practice site is not built";
        m_site = std::make_unique<PracticeSiteProcess>();
        ASSERT_TRUE(m_site->isRunning()) << m_site->errorString().toStdString();
    }

    Outcome run(const QStringList& arguments)
    {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("GAVELIN_HOME", m_home.root());
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(GAVELIN_BINARY_DIR "/src/gavelind"), arguments);
        if (!process.waitForFinished(30000)) {
            process.kill();
            process.waitForFinished();
            return {};
        }
        return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
                QString::fromUtf8(process.readAllStandardError())};
    }
    QString settingsUrl() const { return m_site->baseUrl() + "/update/settings.txt"; }
    QString machineIni() const
    {
        QFile file(m_home.paths().configDir() + "/machine.ini");
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }

    TempHome m_home;
    std::unique_ptr<PracticeSiteProcess> m_site;
};

TEST_F(UpdateSitesTest, AppliesNewerSiteDataOnceAndFollowsTheSitesWording)
{
    Outcome first = run({"update-sites", "--url", settingsUrl()});
    ASSERT_EQ(first.status, 0) << first.err.toStdString() << first.out.toStdString();
    EXPECT_TRUE(first.out.contains("Sites\\sitesCount: (none) -> \"2\""))
        << first.out.toStdString();
    EXPECT_TRUE(machineIni().contains("/help/guide.html")) << machineIni().toStdString();

    // The same version again: only the addresses are read, nothing newer.
    Outcome again = run({"update-sites", "--url", settingsUrl()});
    EXPECT_EQ(again.status, 3) << again.err.toStdString();
    EXPECT_TRUE(again.out.contains("The site data is current")) << again.out.toStdString();

    // The site changes a keyword and offers a newer settings version with it.
    ASSERT_TRUE(m_site
                    ->control("POST", "/faults",
                              R"({"page":"ViewItem","kind":"wording","from":"Current bid:",)"
                              R"("to":"Price now:","settings":true})")
                    .ok());
    ASSERT_TRUE(m_site->control("POST", "/site", R"({"settingsVersion":1179649})").ok());
    Outcome changed = run({"update-sites", "--url", settingsUrl()});
    ASSERT_EQ(changed.status, 0) << changed.err.toStdString();
    EXPECT_TRUE(changed.out.contains("\"Current bid:\" -> \"Price now:\""))
        << changed.out.toStdString();
    EXPECT_TRUE(changed.out.contains("Site settings 18.01 applied")) << changed.out.toStdString();
}

TEST_F(UpdateSitesTest, FailuresSayWhyAndChangeNothing)
{
    Outcome none = run({"update-sites"});
    EXPECT_EQ(none.status, 1);
    EXPECT_TRUE(none.err.contains("no settings address is stored")) << none.err.toStdString();

    Outcome missing = run({"update-sites", "--url", m_site->baseUrl() + "/update/nothing.txt"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_TRUE(missing.err.contains("Update process fail! Body is empty. ("))
        << missing.err.toStdString();
    EXPECT_TRUE(missing.err.contains("404")) << missing.err.toStdString();
    EXPECT_FALSE(machineIni().contains("sitesCount"));

    EXPECT_EQ(run({"update-sites", "--uri"}).status, 2);
}

} // namespace
