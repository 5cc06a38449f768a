// A "gavelin:" link clicked in another browser: the desktop program started by the link
// hands the address to the copy that runs, which reads that item page from the practice site
// for its item dialog. (The dialog itself is tried in the window's own tests.)

#include "support/practicesiteprocess.h"
#include "support/temphome.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QThread>
#include <QUrl>
#include <functional>
#include <gtest/gtest.h>

namespace {

const QString kProgram = QStringLiteral(GAVELIN_BINARY_DIR "/src/gavelin");
const QString kDaemon = QStringLiteral(GAVELIN_BINARY_DIR "/src/gavelind");

void EnsureCoreApplication()
{
    static int argc = 1;
    static char name[] = "test_e2e";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance())
        new QCoreApplication(argc, argv);
}

class GavelinLinkTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        EnsureCoreApplication();
        if (!QFile::exists(PracticeSiteProcess::binaryPath()) || !QFile::exists(kProgram))
            GTEST_SKIP() << "the desktop program or the practice site is not built";
        m_site = std::make_unique<PracticeSiteProcess>();
        ASSERT_TRUE(m_site->isRunning()) << m_site->errorString().toStdString();
    }

    void TearDown() override
    {
        // The item dialog waits for a user who never comes.
        for (auto& process : m_processes) {
            process->kill();
            process->waitForFinished(10000);
        }
    }

    QProcess* run(const QString& program, const QStringList& arguments)
    {
        auto* process = new QProcess;
        m_processes.emplace_back(process);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("GAVELIN_HOME", m_home.root());
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        process->setProcessEnvironment(environment);
        process->start(program, arguments);
        EXPECT_TRUE(process->waitForStarted(5000));
        return process;
    }

    QString log() const
    {
        QFile file(m_home.paths().logFile());
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }
    bool waitFor(const std::function<bool()>& done, int milliseconds)
    {
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < milliseconds) {
            if (done())
                return true;
            QThread::msleep(100);
        }
        return false;
    }

    TempHome m_home;
    std::unique_ptr<PracticeSiteProcess> m_site;
    std::vector<std::unique_ptr<QProcess>> m_processes;
};

TEST_F(GavelinLinkTest, ALinkReachesTheRunningWindowWhichReadsThatItem)
{
    const QString id =
        QJsonDocument::fromJson(m_site
                                    ->control("POST", "/auctions",
                                              R"({"site":"us","title":"Brass lamp","endsIn":7200})")
                                    .body)
            .object()["item"]
            .toString();
    ASSERT_FALSE(id.isEmpty());
    QProcess profile;
    profile.start(PracticeSiteProcess::binaryPath(),
                  {"--print-profile", "--port", QString::number(m_site->port()), "--ini"});
    ASSERT_TRUE(profile.waitForFinished(10000));
    m_home.writeFile("config/machine.ini", profile.readAllStandardOutput());
    // A user who has been through the first start, current site German: the link's own site
    // is the one whose words read the page.
    m_home.writeFile("config/gavelin.ini", "[Options]\ncurrentSite=www.ebay.de\nfirststartup=0\n"
                                           "firststartup2=0\nshowSplash=0\nupdateEvery=0\n");

    QProcess* window = run(kProgram, {});
    // Running once its control socket answers.
    ASSERT_TRUE(waitFor(
        [this] {
            QProcess status;
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            environment.insert("GAVELIN_HOME", m_home.root());
            status.setProcessEnvironment(environment);
            status.start(kDaemon, {"status"});
            return status.waitForFinished(10000) && status.exitCode() == 0;
        },
        60000))
        << window->readAllStandardError().constData();

    const QString page = m_site->baseUrl() + "/ws/eBayISAPI.dll?ViewItem&item=" + id;
    QProcess* link = run(kProgram, {"gavelin:" + QUrl::toPercentEncoding(page)});
    ASSERT_TRUE(link->waitForFinished(30000));
    EXPECT_EQ(link->exitCode(), 0);
    EXPECT_TRUE(waitFor(
        [&] {
            return log().contains(
                QStringLiteral("Adding item #%1 of www.ebay.com from a browser.").arg(id));
        },
        30000))
        << log().toStdString();
    // The page was read by the running copy: the site saw the item page asked for.
    EXPECT_TRUE(waitFor(
        [&] { return m_site->control("GET", "/log?page=ViewItem").body.contains(id.toUtf8()); },
        30000));
    EXPECT_EQ(window->state(), QProcess::Running);
}

} // namespace
