#include "enginefakes.h"

#include "engine/bidstarter.h"
#include "model/bidsdoc.h"
#include "model/ibidworker.h"
#include "support/apphome.h"

#include <gtest/gtest.h>

namespace {

class FakeWorker : public IBidWorker
{
public:
    void postQuit() override { ++quits; }
    void postRetract() override { ++retracts; }
    int quits = 0;
    int retracts = 0;
};

class StopWindow : public AnsweringWindow
{
public:
    int askStopBidding(const QString&, const QString&) override { return stopChoice; }
    int stopChoice = StopOnly;
};

class BidStarterTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        EnsureCoreApplication();
        home.app().setMainWindow(&window);
        home.app().settings().login = QStringLiteral("practice_user");
        home.app().settings().password = QStringLiteral("practice");
        home.app().publishSettings();
        doc.newDocument();
        BidStarter::Hooks& hooks = starter.hooks();
        hooks.buildProfile = [] { return SiteProfile(); };
        hooks.readItemPage = [this](const QString&, const SiteProfile&) { return ++reads > 0; };
        hooks.createThread = [this](const QString&) { return &worker; };
        hooks.postStart = [this](IBidWorker*, SiteProfile) { ++starts; };
        hooks.started = [this] { ++flashes; };
        hooks.accessGate = [] { return true; };
    }
    void TearDown() override { home.app().setMainWindow(nullptr); }

    CBidItem* add(const QString& id, quint32 status = StatusActive, float maxPrice = 10.0f)
    {
        auto item = std::make_unique<CBidItem>();
        item->setId(id);
        item->setStatus(status);
        item->setMaxPrice(maxPrice);
        item->setEndTime(1'900'000'000);
        return doc.appendItem(std::move(item), doc.folderById(-1));
    }

    AppHome home;
    StopWindow window;
    CBidsDoc doc{ListEnvironment::of(home.app())};
    BidStarter starter{home.app(), doc};
    FakeWorker worker;
    int reads = 0;
    int starts = 0;
    int flashes = 0;
};

TEST_F(BidStarterTest, StartRunsTheBidOnceAndIgnoresASecondStart)
{
    CBidItem* item = add("1", StatusActiveOutbid);
    EXPECT_EQ(starter.startItem("1"), BidStarter::Outcome::Started);
    EXPECT_EQ(item->status(), quint32(StatusRunningOutbid));
    EXPECT_EQ(item->bidThread(), &worker);
    EXPECT_EQ(reads, 1);
    EXPECT_EQ(starts, 1);
    EXPECT_EQ(flashes, 1);

    EXPECT_EQ(starter.startItem("1"), BidStarter::Outcome::AlreadyRunning);
    EXPECT_EQ(starts, 1);
    item->setBidThread(nullptr);
}

TEST_F(BidStarterTest, MaximumPriceZeroStopsTheBid)
{
    CBidItem* item = add("2", StatusActive, 0.0f);
    EXPECT_EQ(starter.startItem("2"), BidStarter::Outcome::NoMaxPrice);
    EXPECT_EQ(item->status(), quint32(StatusStopped));
    EXPECT_EQ(starts, 0);
    EXPECT_EQ(window.messages.filter("Error in bid #2. Maximum price must be defined !").size(), 1);
}

TEST_F(BidStarterTest, QuantityAboveTheLotSizeMakesItNotActive)
{
    CBidItem* item = add("3");
    item->setQuantity(5);
    item->setAvailableQuantity(2);
    EXPECT_EQ(starter.startItem("3"), BidStarter::Outcome::TooMany);
    EXPECT_EQ(item->status(), quint32(StatusNotActive));
    EXPECT_EQ(window.messages.filter("#3: Quantity must be 2 or fewer.").size(), 1);
}

TEST_F(BidStarterTest, StartBidsTakesOnlyMarkedItemsAndClearsTheMark)
{
    CBidItem* marked = add("4");
    marked->setReadyMark(true);
    CBidItem* other = add("5");
    EXPECT_EQ(starter.startReadyBids(), 1);
    EXPECT_FALSE(marked->hasReadyMark());
    EXPECT_EQ(marked->status(), quint32(StatusRunning));
    EXPECT_EQ(other->status(), quint32(StatusActive));
    marked->setBidThread(nullptr);
}

TEST_F(BidStarterTest, ManualStartAsksWithNoAsTheDefault)
{
    CBidItem* item = add("6");
    EXPECT_EQ(starter.manualStart("6"), BidStarter::Outcome::Refused);
    ASSERT_EQ(window.questions.size(), 1);
    EXPECT_EQ(window.questions[0].defaultAnswer, int(IMainWindow::AnswerNo));
    EXPECT_EQ(item->status(), quint32(StatusActive));

    window.answer = IMainWindow::AnswerYes;
    EXPECT_EQ(starter.manualStart("6"), BidStarter::Outcome::Started);
    EXPECT_TRUE(item->bidPlaced());
    item->setBidThread(nullptr);
}

TEST_F(BidStarterTest, StopQuitsOrRetractsOrIsCancelled)
{
    CBidItem* item = add("7", StatusRunning);
    item->setBidThread(&worker);
    item->setBidPlaced(true);

    window.stopChoice = IMainWindow::StopCancelled;
    EXPECT_EQ(starter.stop("7"), BidStarter::Outcome::Refused);
    EXPECT_TRUE(item->bidPlaced());

    window.stopChoice = IMainWindow::StopAndRetract;
    EXPECT_EQ(starter.stop("7"), BidStarter::Outcome::Retracting);
    EXPECT_EQ(worker.retracts, 1);
    EXPECT_FALSE(item->bidPlaced());

    window.stopChoice = IMainWindow::StopOnly;
    EXPECT_EQ(starter.stop("7"), BidStarter::Outcome::Stopped);
    EXPECT_EQ(worker.quits, 1);
    EXPECT_EQ(item->bidThread(), nullptr);
    EXPECT_EQ(item->status(), quint32(StatusStopped));
}

} // namespace
