// The refresh pass against the practice site: which items a pass reads, what the read
// changes, the verdict of ended auctions, and stopping during a download.

#include "engine/refreshthread.h"
#include "engine/itempageupdate.h"
#include "refreshsite.h"

#include <QElapsedTimer>

namespace {

class RefreshThreadTest : public RefreshSiteTest
{
protected:
    void SetUp() override
    {
        RefreshSiteTest::SetUp();
        if (!IsSkipped())
            app().clock().setOffset(0);
    }

    // A running listing with rival_anna ahead at `rivalMax`, ending in `endsIn` seconds.
    QString runningAuction(double rivalMax, int endsIn = 3600)
    {
        return createAuction(
            QStringLiteral(R"({"site":"us","title":"Brass compass","startPrice":1.0,)"
                           R"("endsIn":%1,"bids":[{"bidder":"rival_anna","max":%2,"in":-60}]})")
                .arg(endsIn)
                .arg(rivalMax)
                .toUtf8());
    }

    // Under the lock: a copy of the item as it is now.
    CBidItem snapshot(const QString& id)
    {
        ItemsLockGuard guard(lock());
        const CBidItem* item = doc().itemById(id);
        return item ? *item : CBidItem();
    }

    // An item refreshed before, last refreshed `minutesAgo` minutes ago.
    void markRefreshed(const QString& id, qint64 secondsAgo, qint64 endTime)
    {
        ItemsLockGuard guard(lock());
        CBidItem* item = doc().itemById(id);
        item->setRefreshed(true);
        item->setLastRefreshTime(now() - secondsAgo);
        item->setEndTime(endTime);
    }
};

} // namespace

TEST_F(RefreshThreadTest, EndedItemsGetTheirVerdictAndTheViewIsTold)
{
    // Built-in listings: 3000000003 won by practice_user, 3000000004 lost to rival_bert.
    addItem("3000000003", 10.0f);
    addItem("3000000004", 10.0f);
    setNow(now() + 10);

    EXPECT_EQ(pass(), true);
    const CBidItem won = snapshot("3000000003");
    EXPECT_EQ(won.status(), StatusWon);
    EXPECT_EQ(won.highBidders(), "practice_user");
    EXPECT_TRUE(won.isRefreshed());
    EXPECT_FALSE(won.isBusy());
    EXPECT_EQ(won.lastRefreshTime(), now());
    EXPECT_EQ(snapshot("3000000004").status(), StatusLost);
    EXPECT_EQ(m_window.commands(),
              (QList<int>{IMainWindow::CmdOutbidScan, IMainWindow::CmdRedisplay}));
    EXPECT_EQ(m_window.levelOf("Refreshing info on bid #3000000003. Please, wait..."),
              ProgramLog::Success);
    EXPECT_EQ(m_window.levelOf("Bid #3000000004 Ready..."), ProgramLog::Success);
    EXPECT_FALSE(refresh().isPassRunning());

    // Finished items are left alone: nothing to read, nothing to tell the view.
    m_window.clear();
    setNow(now() + 3600);
    EXPECT_EQ(pass(), false);
    EXPECT_TRUE(m_window.commands().isEmpty());
}

TEST_F(RefreshThreadTest, OutbidRuleFollowsThePrice)
{
    const QString id = runningAuction(20.0);
    addItem(id, 10.0f);
    EXPECT_EQ(pass(), true);
    // rival_anna leads at the starting price, below the user's limit.
    EXPECT_EQ(snapshot(id).status(), StatusActive);

    control("POST", "/auctions/" + id + "/bids", R"({"bidder":"rival_bert","max":15.0})");
    setNow(now() + 5 * 60 + 1);
    EXPECT_EQ(pass(), true);
    const CBidItem outbid = snapshot(id);
    EXPECT_EQ(outbid.status(), StatusActiveOutbid);
    EXPECT_GT(outbid.currentPrice(), 10.0f);

    {
        ItemsLockGuard guard(lock());
        doc().itemById(id)->setMaxPrice(100.0f);
    }
    setNow(now() + 5 * 60 + 1);
    EXPECT_EQ(pass(), true);
    EXPECT_EQ(snapshot(id).status(), StatusActive);
}

TEST_F(RefreshThreadTest, RunningItemOutbidByTheRead)
{
    const QString id = runningAuction(20.0);
    addItem(id, 10.0f, StatusRunning);
    control("POST", "/auctions/" + id + "/bids", R"({"bidder":"rival_bert","max":15.0})");

    EXPECT_TRUE(ItemPageUpdate::read(doc(), id, BuildSiteProfile()));
    EXPECT_EQ(snapshot(id).status(), StatusRunningOutbid);
    EXPECT_EQ(m_window.levelOf("Message for bid #" + id +
                               ".  Your maximum price entered is already below the required "
                               "minimum bid for this item."),
              ProgramLog::Warning);
}

TEST_F(RefreshThreadTest, FailedReadKeepsTheItemButItsRefreshTime)
{
    const QString id = runningAuction(20.0);
    addItem(id, 30.0f);
    EXPECT_EQ(pass(), true);
    const CBidItem before = snapshot(id);
    ASSERT_TRUE(before.isRefreshed());

    control("POST", "/faults",
            QStringLiteral(R"({"page":"ViewItem","item":"%1","kind":"wording",)"
                           R"("from":"Seller information","to":"Nobody"})")
                .arg(id)
                .toUtf8());
    control("POST", "/auctions/" + id + "/bids", R"({"bidder":"rival_bert","max":25.0})");
    setNow(now() + 5 * 60 + 1);
    EXPECT_EQ(pass(), true);
    const CBidItem after = snapshot(id);
    EXPECT_EQ(after.lastRefreshTime(), now());
    EXPECT_EQ(after.currentPrice(), before.currentPrice());
    EXPECT_EQ(after.highBidders(), before.highBidders());
    EXPECT_EQ(after.title(), before.title());
    EXPECT_EQ(after.status(), StatusActive);
    EXPECT_EQ(m_window.levelOf("Message for bid #" + id + ". "), ProgramLog::Error);

    // A page that does not come at all: the same.
    control("DELETE", "/faults");
    control("POST", "/faults", R"({"page":"ViewItem","kind":"status","status":503})");
    setNow(now() + 5 * 60 + 1);
    EXPECT_EQ(pass(), true);
    EXPECT_EQ(snapshot(id).currentPrice(), before.currentPrice());
    EXPECT_EQ(snapshot(id).lastRefreshTime(), now());
}

TEST_F(RefreshThreadTest, WhichItemsArePassedOver)
{
    setSettings([](AppSettings& s) {
        s.enableRefresh = 0;
        s.refreshEvery = 5;
    });
    // Automatic refresh off: a new item is still read once.
    const QString fresh = runningAuction(20.0);
    addItem(fresh, 10.0f);
    EXPECT_EQ(pass(), true);
    EXPECT_TRUE(snapshot(fresh).isRefreshed());
    setNow(now() + 3600);
    EXPECT_EQ(pass(), false);

    setSettings([](AppSettings& s) { s.enableRefresh = 1; });
    // Exactly refreshEvery minutes ago is not yet due.
    markRefreshed(fresh, 5 * 60, siteEndTime(fresh));
    EXPECT_EQ(pass(), false);
    setNow(now() + 1);
    EXPECT_EQ(pass(), true);

    // refreshInactive within startBefore: a refreshed item is never read again.
    setSettings([](AppSettings& s) {
        s.refreshInactive = 1;
        s.startBefore = 60;
    });
    markRefreshed(fresh, 24 * 3600, siteEndTime(fresh));
    EXPECT_EQ(pass(), false);
    EXPECT_EQ(snapshot(fresh).lastRefreshTime(), now() - 24 * 3600);
}

TEST_F(RefreshThreadTest, RefreshCheckLeavesItemsEndingLater)
{
    setSettings([](AppSettings& s) {
        s.refreshCheck = 1;
        s.refreshInactive = 60;
    });
    const QString later = runningAuction(20.0, 61 * 60);
    const QString sooner = runningAuction(20.0, 59 * 60);
    addItem(later, 10.0f);
    addItem(sooner, 10.0f);
    markRefreshed(later, 3600, now() + 61 * 60);
    markRefreshed(sooner, 3600, now() + 59 * 60);

    EXPECT_EQ(pass(), true);
    EXPECT_EQ(snapshot(later).lastRefreshTime(), now() - 3600);
    EXPECT_EQ(snapshot(sooner).lastRefreshTime(), now());

    // Two minutes on, on both clocks, the later one is inside the limit too.
    control("POST", "/clock", R"({"advance":120})");
    setNow(now() + 120);
    EXPECT_EQ(pass(), true);
    EXPECT_EQ(snapshot(later).lastRefreshTime(), now());
}

TEST_F(RefreshThreadTest, RunningItemOnlyAfterItsEndAndThirtySeconds)
{
    const QString id =
        createAuction(R"({"site":"us","title":"Pocket watch","startPrice":1.0,"endsIn":60,)"
                      R"("bids":[{"bidder":"practice_user","max":5.0,"in":-30}]})");
    const qint64 end = siteEndTime(id);
    addItem(id, 10.0f, StatusRunning);
    markRefreshed(id, 3600, end);
    control("POST", "/clock", R"({"advance":100})");

    setNow(end + 30);
    EXPECT_EQ(pass(), false);
    EXPECT_EQ(snapshot(id).status(), StatusRunning);
    setNow(end + 31);
    EXPECT_EQ(pass(), true);
    // Decided here even though a bid thread may still be at work on it.
    EXPECT_EQ(snapshot(id).status(), StatusWon);
}

TEST_F(RefreshThreadTest, NothingBeforeTheTimeIsSynchronised)
{
    app().clock().clearSynchronised();
    const QString id = runningAuction(20.0);
    addItem(id, 10.0f);
    EXPECT_EQ(pass(), false);
    EXPECT_FALSE(snapshot(id).isRefreshed());
    EXPECT_EQ(m_window.levelOf("Refreshing info"), -1);

    app().clock().setOffset(0);
    EXPECT_EQ(pass(), true);
    EXPECT_TRUE(snapshot(id).isRefreshed());
}

TEST_F(RefreshThreadTest, StopDuringTheDownloadTouchesNoItem)
{
    const QString id = runningAuction(20.0);
    addItem(id, 10.0f);
    control("POST", "/faults",
            QStringLiteral(R"({"page":"ViewItem","item":"%1","kind":"delay","delayMs":1500})")
                .arg(id)
                .toUtf8());
    bool finished = false;
    QObject::connect(&refresh(), &CRefreshThread::passFinished, [&] { finished = true; });
    refresh().postPoll();
    // The pass tells the window just before it downloads.
    QElapsedTimer waited;
    waited.start();
    while (m_window.levelOf("Refreshing info on bid #" + id) < 0 && waited.elapsed() < 20000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    ASSERT_TRUE(refresh().isPassRunning());

    refresh().stop();
    EXPECT_FALSE(refresh().isPassRunning());
    EXPECT_FALSE(snapshot(id).isBusy());
    ASSERT_TRUE(WorkerThread::waitForDetached(30000));
    QCoreApplication::sendPostedEvents();

    const CBidItem after = snapshot(id);
    EXPECT_FALSE(after.isRefreshed());
    EXPECT_TRUE(after.title().isEmpty());
    EXPECT_FALSE(after.isBusy());
    EXPECT_FALSE(finished);
    EXPECT_TRUE(m_window.commands().isEmpty());
}
