// The main controller's timers and engine tick: their periods after start-up and after an
// accepted measurement, the order of the tick's steps, the flash counter timers 4 and 6
// share, and the bids-view commands the engine carries out. The timers are driven through
// onTimer(); nothing waits for them.

#include "enginefakes.h"

#include "engine/bidstarter.h"
#include "engine/maincontroller.h"
#include "engine/timesynchroniser.h"
#include "model/bidsdoc.h"
#include "model/ibideffects.h"
#include "model/ibidworker.h"
#include "support/apphome.h"

#include <future>
#include <gtest/gtest.h>
#include <thread>

namespace {

using Timer = MainController::TimerId;
using Icon = IMainWindow::TrayIcon;

class TrayWindow : public AnsweringWindow
{
public:
    void setTrayIcon(TrayIcon icon) override { icons << icon; }
    void setSiteTimeText(const QString& text) override { siteTime = text; }
    void flash() override { ++flashes; }

    QList<TrayIcon> icons;
    QString siteTime;
    int flashes = 0;
};

class FakeWorker : public IBidWorker
{
public:
    void postQuit() override {}
    void postRetract() override {}
};

class MainControllerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        home.app().setMainWindow(&window);
        home.app().settings().autoTimeSync = 30;
        home.app().settings().autoSaveTime = 5;
        home.app().settings().useMC = 0;
        MainController::Threads& threads = controller.threads();
        threads.startRefresh = [this](SiteProfile) { ++refreshStarts; };
        threads.pollRefresh = [] {};
        threads.stopRefresh = [] {};
        threads.createBidThread = [this](const QString&) { return &worker; };
        threads.postBidStart = [this](IBidWorker*, SiteProfile) { ++bidStarts; };
        threads.pollBidThread = [](IBidWorker*) {};
        BidStarter::Hooks& hooks = controller.starter().hooks();
        hooks.buildProfile = [] { return SiteProfile(); };
        hooks.readItemPage = [](const QString&, const SiteProfile&) { return true; };
        controller.createMainWindow();
    }
    void TearDown() override
    {
        controller.shutdown();
        home.app().setMainWindow(nullptr);
    }

    void fire(Timer id, int times = 1)
    {
        for (int i = 0; i < times; ++i)
            controller.onTimer(id);
    }

    CBidItem* add(const QString& id, quint32 status)
    {
        auto item = std::make_unique<CBidItem>();
        item->setId(id);
        item->setStatus(status);
        item->setMaxPrice(10.0f);
        item->setEndTime(1'900'000'000);
        return controller.document().appendItem(std::move(item),
                                                controller.document().folderById(-1));
    }

    // Before the home: its log needs the application object.
    struct CoreApplication
    {
        CoreApplication() { EnsureCoreApplication(); }
    } coreApplication;
    AppHome home;
    TrayWindow window;
    MainController controller{home.app(), [this]() -> IMainWindow* { return &window; }};
    FakeWorker worker;
    int refreshStarts = 0;
    int bidStarts = 0;
};

TEST_F(MainControllerTest, SavedSearchCheckRunsOnceFifteenSecondsAfterStart)
{
    int checks = 0;
    controller.savedSearchCheck = [&checks] { ++checks; };
    controller.startSavedSearchTimer();
    EXPECT_EQ(controller.timerInterval(Timer::TimerSavedSearch), 15000);
    fire(Timer::TimerSavedSearch);
    EXPECT_EQ(checks, 1);
    // A check that takes longer than the period must not be started again behind it.
    EXPECT_FALSE(controller.isTimerActive(Timer::TimerSavedSearch));
}

TEST_F(MainControllerTest, TimerPeriodsAfterStartUpAndAfterAnAcceptedMeasurement)
{
    EXPECT_TRUE(controller.isTimerActive(Timer::TimerEngineTick));
    EXPECT_EQ(controller.timerInterval(Timer::TimerEngineTick), MainController::kEngineTickMs);

    // The first measurement failed: no site clock, and timer 5 tries again in a minute.
    controller.startTimers(false);
    EXPECT_FALSE(controller.isTimerActive(Timer::TimerSiteClock));
    EXPECT_EQ(controller.timerInterval(Timer::TimerTimeSync), 60000);
    EXPECT_TRUE(controller.isTimerActive(Timer::TimerTimeSync));
    EXPECT_EQ(controller.timerInterval(Timer::TimerAutosave), 5 * 60000);
    EXPECT_FALSE(controller.isTimerActive(Timer::TimerTrayFlash));
    EXPECT_FALSE(controller.isTimerActive(Timer::TimerOutbidFlash));
    EXPECT_FALSE(controller.isTimerActive(Timer::TimerMailCheck));

    // An accepted measurement starts the site clock and the regular re-synchronisation,
    // and the clock pane shows the site time at once.
    Q_EMIT controller.timeSynchroniser().accepted();
    EXPECT_TRUE(controller.isTimerActive(Timer::TimerSiteClock));
    EXPECT_EQ(controller.timerInterval(Timer::TimerSiteClock), 1000);
    EXPECT_EQ(controller.timerInterval(Timer::TimerTimeSync), 30 * 60000);
    EXPECT_FALSE(window.siteTime.isEmpty());

    controller.startTrayFlash();
    EXPECT_EQ(controller.timerInterval(Timer::TimerTrayFlash), 500);
    controller.setOutbidIndicator(true);
    EXPECT_EQ(controller.timerInterval(Timer::TimerOutbidFlash), 500);

    controller.setEngineTickMs(20);
    EXPECT_EQ(controller.timerInterval(Timer::TimerEngineTick), 20);
}

TEST_F(MainControllerTest, ASynchronisedStartUpUsesThePeriodOfTheSettings)
{
    controller.startTimers(true);
    EXPECT_EQ(controller.timerInterval(Timer::TimerSiteClock), 1000);
    EXPECT_EQ(controller.timerInterval(Timer::TimerTimeSync), 30 * 60000);

    // A damaged period of 0 must not make timer 5 fire without pause.
    home.app().settings().autoTimeSync = 0;
    controller.startTimers(true);
    EXPECT_EQ(controller.timerInterval(Timer::TimerTimeSync), 60000);
}

TEST_F(MainControllerTest, TheTickRunsItsStepsInOrderAndTheListStepsOnlyOnceLoaded)
{
    QStringList steps;
    MainController::TickSteps& tick = controller.tickSteps();
    tick.connectionIndicator = [&] { steps << "connection"; };
    tick.idleCheck = [&] { steps << "idle"; };
    tick.scheduler = [&] { steps << "scheduler"; };
    tick.refreshPoll = [&] { steps << "refresh"; };
    tick.bidThreadPoll = [&] { steps << "bid threads"; };
    tick.autoDisconnect = [&] { steps << "disconnect"; };

    fire(Timer::TimerEngineTick);
    EXPECT_EQ(steps, QStringList({"connection", "idle"}));

    controller.loadBidList();
    EXPECT_EQ(refreshStarts, 1);
    steps.clear();
    fire(Timer::TimerEngineTick);
    EXPECT_EQ(steps, QStringList({"connection", "idle", "scheduler", "refresh", "bid threads",
                                  "disconnect"}));

    // New options and a new site start the refresh thread anew.
    controller.settingsApplied();
    EXPECT_EQ(refreshStarts, 2);
    CBidItem* item = add("1", StatusActive);
    item->setRefreshed(true);
    controller.currentSiteChanged();
    EXPECT_EQ(refreshStarts, 3);
    EXPECT_FALSE(item->isRefreshed());
}

TEST_F(MainControllerTest, TheSiteClockTimerWritesTheSiteTimePane)
{
    home.app().clock().setOffset(0);
    fire(Timer::TimerSiteClock);
    EXPECT_EQ(window.siteTime, TimeSynchroniser::siteClockText(home.app().clock().siteNow()));
}

TEST_F(MainControllerTest, TheBidFlashRunsTwentyStepsAndEndsOnTheOutbidIcon)
{
    controller.startTrayFlash();
    fire(Timer::TimerTrayFlash, MainController::kFlashSteps - 1);
    EXPECT_TRUE(controller.isTimerActive(Timer::TimerTrayFlash));
    EXPECT_EQ(window.icons.mid(0, 4),
              QList<Icon>({Icon::Bidding, Icon::Normal, Icon::Bidding, Icon::Normal}));
    fire(Timer::TimerTrayFlash);
    EXPECT_FALSE(controller.isTimerActive(Timer::TimerTrayFlash));
    EXPECT_EQ(window.icons.last(), Icon::Normal);
    EXPECT_EQ(controller.flashCount(), 0);

    // The outbid flash runs its twenty steps and leaves the indicator on.
    window.icons.clear();
    controller.setOutbidIndicator(true);
    fire(Timer::TimerOutbidFlash, MainController::kFlashSteps);
    EXPECT_FALSE(controller.isTimerActive(Timer::TimerOutbidFlash));
    EXPECT_TRUE(controller.outbidIndicator());
    EXPECT_EQ(window.icons.first(), Icon::Outbid);
    EXPECT_EQ(window.icons.last(), Icon::Outbid);

    // A bid flash ends on the outbid icon while the indicator is on; clearing it shows
    // the normal icon.
    controller.startTrayFlash();
    fire(Timer::TimerTrayFlash, MainController::kFlashSteps);
    EXPECT_EQ(window.icons.last(), Icon::Outbid);
    controller.setOutbidIndicator(false);
    EXPECT_FALSE(controller.outbidIndicator());
    EXPECT_EQ(window.icons.last(), Icon::Normal);
}

TEST_F(MainControllerTest, TimersFourAndSixShareOneFlashCounter)
{
    controller.setOutbidIndicator(true);
    fire(Timer::TimerOutbidFlash, 5);
    EXPECT_EQ(controller.flashCount(), 5);

    // A bid flash takes the tray: timer 6 stops at its next expiry without a step.
    controller.startTrayFlash();
    fire(Timer::TimerOutbidFlash);
    EXPECT_FALSE(controller.isTimerActive(Timer::TimerOutbidFlash));
    EXPECT_EQ(controller.flashCount(), 5);

    // The bid flash counts on from where the outbid flash stopped.
    fire(Timer::TimerTrayFlash, MainController::kFlashSteps - 5 - 1);
    EXPECT_TRUE(controller.isTimerActive(Timer::TimerTrayFlash));
    fire(Timer::TimerTrayFlash);
    EXPECT_FALSE(controller.isTimerActive(Timer::TimerTrayFlash));
    EXPECT_EQ(controller.flashCount(), 0);
    EXPECT_FALSE(controller.outbidIndicator());
}

TEST_F(MainControllerTest, BidsViewCommandsReachTheEngine)
{
    controller.loadBidList();
    CBidItem* ready = add("1", StatusActive);
    ready->setReadyMark(true);
    add("2", StatusActive);
    add("3", StatusActiveOutbid);

    // Start bids: only the marked item starts, through the Start routine.
    controller.handleBidsViewCommand(IMainWindow::CmdStartReadyBids);
    EXPECT_EQ(bidStarts, 1);
    EXPECT_FALSE(ready->hasReadyMark());
    EXPECT_EQ(ready->status(), quint32(StatusRunning));
    EXPECT_EQ(ready->bidThread(), &worker);
    EXPECT_EQ(window.flashes, 1);
    EXPECT_TRUE(controller.isTimerActive(Timer::TimerTrayFlash));
    ready->setBidThread(nullptr);

    // The outbid scan turns the outbid flash on (the effect arrives posted).
    controller.handleBidsViewCommand(IMainWindow::CmdOutbidScan);
    QCoreApplication::processEvents();
    EXPECT_TRUE(controller.isTimerActive(Timer::TimerOutbidFlash));

    // Unknown commands do nothing.
    controller.handleBidsViewCommand(12345);
    EXPECT_EQ(bidStarts, 1);
}

TEST_F(MainControllerTest, ATickThatCannotHaveTheListLockSkipsThePollInsteadOfWaiting)
{
    controller.loadBidList();
    CBidItem* running = add("1", StatusRunning);
    running->setBidThread(&worker);
    int polls = 0;
    controller.threads().pollBidThread = [&](IBidWorker*) { ++polls; };
    MainController::TickSteps& tick = controller.tickSteps();
    tick.connectionIndicator = tick.idleCheck = tick.scheduler = tick.refreshPoll =
        tick.autoDisconnect = nullptr;

    std::promise<void> held;
    std::promise<void> release;
    std::thread holder([&] {
        ItemsLockGuard guard(controller.document().itemsLock());
        held.set_value();
        release.get_future().wait();
    });
    held.get_future().wait();
    fire(Timer::TimerEngineTick);
    release.set_value();
    holder.join();

    EXPECT_EQ(polls, 0);
    EXPECT_TRUE(
        home.logText().contains(QStringLiteral("the bid threads are polled at the next tick")));
    fire(Timer::TimerEngineTick);
    EXPECT_EQ(polls, 1);
    running->setBidThread(nullptr);
}

TEST_F(MainControllerTest, AShutdownRequestWaitsForTheRunningBidThenSwitchesOff)
{
    auto runner = std::make_shared<FakeRunner>();
    controller.setProcessRunner(runner);
    controller.loadBidList();
    CBidItem* running = add("1", StatusRunning);

    controller.document().effects().postShutdownRequest();
    QCoreApplication::processEvents();
    EXPECT_TRUE(running->shutdownWhenFinished()) << home.logText().toStdString();
    EXPECT_TRUE(runner->calls().isEmpty());

    running->setStatus(StatusWon);
    controller.document().effects().postShutdownRequest();
    QCoreApplication::processEvents();
    EXPECT_EQ(runner->calls(), QStringList{"systemctl poweroff"});
}

} // namespace
