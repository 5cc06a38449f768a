// Bid threads against the practice site over loopback, driven as the Start routine and the
// engine tick drive them: the item page read, the thread made and stored in the item,
// Start posted, then a poll on every tick until the thread ends.

#include "engine/bidthread.h"
#include "engine/bidproblemfile.h"
#include "engine/itempageupdate.h"
#include "enginefakes.h"
#include "model/bidsdoc.h"
#include "sites/siteaccess.h"
#include "sites/sitesettings.h"
#include "support/apphome.h"
#include "support/localzone.h"
#include "support/practicesiteprocess.h"

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMutex>
#include <QPointer>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace {

constexpr int kWaitMs = 60000;
const QString kUser = QStringLiteral("sniper_sam");
const QString kPassword = QStringLiteral("Zq7-secret");

// Keeps the lines of the message list with their levels; called from any thread.
class BidWindow : public AnsweringWindow
{
public:
    void addMessage(const QString& line, int level) override
    {
        QMutexLocker lock(&m_mutex);
        m_lines << std::make_pair(line, level);
    }
    // The level of the first line containing `text`; -1 when none does.
    int levelOf(const QString& text) const
    {
        QMutexLocker lock(&m_mutex);
        for (const auto& [line, level] : m_lines) {
            if (line.contains(text))
                return level;
        }
        return -1;
    }

private:
    mutable QMutex m_mutex;
    QList<std::pair<QString, int>> m_lines;
};

class BidThreadTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        EnsureCoreApplication();
        if (!QFile::exists(PracticeSiteProcess::binaryPath()))
            GTEST_SKIP() << "the practice site is not built";
        m_site = std::make_unique<PracticeSiteProcess>();
        ASSERT_TRUE(m_site->isRunning()) << m_site->errorString().toStdString();
        Registry& machine = app().machineRegistry();
        m_site->writeProfile(machine);
        control(
            "POST", "/accounts",
            QStringLiteral(R"({"userid":"%1","password":"%2"})").arg(kUser, kPassword).toUtf8());
        useSite(QStringLiteral("www.ebay.com"));
        app().setMainWindow(&m_window);
        m_doc = std::make_unique<CBidsDoc>(ListEnvironment::of(app()));
        m_doc->newDocument();
    }

    void TearDown() override
    {
        if (m_thread) {
            {
                ItemsLockGuard guard(app().itemsLock());
                m_thread->postQuit();
            }
            EXPECT_TRUE(waitFor([this] { return m_thread.isNull(); }));
        }
        EXPECT_TRUE(WorkerThread::waitForDetached(30000));
        m_doc.reset();
        app().setMainWindow(nullptr);
    }

    AppContext& app() { return m_home.app(); }

    void useSite(const QString& site, const QString& password = kPassword)
    {
        AppSettings& settings = app().settings();
        settings.currentSite = site;
        settings.login = kUser;
        settings.password = password;
        app().publishSettings();
        m_sites.load(app().machineRegistry(), site);
    }

    QJsonValue control(const QByteArray& method, const QString& path, const QByteArray& json = {})
    {
        const PracticeSiteProcess::Reply reply = m_site->control(method, path, json);
        EXPECT_TRUE(reply.ok()) << method.constData() << ' ' << path.toStdString() << ": "
                                << reply.body.toStdString();
        const QJsonDocument doc = QJsonDocument::fromJson(reply.body);
        return doc.isArray() ? QJsonValue(doc.array()) : QJsonValue(doc.object());
    }
    QString createAuction(const QByteArray& json)
    {
        return control("POST", "/auctions", json).toObject()["item"].toString();
    }
    QJsonObject auction(const QString& id) { return control("GET", "/auctions/" + id).toObject(); }
    int addFault(const QByteArray& json) { return control("POST", "/faults", json)["id"].toInt(); }

    // The site's request log of `page`.
    QJsonArray log(const QString& page)
    {
        return control("GET", "/log?page=" + page).toObject()["entries"].toArray();
    }
    // The requests of `page` for item `id`; with `confirmed` only those that commit.
    int requests(const QString& page, const QString& id, bool confirmed = false)
    {
        int count = 0;
        for (const QJsonValue entry : log(page)) {
            const QJsonObject e = entry.toObject();
            if (e["item"].toString() == id &&
                (!confirmed || e["form"].toObject()["confirm"].toString() == "1"))
                ++count;
        }
        return count;
    }
    int bidsBy(const QString& id, const QString& bidder)
    {
        int count = 0;
        for (const QJsonValue bid : auction(id)["bids"].toArray())
            count += bid.toObject()["bidder"].toString() == bidder ? 1 : 0;
        return count;
    }

    // Adds the bid and reads its page as the Start routine does, then marks it running.
    void addItem(const QString& id, float maxPrice, int quantity = 1,
                 const std::function<void(CBidItem&)>& change = {})
    {
        {
            ItemsLockGuard guard(app().itemsLock());
            auto item = std::make_unique<CBidItem>();
            item->setId(id);
            item->setMaxPrice(maxPrice);
            item->setQuantity(quantity);
            m_doc->appendItem(std::move(item), m_doc->folderById(CBidFolder::OpenAuctionsId));
        }
        ASSERT_TRUE(ItemPageUpdate::read(*m_doc, id, BuildSiteProfile()));
        ItemsLockGuard guard(app().itemsLock());
        CBidItem* item = m_doc->itemById(id);
        item->setStatus(item->status() == StatusActiveOutbid ? StatusRunningOutbid : StatusRunning);
        if (change)
            change(*item);
    }

    CBidThread* makeThread(const QString& id)
    {
        auto* thread = new CBidThread(app(), *m_doc, id);
        m_thread = thread;
        ItemsLockGuard guard(app().itemsLock());
        m_doc->itemById(id)->setBidThread(thread);
        return thread;
    }
    void start(const QString& id) { makeThread(id)->postStart(BuildSiteProfile()); }

    // Runs the event loop, polling the thread as the engine tick does, until `done` holds.
    bool waitFor(const std::function<bool()>& done, int milliseconds = kWaitMs)
    {
        QElapsedTimer clock;
        clock.start();
        QEventLoop loop;
        QTimer tick;
        int ticks = 0;
        QObject::connect(&tick, &QTimer::timeout, &loop, [&] {
            if (done() || clock.elapsed() > milliseconds)
                loop.quit();
            else if (++ticks % 10 == 0 && m_thread)
                m_thread->postPoll();
        });
        if (done())
            return true;
        tick.start(10);
        loop.exec();
        return done();
    }
    bool waitForEnd()
    {
        return waitFor([this] { return m_thread.isNull(); });
    }
    bool waitForLog(const QString& text)
    {
        return waitFor([&] { return m_home.logText().contains(text); });
    }

    quint32 status(const QString& id)
    {
        ItemsLockGuard guard(app().itemsLock());
        return m_doc->itemById(id)->status();
    }
    QString text(const QString& pattern, const QString& id)
    {
        return QString(pattern).replace("%s", id);
    }
    QString logText() { return m_home.logText(); }

    LocalZone m_zone;
    AppHome m_home;
    SiteSettings m_sites;
    std::unique_ptr<PracticeSiteProcess> m_site;
    BidWindow m_window;
    std::unique_ptr<CBidsDoc> m_doc;
    QPointer<CBidThread> m_thread;
};

TEST_F(BidThreadTest, BidsOnceSignsInWatchesAndWins)
{
    const QString id = createAuction(R"({"site":"us","title":"Lamp","startPrice":5,"endsIn":600})");
    control("POST", "/auctions/" + id + "/bids", R"({"bidder":"rival_bert","max":8})");
    addItem(id, 20.0f);
    start(id);
    ASSERT_TRUE(waitForLog(text("Bid #%s, user is last bidder.", id))) << logText().toStdString();
    EXPECT_EQ(status(id), StatusRunning);
    EXPECT_EQ(auction(id)["highBidder"].toString(), kUser);
    for (const char* moment :
         {"item page loaded at", "bid form sent at", "sign-in sent at", "confirmation received at"})
        EXPECT_TRUE(logText().contains(text("Bid #%s: ", id) + moment)) << moment;

    // A few ticks of watching send nothing more.
    int reloads = requests("ViewItem", id);
    ASSERT_TRUE(waitFor([&] { return requests("ViewItem", id) >= reloads + 2; }));

    control("POST", "/auctions/" + id + "/end", "{}");
    ASSERT_TRUE(waitForEnd());
    EXPECT_EQ(status(id), StatusWon);
    EXPECT_EQ(m_window.levelOf("You won the auction !"), 1);
    EXPECT_EQ(requests("MakeBid", id, true), 1);
    EXPECT_EQ(bidsBy(id, kUser), 1);
    EXPECT_FALSE(logText().contains(kPassword));
}

TEST_F(BidThreadTest, DoesNotBidWhenThePriceIsAboveTheMaximum)
{
    const QString id =
        createAuction(R"({"site":"us","title":"Vase","startPrice":15,"endsIn":600})");
    addItem(id, 10.0f);
    start(id);
    ASSERT_TRUE(waitForLog(text("Bid #%s, state = The set maximum bidding price is too low.", id)));
    EXPECT_EQ(status(id), StatusRunningOutbid);
    EXPECT_EQ(requests("MakeBid", id), 0);
}

TEST_F(BidThreadTest, ShowsThePagesItReadsWhenTheUserAsks)
{
    const QString id =
        createAuction(R"({"site":"us","title":"Brass lamp","startPrice":15,"endsIn":600})");
    addItem(id, 10.0f);
    app().settings().showIE = 1;
    app().publishSettings();
    QStringList shown;
    CBidThread* thread = makeThread(id);
    QObject::connect(thread, &CBidThread::pageShown,
                     [&shown](const QString& itemId, const QString& url, const QByteArray& source,
                              const QString& type) {
                         shown << QStringList{itemId, url, type,
                                              QString::number(source.contains("Brass lamp"))}
                                      .join('|');
                     });
    thread->postStart(BuildSiteProfile());
    ASSERT_TRUE(waitForLog(text("Bid #%s, state = The set maximum bidding price is too low.", id)));
    ASSERT_FALSE(shown.isEmpty());
    const QStringList first = shown.first().split('|');
    EXPECT_EQ(first.at(0), id);
    EXPECT_TRUE(first.at(1).contains("ViewItem")) << first.at(1).toStdString();
    EXPECT_TRUE(first.at(2).startsWith("text/html")) << first.at(2).toStdString();
    EXPECT_EQ(first.at(3), "1");
}

TEST_F(BidThreadTest, DoesNotBidAgainWhileTheUserLeadsAfterItsBid)
{
    // The user leads with a maximum above the item's: the price has passed the maximum,
    // yet this program's own bid holds the lead.
    const QString id =
        createAuction(R"({"site":"us","title":"Clock","startPrice":5,"endsIn":600})");
    control("POST", "/auctions/" + id + "/bids",
            QStringLiteral(R"({"bidder":"%1","max":20})").arg(kUser).toUtf8());
    control("POST", "/auctions/" + id + "/bids", R"({"bidder":"rival_bert","max":12})");
    addItem(id, 10.0f, 1, [](CBidItem& item) { item.setBidPlaced(true); });
    start(id);
    ASSERT_TRUE(waitForLog(text("Bid #%s, user is last bidder.", id)));
    EXPECT_EQ(status(id), StatusRunning);
    EXPECT_EQ(requests("MakeBid", id), 0);

    // Stop with retraction: 0x466 without parameters uses those of the start.
    {
        ItemsLockGuard guard(app().itemsLock());
        m_thread->postRetract();
    }
    ASSERT_TRUE(waitForEnd());
    EXPECT_EQ(status(id), StatusRetracted);
    EXPECT_NE(auction(id)["highBidder"].toString(), kUser);
    ItemsLockGuard guard(app().itemsLock());
    const CBidItem* item = m_doc->itemById(id);
    EXPECT_FALSE(item->isRefreshed());
    EXPECT_FALSE(item->retractionDone());
    EXPECT_EQ(item->bidThread(), nullptr);
}

TEST_F(BidThreadTest, RetractionForDeleteMarksTheItem)
{
    const QString id = createAuction(R"({"site":"us","title":"Kite","startPrice":5,"endsIn":600})");
    control("POST", "/auctions/" + id + "/bids",
            QStringLiteral(R"({"bidder":"%1","max":20})").arg(kUser).toUtf8());
    addItem(id, 20.0f);
    makeThread(id)->postRetract(BuildSiteProfile(), true);
    ASSERT_TRUE(waitForEnd());
    EXPECT_EQ(status(id), StatusRetracted);
    EXPECT_EQ(bidsBy(id, kUser), 0);
    EXPECT_EQ(requests("RetractBid", id), 1);
    ItemsLockGuard guard(app().itemsLock());
    EXPECT_TRUE(m_doc->itemById(id)->isRefreshed());
    EXPECT_TRUE(m_doc->itemById(id)->retractionDone());
}

TEST_F(BidThreadTest, ABidThatArrivesAfterTheEndIsLost)
{
    const QString id = createAuction(R"({"site":"us","title":"Bell","startPrice":5,"endsIn":600})");
    const int hold = addFault(
        QStringLiteral(R"({"page":"MakeBid","item":"%1","kind":"hold"})").arg(id).toUtf8());
    addItem(id, 20.0f);
    start(id);
    // The bid is on its way: the auction ends before the site answers it.
    ASSERT_TRUE(waitFor([&] {
        for (const QJsonValue f : control("GET", "/faults").toArray())
            if (f.toObject()["id"].toInt() == hold && f.toObject()["hits"].toInt() > 0)
                return true;
        return false;
    }));
    control("POST", "/auctions/" + id + "/end", "{}");
    control("DELETE", "/faults/" + QString::number(hold));
    ASSERT_TRUE(waitForEnd());
    EXPECT_EQ(status(id), StatusLost);
    EXPECT_EQ(m_window.levelOf(text("Bid #%s: It was not possible to place the bid. Bidding has "
                                    "ended for this item.",
                                    id)),
              1);
    EXPECT_EQ(bidsBy(id, kUser), 0);
}

TEST_F(BidThreadTest, AWrongPasswordStopsTheBid)
{
    useSite(QStringLiteral("www.ebay.com"), QStringLiteral("not-it"));
    const QString id = createAuction(R"({"site":"us","title":"Fan","startPrice":5,"endsIn":600})");
    addItem(id, 20.0f);
    start(id);
    ASSERT_TRUE(waitForEnd());
    EXPECT_EQ(status(id), StatusStopped);
    EXPECT_EQ(m_window.levelOf(text("Bid #%s: Username/password was not accepted by the "
                                    "www.ebay.com. Check your account settings.",
                                    id)),
              3);
    EXPECT_EQ(requests("MakeBid", id, true), 0);
    EXPECT_FALSE(logText().contains("not-it"));
}

TEST_F(BidThreadTest, NoticesThatForbidBuyingStopTheBid)
{
    struct Case
    {
        const char* account;
        bool shipBlocked;
        const char* message;
    };
    const Case cases[] = {
        {R"("negativeFeedback":true)", false,
         "eBay®: You have 1 or more negative feeback scores, thus you won't be able to purchase "
         "this item by auction."},
        {R"("buyingLimit":true)", false, "eBay®: Buying activity limit reached..."},
        {R"("registrationBlocked":true)", false, "eBay®: Registration blocked!"},
        {"", true, "eBay®: You are registered in a country to which the seller doesn't ship"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        control("DELETE", "/sessions");
        control("POST", "/accounts",
                QStringLiteral(R"({"userid":"%1","password":"%2"%3%4})")
                    .arg(kUser, kPassword, *c.account ? "," : "", c.account)
                    .toUtf8());
        const QString id = createAuction(
            QStringLiteral(R"({"site":"us","title":"Desk","startPrice":5,"endsIn":600,)"
                           R"("shipBlocked":%1})")
                .arg(c.shipBlocked ? "true" : "false")
                .toUtf8());
        addItem(id, 20.0f);
        start(id);
        ASSERT_TRUE(waitForEnd());
        EXPECT_EQ(status(id), StatusStopped);
        EXPECT_EQ(m_window.levelOf(QString::fromUtf8(c.message)), 3);
        EXPECT_EQ(requests("MakeBid", id, true), 0);
        control("POST", "/accounts",
                QStringLiteral(R"({"userid":"%1","password":"%2","negativeFeedback":false,)"
                               R"("buyingLimit":false,"registrationBlocked":false})")
                    .arg(kUser, kPassword)
                    .toUtf8());
    }
}

TEST_F(BidThreadTest, FollowsTheSuspensionNoticeAndBids)
{
    control("POST", "/accounts",
            QStringLiteral(R"({"userid":"%1","password":"%2","suspensionNotice":true})")
                .arg(kUser, kPassword)
                .toUtf8());
    const QString id = createAuction(R"({"site":"us","title":"Rug","startPrice":5,"endsIn":600})");
    addItem(id, 20.0f);
    start(id);
    ASSERT_TRUE(waitForLog(text("Bid #%s, user is last bidder.", id)));
    EXPECT_EQ(m_window.levelOf(kUser + ", the suspension of your account has been lifted."), 2);
    EXPECT_EQ(requests("AcceptNotice", id), 1);
    EXPECT_EQ(requests("MakeBid", id, true), 1);
}

TEST_F(BidThreadTest, BuysUnitsOfAMultiItemAuction)
{
    const QString id = createAuction(
        R"({"site":"us","kind":"multi","title":"Pens","quantity":5,"startPrice":3,"endsIn":600})");
    addItem(id, 10.0f, 2);
    start(id);
    ASSERT_TRUE(waitForEnd());
    EXPECT_EQ(status(id), StatusWon);
    EXPECT_EQ(m_window.levelOf(text("You've bought 2 units of auction #%s.", id)), 1);
    const QJsonArray commits = log("MakeBid");
    ASSERT_EQ(requests("MakeBid", id, true), 1);
    for (const QJsonValue entry : commits) {
        const QJsonObject form = entry.toObject()["form"].toObject();
        if (form["confirm"].toString() == "1") {
            EXPECT_EQ(form["maxbid"].toString(), "10.00");
            EXPECT_EQ(form["quant"].toString(), "2");
        }
    }
}

TEST_F(BidThreadTest, BuysAtTheBuyItNowPriceOnce)
{
    const QString id = createAuction(
        R"({"site":"us","kind":"fixed","title":"Mug","quantity":3,"price":7,"endsIn":600})");
    addItem(id, 10.0f, 1);
    {
        ItemsLockGuard guard(app().itemsLock());
        ASSERT_TRUE(m_doc->itemById(id)->isBuyItNow());
    }
    start(id);
    // A listing of several units: the purchase completes at the confirmation.
    ASSERT_TRUE(waitForEnd());
    EXPECT_EQ(status(id), StatusWon);
    EXPECT_EQ(m_window.levelOf(text("You've bought 1 units of auction #%s.", id)), 1);
    EXPECT_EQ(requests("BinConfirm", id, true), 1);
    EXPECT_EQ(bidsBy(id, kUser), 1);
}

TEST_F(BidThreadTest, APageThatFailsMidFlowStopsWithoutASecondBid)
{
    const char* faults[] = {
        R"({"page":"MakeBid","item":"%1","kind":"reset","count":1})",
        R"({"page":"MakeBid","item":"%1","kind":"truncate","bytes":60,"count":1})",
        R"({"page":"SignInWelcome","kind":"status","status":500,"count":1})",
    };
    for (const char* fault : faults) {
        SCOPED_TRACE(fault);
        control("DELETE", "/sessions");
        const QString id =
            createAuction(R"({"site":"us","title":"Jug","startPrice":5,"endsIn":600})");
        addFault(QString::fromLatin1(fault).replace("%1", id).toUtf8());
        addItem(id, 20.0f);
        start(id);
        ASSERT_TRUE(waitForEnd());
        EXPECT_EQ(status(id), StatusStopped);
        EXPECT_EQ(requests("MakeBid", id), 1);
        EXPECT_EQ(bidsBy(id, kUser), 0);
    }
    EXPECT_TRUE(logText().contains("did not load"));
}

TEST_F(BidThreadTest, AnUnknownPageAfterTheBidIsWatchedNotBidAgain)
{
    const QString id = createAuction(R"({"site":"us","title":"Box","startPrice":5,"endsIn":600})");
    // The page after the bid form has no sign-in form the thread knows.
    addFault(QStringLiteral(R"({"page":"MakeBid","item":"%1","kind":"wording",)"
                            R"("from":"SignInWelcome","to":"SignInLater"})")
                 .arg(id)
                 .toUtf8());
    addItem(id, 20.0f);
    start(id);
    ASSERT_TRUE(waitForLog(text("Bid #%s: Fail finding form in ET_BIDDING_ON_ITEM.", id)));
    const int loads = requests("ViewItem", id);
    ASSERT_TRUE(waitFor([&] { return requests("ViewItem", id) >= loads + 2; }));
    EXPECT_EQ(requests("MakeBid", id), 1);
    EXPECT_EQ(status(id), StatusRunning);
}

TEST_F(BidThreadTest, UnreadablePageAfterSignInIsKeptWithoutThePassword)
{
    const QString id = createAuction(R"({"site":"us","title":"Hat","startPrice":5,"endsIn":600})");
    // The confirmation lacks the item page's description and repeats the password.
    addFault(QStringLiteral(R"({"page":"MakeBid","item":"%1","kind":"wording",)"
                            R"("from":"Description","to":"Details %2"})")
                 .arg(id, kPassword)
                 .toUtf8());
    addItem(id, 20.0f);
    start(id);
    ASSERT_TRUE(waitForLog(text("Bid #%s, user is last bidder.", id)));
    const QDir folder(app().paths().dataDir() + "/Bidding");
    const QStringList files = folder.entryList({"BidProblem_" + id + "_*.txt"}, QDir::Files);
    ASSERT_EQ(files.size(), 1);
    QFile file(folder.filePath(files.first()));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString content = QString::fromUtf8(file.readAll());
    EXPECT_TRUE(content.contains("Details ********"));
    EXPECT_FALSE(content.contains(kPassword));
    EXPECT_EQ(requests("MakeBid", id, true), 1);
}

TEST_F(BidThreadTest, MaximumIsWrittenWithTheSitesDecimalPointer)
{
    useSite(QStringLiteral("www.ebay.de"));
    const QString id = createAuction(R"({"site":"de","title":"Uhr","startPrice":5,"endsIn":600})");
    addItem(id, 12.5f);
    start(id);
    ASSERT_TRUE(waitForLog(text("Bid #%s, user is last bidder.", id)));
    for (const QJsonValue entry : log("MakeBid"))
        EXPECT_EQ(entry.toObject()["form"].toObject()["maxbid"].toString(), "12,50");
    EXPECT_EQ(requests("MakeBid", id, true), 1);
}

TEST(BidProblemFileTest, NameStaysInsideTheBiddingFolder)
{
    const QString data = QStringLiteral("/tmp/data");
    for (const QString& id : {QStringLiteral("../x"), QStringLiteral("a/b"),
                              QStringLiteral("..\\..\\y"), QString(), QStringLiteral("12%s")}) {
        const QString path = BidProblemFile::path(data, id, 0);
        EXPECT_EQ(QFileInfo(path).absolutePath(), data + "/Bidding") << path.toStdString();
        EXPECT_TRUE(QFileInfo(path).fileName().startsWith("BidProblem_"));
        EXPECT_FALSE(QFileInfo(path).fileName().contains(".."));
    }
    EXPECT_TRUE(BidProblemFile::path(data, "3000000001", 0).contains("BidProblem_3000000001_"));
}

} // namespace
