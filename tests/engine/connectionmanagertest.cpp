#include "enginefakes.h"

#include "app/stringtable.h"
#include "engine/connectionmanager.h"
#include "engine/dialupoptions.h"
#include "sites/sitesettings.h"
#include "support/apphome.h"
#include "web/downloadoptions.h"
#include "web/iinternetaccess.h"
#include "web/urlsource.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <QDir>
#include <QTemporaryDir>
#include <QThread>
#include <future>
#include <thread>
#include <vector>

namespace {

class ConnectionManagerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        EnsureCoreApplication();
        home.app().setMainWindow(&window);
        probe->set(true, IConnectivityProbe::Lan);
    }
    void TearDown() override
    {
        home.app().setMainWindow(nullptr);
        DownloadOptions::reset();
    }

    void enableDialUp(const QString& entry = QStringLiteral("provider"))
    {
        home.app().settings().dialUp = 1;
        home.app().settings().phoneEntry = entry;
        home.app().publishSettings();
    }

    // pon brings the link up.
    void linkComesUp()
    {
        runner->onRun = [this](const QString& program) {
            if (program == "pon")
                probe->set(true, IConnectivityProbe::Modem);
        };
    }

    AppHome home;
    AnsweringWindow window;
    std::shared_ptr<FakeProbe> probe = std::make_shared<FakeProbe>();
    std::shared_ptr<FakeRunner> runner = std::make_shared<FakeRunner>();
};

// A time-sync page on 127.0.0.1 that the dial job's wake-up request reads.
class WakePage
{
public:
    explicit WakePage(AppContext& app)
    {
        m_server.Get("/time", [](const httplib::Request&, httplib::Response& res) {
            res.set_content("<p>official time</p>", "text/html");
        });
        const int port = m_server.bind_to_any_port("127.0.0.1");
        m_thread = std::thread([this] { m_server.listen_after_bind(); });
        while (!m_server.is_running())
            std::this_thread::yield();
        m_sites.setCurrentSite("Practice", app.machineRegistry());
        m_sites.setValue("Practice_URL_TimeSync",
                         QStringLiteral("http://127.0.0.1:%1/time").arg(port));
    }
    ~WakePage()
    {
        m_server.stop();
        m_thread.join();
    }

private:
    httplib::Server m_server;
    std::thread m_thread;
    SiteSettings m_sites;
};

} // namespace

TEST_F(ConnectionManagerTest, ConnectionTestAndItsLogLines)
{
    ConnectionManager manager(home.app(), probe, runner);
    EXPECT_TRUE(manager.testConnection());
    EXPECT_FALSE(home.logText().contains(StringTable::text(435)));

    // Offline with a working state call: three lines, and still connected.
    manager.setWorkOffline(true);
    EXPECT_TRUE(manager.testConnection());
    QString log = home.logText();
    EXPECT_TRUE(log.contains("The program works offline."));
    EXPECT_TRUE(log.contains(StringTable::text(435)));
    EXPECT_TRUE(log.contains("InternetGetConnectedState  = 0x22 (FALSE)"));
    manager.setWorkOffline(false);

    // No route at all: the error text twice and not connected.
    probe->set(false, 0, "No default route and no network interface is up.");
    EXPECT_FALSE(manager.testConnection());
    log = home.logText();
    EXPECT_EQ(log.count("No default route and no network interface is up."), 2);
    EXPECT_TRUE(log.contains("InternetGetConnectedState  = 0x0 (FALSE)"));
    EXPECT_TRUE(runner->calls().isEmpty());
}

TEST_F(ConnectionManagerTest, InstallsItselfForPageDownloads)
{
    {
        ConnectionManager manager(home.app(), probe, runner);
        EXPECT_EQ(IInternetAccess::current(), &manager);
        EXPECT_EQ(ConnectionManager::current(), &manager);
        manager.setWorkOffline(true);
        EXPECT_TRUE(IsOffline());
        EXPECT_FALSE(manager.goOnline("http://x/"));
        EXPECT_TRUE(getUrlSource("http://127.0.0.1:1/", true).isEmpty());
        EXPECT_TRUE(home.logText().contains(StringTable::text(224)));
    }
    EXPECT_EQ(IInternetAccess::current(), nullptr);
    EXPECT_EQ(ConnectionManager::current(), nullptr);
}

TEST_F(ConnectionManagerTest, NeverDialsWithoutDialUpSettings)
{
    ConnectionManager manager(home.app(), probe, runner);
    probe->set(false, 0, "down");
    EXPECT_FALSE(manager.ensureConnection());
    // Downloads on any thread read the published settings, not the copy being edited.
    home.app().settings().dialUp = 1;
    home.app().settings().phoneEntry = "provider";
    EXPECT_FALSE(manager.ensureConnection());
    EXPECT_FALSE(manager.dialInProgress());
    home.app().settings().phoneEntry.clear();
    home.app().publishSettings(); // dial-up on, but no phone entry
    EXPECT_FALSE(manager.ensureConnection());
    EXPECT_FALSE(manager.dialInProgress());
    EXPECT_TRUE(runner->calls().isEmpty());
    // A connection test that fails with the offline flag set does not dial either.
    enableDialUp();
    probe->set(false, IConnectivityProbe::ModemBusy, "busy");
    EXPECT_TRUE(manager.ensureConnection()); // nonzero flags still count as connected
    manager.setWorkOffline(true);
    probe->set(false, 0, "down");
    EXPECT_TRUE(manager.ensureConnection());
    EXPECT_TRUE(runner->calls().isEmpty());
}

TEST_F(ConnectionManagerTest, DialsWakesTheLineAndAsksForTimeSync)
{
    WakePage wake(home.app());
    enableDialUp();
    probe->set(false, 0, "down");
    linkComesUp();
    ConnectionManager manager(home.app(), probe, runner);
    manager.setManualConnection(true);
    int timeSync = 0;
    int startPage = 0;
    QThread* signalledOn = nullptr;
    QObject::connect(&manager, &ConnectionManager::timeSyncRequested, [&] {
        ++timeSync;
        signalledOn = QThread::currentThread();
    });
    QObject::connect(&manager, &ConnectionManager::startPageRequested, [&] { ++startPage; });

    EXPECT_FALSE(manager.ensureConnection()); // the caller carries on without a line
    ASSERT_TRUE(manager.waitForDialJob(10000));
    EXPECT_EQ(runner->calls(), QStringList{"pon provider"});
    EXPECT_TRUE(home.logText().contains(StringTable::text(448)));
    EXPECT_FALSE(manager.manualConnection());
    EXPECT_FALSE(manager.dialInProgress());
    EXPECT_TRUE(manager.holdsDialConnection());
    EXPECT_EQ(timeSync, 1);
    EXPECT_EQ(startPage, 1);
    EXPECT_EQ(signalledOn, QThread::currentThread()); // the manager's thread, not the dialler's
    EXPECT_TRUE(manager.ensureConnection());

    // The line the program dialled is dropped when the user says yes.
    EXPECT_TRUE(manager.hangUp());
    EXPECT_EQ(runner->calls().last(), "poff provider");
    EXPECT_TRUE(window.messages.last().endsWith(StringTable::text(275)));
    EXPECT_FALSE(manager.holdsDialConnection());
    EXPECT_FALSE(manager.hangUp()); // nothing left to hang up
}

TEST_F(ConnectionManagerTest, FailedDialIsReportedAndTriedAgainLater)
{
    enableDialUp();
    probe->set(false, 0, "down");
    runner->exitCodes["pon"] = 1;
    runner->outputs["pon"] = "/usr/bin/pon: no such peer";
    ConnectionManager manager(home.app(), probe, runner);
    EXPECT_FALSE(manager.ensureConnection());
    ASSERT_TRUE(manager.waitForDialJob(10000));
    EXPECT_TRUE(window.messages.last().endsWith("Fail to dial using 'provider'."));
    EXPECT_TRUE(home.logText().contains("pon exited with code 1: /usr/bin/pon: no such peer"));
    EXPECT_FALSE(manager.dialInProgress());

    // A link that never comes up is a failed dial too, and pppd is stopped again.
    runner->exitCodes["pon"] = 0;
    manager.setLinkWaitMs(300);
    EXPECT_FALSE(manager.ensureConnection());
    ASSERT_TRUE(manager.waitForDialJob(10000));
    EXPECT_EQ(runner->calls(), QStringList({"pon provider", "pon provider", "poff provider"}));
    EXPECT_TRUE(home.logText().contains("The link of 'provider' did not come up within 0 s."));
    EXPECT_FALSE(manager.holdsDialConnection());
}

TEST_F(ConnectionManagerTest, DownloadsOnManyThreadsDialOnceAndTheManagerHearsOfIt)
{
    WakePage wake(home.app());
    enableDialUp();
    probe->set(false, 0, "down");
    linkComesUp();
    ConnectionManager manager(home.app(), probe, runner);
    QThread* signalledOn = nullptr;
    QObject::connect(&manager, &ConnectionManager::timeSyncRequested,
                     [&] { signalledOn = QThread::currentThread(); });

    std::vector<std::thread> downloads;
    for (int i = 0; i < 4; ++i)
        downloads.emplace_back([&manager] { manager.ensureConnection(); });
    for (std::thread& download : downloads)
        download.join();
    ASSERT_TRUE(manager.waitForDialJob(10000));
    EXPECT_EQ(runner->calls(), QStringList{"pon provider"});
    EXPECT_TRUE(manager.holdsDialConnection());
    EXPECT_EQ(signalledOn, QThread::currentThread());
}

TEST_F(ConnectionManagerTest, ClosingWhileTheLinkComesUpStopsPppdAndReportsNothing)
{
    enableDialUp();
    probe->set(false, 0, "down");
    std::promise<void> dialled;
    runner->onRun = [&dialled](const QString& program) {
        if (program == "pon")
            dialled.set_value();
    };
    auto manager = std::make_unique<ConnectionManager>(home.app(), probe, runner);
    // Far longer than any test may run: the wait has to end with the manager.
    manager->setLinkWaitMs(3600 * 1000);
    int timeSync = 0;
    QObject::connect(manager.get(), &ConnectionManager::timeSyncRequested, [&] { ++timeSync; });
    EXPECT_FALSE(manager->ensureConnection());
    ASSERT_EQ(dialled.get_future().wait_for(std::chrono::seconds(10)), std::future_status::ready);

    manager.reset();
    EXPECT_EQ(runner->calls(), QStringList({"pon provider", "poff provider"}));
    EXPECT_TRUE(
        home.logText().contains("Dialling 'provider' was stopped before the link came up."));
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(timeSync, 0);
    EXPECT_TRUE(window.messages.isEmpty());
    EXPECT_EQ(IInternetAccess::current(), nullptr);
}

TEST_F(ConnectionManagerTest, UnsafeEntryNamesNeverReachPppd)
{
    ConnectionManager manager(home.app(), probe, runner);
    probe->set(false, 0, "down");
    for (const QString& entry : {QStringLiteral("-detach"), QStringLiteral("../../etc/x"),
                                 QStringLiteral("a b"), QStringLiteral(".hidden")}) {
        enableDialUp(entry);
        manager.ensureConnection();
        ASSERT_TRUE(manager.waitForDialJob(10000));
    }
    EXPECT_TRUE(runner->calls().isEmpty());
    EXPECT_TRUE(home.logText().contains("'-detach' is not a dial-up entry name."));
}

TEST_F(ConnectionManagerTest, HangUpFailureAndExitQuestions)
{
    WakePage wake(home.app());
    enableDialUp();
    ConnectionManager manager(home.app(), probe, runner);
    // Nothing dialled: exit asks nothing.
    manager.disconnectOnExit(false);
    EXPECT_TRUE(window.questions.isEmpty());

    probe->set(false, 0, "down");
    linkComesUp();
    manager.ensureConnection();
    ASSERT_TRUE(manager.waitForDialJob(10000));
    ASSERT_TRUE(manager.holdsDialConnection());

    runner->exitCodes["poff"] = 2;
    EXPECT_FALSE(manager.hangUp());
    EXPECT_TRUE(window.messages.last().endsWith(StringTable::text(276)));
    EXPECT_TRUE(home.logText().contains("poff exited with code 2."));

    runner->exitCodes["poff"] = 0;
    window.answer = IMainWindow::AnswerNo;
    manager.disconnectOnExit(false);
    ASSERT_EQ(window.questions.size(), 1);
    EXPECT_EQ(window.questions[0].text, "Close Internet connection?");
    EXPECT_TRUE(manager.holdsDialConnection());
    window.answer = 0; // the default: yes
    manager.disconnectOnExit(false);
    EXPECT_FALSE(manager.holdsDialConnection());
    EXPECT_EQ(runner->calls().last(), "poff provider");
}

TEST_F(ConnectionManagerTest, AutoDisconnectQuestion)
{
    WakePage wake(home.app());
    enableDialUp();
    probe->set(false, 0, "down");
    linkComesUp();
    ConnectionManager manager(home.app(), probe, runner);
    manager.ensureConnection();
    ASSERT_TRUE(manager.waitForDialJob(10000));

    window.answer = IMainWindow::AnswerCancel;
    EXPECT_FALSE(manager.askAutoDisconnect());
    ASSERT_EQ(window.questions.size(), 1);
    EXPECT_EQ(window.questions[0].caption, "Auto-disconnect");
    EXPECT_EQ(window.questions[0].text, "You may now disconnect...");
    EXPECT_EQ(window.questions[0].countdownSeconds, 10);
    EXPECT_TRUE(manager.manualConnection());
    EXPECT_TRUE(manager.holdsDialConnection());

    window.answer = 0; // no answer: the count-down says yes
    EXPECT_TRUE(manager.askAutoDisconnect());
    EXPECT_FALSE(manager.holdsDialConnection());
    EXPECT_TRUE(home.logText().contains(StringTable::text(275)));
}

TEST_F(ConnectionManagerTest, StartUpTreatsAnExistingLineAsTheUsers)
{
    ConnectionManager manager(home.app(), probe, runner);
    EXPECT_TRUE(manager.verifyAtStartup());
    EXPECT_TRUE(manager.manualConnection());
    probe->set(false, 0, "down");
    EXPECT_FALSE(manager.verifyAtStartup());
    EXPECT_FALSE(manager.manualConnection());
}

TEST(DialUpOptions, EntriesFromThePeersFolder)
{
    QTemporaryDir peers;
    for (const char* name : {"provider", "work-isp", "old~", "-bad", "x.dpkg-old"}) {
        QFile file(QDir(peers.path()).filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    QDir(peers.path()).mkdir("subfolder");
    FakeRunner runner;
    const DialUpConnection dialUp(runner, peers.path());
    const DialUpOptions options = DialUpOptions::load(dialUp, "work-isp");
    EXPECT_TRUE(options.controlsEnabled());
    EXPECT_EQ(options.entries(), QStringList({"provider", "work-isp"}));
    EXPECT_EQ(options.selectedIndex(), 1);
    EXPECT_TRUE(options.unavailableText().isEmpty());

    const DialUpOptions none =
        DialUpOptions::load(DialUpConnection(runner, peers.filePath("absent")), "x");
    EXPECT_FALSE(none.controlsEnabled());
    EXPECT_TRUE(none.entries().isEmpty());
    EXPECT_EQ(none.selectedIndex(), -1);
    EXPECT_TRUE(none.unavailableText().startsWith("Unable to load or incorrect version"));
}
