#include "enginefakes.h"

#include "app/stringtable.h"
#include "engine/bidscheduler.h"
#include "model/bidsdoc.h"
#include "support/apphome.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <atomic>
#include <thread>

namespace {

// Keeps the commands posted to the bids view.
class CommandWindow : public AnsweringWindow
{
public:
    void postBidsViewCommand(int command) override
    {
        QMutexLocker lock(&mutex);
        commands << command;
    }
    int count(int command)
    {
        QMutexLocker lock(&mutex);
        return int(commands.count(command));
    }
    QMutex mutex;
    QList<int> commands;
};

// Runs the event loop until `done` or the time is up.
template <class Done> bool waitFor(Done done, int milliseconds = 10000)
{
    QDeadlineTimer deadline(milliseconds);
    while (!done() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    return done();
}

constexpr qint64 kEnd = 1'900'000'000; // site time of the auctions' end

class BidSchedulerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        EnsureCoreApplication();
        app().setMainWindow(&window);
        app().clock().setTimeSourceMs([this] { return nowMs.load(); });
        app().clock().setOffsetMs(0);
        AppSettings& settings = app().settings();
        settings.startBefore = 60;
        settings.connectTime = 2;
        settings.login = QStringLiteral("practice_user");
        settings.password = QStringLiteral("practice");
        settings.preciseStart = 0;
        app().publishSettings();
        doc.newDocument();
        scheduler.setSiteNowMs([this] { return nowMs.load(); });
    }
    void TearDown() override { app().setMainWindow(nullptr); }

    AppContext& app() { return home.app(); }
    void at(qint64 siteSeconds, int ms = 0) { nowMs = siteSeconds * 1000 + ms; }

    CBidItem* add(const QString& id, quint32 status = StatusActive, bool refreshed = true)
    {
        auto item = std::make_unique<CBidItem>();
        item->setId(id);
        item->setStatus(status);
        item->setRefreshed(refreshed);
        item->setEndTime(kEnd);
        item->setMaxPrice(10.0f);
        return doc.appendItem(std::move(item), doc.folderById(-1));
    }

    AppHome home;
    CommandWindow window;
    CBidsDoc doc{ListEnvironment::of(home.app())};
    std::atomic<qint64> nowMs{0};
    int connects = 0;
    bool connectResult = true;
    BidScheduler scheduler{home.app(), doc, [this] {
                               ++connects;
                               return connectResult;
                           }};
};

TEST_F(BidSchedulerTest, NothingHappensBeforeTheFirstAcceptedMeasurement)
{
    app().clock().clearSynchronised();
    CBidItem* item = add("1");
    at(kEnd - 10);
    const BidScheduler::Pass pass = scheduler.scan();
    EXPECT_FALSE(pass.ran);
    EXPECT_FALSE(item->hasReadyMark());
    EXPECT_EQ(connects, 0);
}

TEST_F(BidSchedulerTest, ConnectWindowAndDueMomentHaveStrictEdges)
{
    CBidItem* item = add("1");
    // startBefore 60, connectTime 2: connected for E-180 < now <= E-60, due after E-60.
    at(kEnd - 180);
    EXPECT_TRUE(scheduler.scan().connectFor.isEmpty());
    EXPECT_EQ(connects, 0);

    at(kEnd - 179);
    EXPECT_EQ(scheduler.scan().connectFor, QStringList{"1"});
    EXPECT_EQ(connects, 1);

    at(kEnd - 60); // exactly E - startBefore: not yet due
    BidScheduler::Pass pass = scheduler.scan();
    EXPECT_EQ(pass.connectFor, QStringList{"1"});
    EXPECT_TRUE(pass.marked.isEmpty());
    EXPECT_FALSE(item->hasReadyMark());
    EXPECT_EQ(window.count(IMainWindow::CmdStartReadyBids), 0);

    at(kEnd - 59);
    pass = scheduler.scan();
    EXPECT_EQ(pass.marked, QStringList{"1"});
    EXPECT_TRUE(item->hasReadyMark());
    EXPECT_EQ(item->status(), quint32(StatusActive));
    EXPECT_FALSE(item->isBusy());
    EXPECT_EQ(window.count(IMainWindow::CmdStartReadyBids), 1);
    EXPECT_TRUE(home.logText().contains(QStringLiteral("Bid #1, start bidding...")));
    EXPECT_TRUE(home.logText().contains(QStringLiteral("Bid #1: planned start")));
}

TEST_F(BidSchedulerTest, FailedConnectionIsReportedOnEveryTickInTheWindow)
{
    add("1");
    connectResult = false;
    at(kEnd - 100);
    EXPECT_TRUE(scheduler.scan().connectionFailed);
    at(kEnd - 95);
    EXPECT_TRUE(scheduler.scan().connectionFailed);
    EXPECT_EQ(window.messages.filter(StringTable::text(186)).size(), 2);
}

TEST_F(BidSchedulerTest, BuyItNowIsMarkedAtOnceOnlyWhenActiveAndRefreshed)
{
    CBidItem* now = add("1");
    now->setBuyItNow(true);
    CBidItem* outbid = add("2", StatusActiveOutbid);
    outbid->setBuyItNow(true);
    CBidItem* unread = add("3", StatusActive, false);
    unread->setBuyItNow(true);
    at(kEnd - 86400); // a day before the end
    const BidScheduler::Pass pass = scheduler.scan();
    EXPECT_EQ(pass.marked, QStringList{"1"});
    EXPECT_TRUE(now->hasReadyMark());
    EXPECT_FALSE(outbid->hasReadyMark());
    EXPECT_FALSE(unread->hasReadyMark());
    EXPECT_EQ(connects, 0);
}

TEST_F(BidSchedulerTest, OnlyRefreshedActiveItemsAreConsidered)
{
    add("1", StatusActive, false);
    add("2", StatusStopped);
    add("3", StatusNotActive);
    add("4", StatusWon);
    CBidItem* outbid = add("5", StatusActiveOutbid);
    at(kEnd - 10);
    const BidScheduler::Pass pass = scheduler.scan();
    EXPECT_EQ(pass.marked, QStringList{"5"});
    EXPECT_TRUE(outbid->hasReadyMark());
    EXPECT_EQ(connects, 0);
    for (const auto& item : doc.items())
        EXPECT_FALSE(item->isBusy()) << item->id().toStdString();
}

TEST_F(BidSchedulerTest, DueWithoutCredentialsStopsTheBid)
{
    app().settings().password.clear();
    app().publishSettings();
    CBidItem* item = add("7");
    at(kEnd - 30);
    const BidScheduler::Pass pass = scheduler.scan();
    EXPECT_EQ(pass.stopped, QStringList{"7"});
    EXPECT_EQ(item->status(), quint32(StatusStopped));
    EXPECT_FALSE(item->hasReadyMark());
    EXPECT_EQ(window.count(IMainWindow::CmdStartReadyBids), 0);
    EXPECT_EQ(
        window.messages
            .filter(QStringLiteral("Message for bid #7. You must define user name and password !"))
            .size(),
        1);
}

TEST_F(BidSchedulerTest, ScanThatCannotTakeTheLockSkipsItsPass)
{
    CBidItem* item = add("1");
    at(kEnd - 10);
    scheduler.setLockWaitMs(50);
    std::atomic<bool> held{false};
    std::atomic<bool> release{false};
    std::thread holder([&] {
        doc.itemsLock().lock();
        held = true;
        while (!release)
            std::this_thread::yield();
        doc.itemsLock().unlock();
    });
    while (!held)
        std::this_thread::yield();
    const BidScheduler::Pass pass = scheduler.scan();
    release = true;
    holder.join();
    EXPECT_FALSE(pass.ran);
    EXPECT_FALSE(item->hasReadyMark());
    EXPECT_TRUE(home.logText().contains(QStringLiteral("this pass is skipped")));
}

TEST_F(BidSchedulerTest, ItemDeletedWhileTheLockIsReleasedIsLeftAlone)
{
    add("1");
    add("2");
    at(kEnd - 100); // both in their connect window: the lock is released for each
    bool deleted = false;
    BidScheduler deleting(app(), doc, [&] {
        if (!deleted) {
            ItemsLockGuard guard(doc.itemsLock());
            doc.deleteItem(doc.itemById("2"));
            deleted = true;
        }
        return true;
    });
    deleting.setSiteNowMs([this] { return nowMs.load(); });
    const BidScheduler::Pass pass = deleting.scan();
    EXPECT_EQ(pass.connectFor, QStringList{"1"});
    ASSERT_EQ(doc.itemCount(), 1);
    EXPECT_FALSE(doc.itemAt(0)->isBusy());
}

TEST_F(BidSchedulerTest, TickScanRunsOnThePool)
{
    CBidItem* item = add("1");
    at(kEnd - 10);
    scheduler.startScan();
    ASSERT_TRUE(scheduler.waitForScans(10000));
    ItemsLockGuard guard(doc.itemsLock());
    EXPECT_TRUE(item->hasReadyMark());
}

TEST_F(BidSchedulerTest, PreciseStartArmsATimerForTheExactMoment)
{
    app().settings().preciseStart = 1;
    app().publishSettings();
    scheduler.setTickMs(5000);
    CBidItem* item = add("1");
    // 3.5 s before the planned moment: due before the next tick.
    at(kEnd - 64, 500);
    BidScheduler::Pass pass = scheduler.scan();
    EXPECT_TRUE(pass.marked.isEmpty());
    // Armed on the main thread, 10 ms before the moment by then.
    at(kEnd - 61, 990);
    QCoreApplication::processEvents();
    EXPECT_EQ(scheduler.armedItems(), QStringList{"1"});
    EXPECT_FALSE(item->hasReadyMark());

    // The timer reads the clock when it fires: the moment has passed by then.
    at(kEnd - 60, 1);
    QStringList fired;
    QObject::connect(&scheduler, &BidScheduler::preciseStartFired,
                     [&fired](const QString& id) { fired << id; });
    ASSERT_TRUE(waitFor([&] { return !fired.isEmpty(); }));
    EXPECT_EQ(fired, QStringList{"1"});
    EXPECT_TRUE(item->hasReadyMark());
    EXPECT_EQ(window.count(IMainWindow::CmdStartReadyBids), 1);
    EXPECT_TRUE(scheduler.armedItems().isEmpty());
}

TEST_F(BidSchedulerTest, PreciseStartIsNotArmedForLaterBids)
{
    app().settings().preciseStart = 1;
    app().publishSettings();
    add("1");
    at(kEnd - 70); // 10 s before the moment: the next tick is early enough
    scheduler.scan();
    QCoreApplication::processEvents();
    EXPECT_TRUE(scheduler.armedItems().isEmpty());
}

} // namespace
