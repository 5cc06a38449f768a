#include "model/bidsdoc.h"
#include "modelfixture.h"

#include <limits>

TEST_F(ModelTest, NewListHasTheTwoBuiltInFolders)
{
    ASSERT_EQ(m_doc.folders().size(), 2u);
    EXPECT_EQ(m_doc.folders()[0]->name(), "Open auctions");
    EXPECT_EQ(m_doc.folders()[1]->id(), CBidFolder::ClosedAuctionsId);
    EXPECT_EQ(m_doc.selectedFolderId(), CBidFolder::OpenAuctionsId);
    EXPECT_TRUE(m_doc.isModified());
    EXPECT_GT(m_events.folderChanges, 0);
}

TEST_F(ModelTest, FolderKindFollowsTheFirstBuiltInFolderAbove)
{
    CBidFolder* archive = addFolder(1, -2, "Archive");
    CBidFolder* old = addFolder(2, 1, "Old");
    CBidFolder* found = addFolder(-3, -1, "Found items");
    CBidFolder* below = addFolder(3, -3, "Below found");
    CBidFolder* loose = addFolder(4, 0, "Loose");
    CBidFolder* spare = addFolder(-4, 0, "Spare");
    EXPECT_TRUE(CBidFolder::isClosedType(archive));
    EXPECT_TRUE(CBidFolder::isClosedType(old));
    EXPECT_TRUE(CBidFolder::isOpenType(found));
    EXPECT_TRUE(CBidFolder::isOpenType(below));
    EXPECT_TRUE(CBidFolder::isOpenType(loose));
    EXPECT_TRUE(CBidFolder::isClosedType(spare));
    EXPECT_TRUE(CBidFolder::isClosedType(nullptr));
    EXPECT_EQ(m_doc.folderLabel(archive), "Archive [0]");
}

TEST_F(ModelTest, FolderIdsAndLookups)
{
    EXPECT_EQ(m_doc.nextFolderId(), 1);
    addFolder(7, -1, "Seven");
    EXPECT_EQ(m_doc.nextFolderId(), 8);
    addFolder(std::numeric_limits<qint32>::max(), -1, "Last");
    EXPECT_EQ(m_doc.nextFolderId(), 1); // never wraps round to a negative id
    EXPECT_EQ(m_doc.folderByName("Seven")->id(), 7);
    EXPECT_EQ(m_doc.folderByName("seven"), nullptr);

    CBidItem* item = addItem("123456789", StatusActive);
    EXPECT_EQ(m_doc.itemById("0123456789"), item);
    EXPECT_EQ(m_doc.itemById(" 123456789"), item);
    EXPECT_EQ(m_doc.itemById("1234567890"), nullptr);
    EXPECT_TRUE(CBidsDoc::sameItemId("0", "000"));
    EXPECT_FALSE(CBidsDoc::sameItemId("-5", "5"));
    EXPECT_TRUE(CBidsDoc::sameItemId("99999999999999999999999", "099999999999999999999999"));
    EXPECT_FALSE(CBidsDoc::sameItemId("99999999999999999999998", "99999999999999999999999"));
}

TEST_F(ModelTest, RebuildClosesFinishedItemsAndReopensUnfinishedOnes)
{
    CBidItem* lost = addItem("1000000001", StatusLost);
    lost->setHighBidders("someone; BUYER");
    lost->setBidThread(&m_workers[0]);
    CBidItem* reopened = addItem("1000000002", StatusStopped, CBidFolder::ClosedAuctionsId);
    CBidItem* orphan = addItem("1000000003", StatusActive, 99);
    settings().useMC = 1;
    settings().notifyEnded = 1;
    m_doc.setModified(false);

    const RebuildResult result = m_doc.rebuild();
    EXPECT_EQ(lost->status(), StatusWon);
    EXPECT_EQ(lost->folder()->id(), CBidFolder::ClosedAuctionsId);
    EXPECT_EQ(m_workers[0].quits, 1);
    EXPECT_EQ(m_effects.mails, QStringList{"1:1000000001"});
    EXPECT_EQ(reopened->folder()->id(), CBidFolder::OpenAuctionsId);
    EXPECT_EQ(orphan->folder()->id(), CBidFolder::OpenAuctionsId);
    EXPECT_TRUE(result.moved);
    EXPECT_TRUE(m_doc.isModified());
    EXPECT_EQ(result.rows, (std::vector<int>{1, 2}));
    EXPECT_EQ(m_events.rows, result.rows);
    const QString log = logText();
    EXPECT_TRUE(log.contains("Bid #1000000001, bidding is closed for this item."));
    EXPECT_TRUE(log.contains("Message for bid #1000000001.  You won the auction !"));

    m_effects.mails.clear();
    m_doc.rebuild(); // nothing left to do
    EXPECT_TRUE(m_effects.mails.isEmpty());
}

TEST_F(ModelTest, WinInAnOnlyOneWinsFolderStopsTheOthers)
{
    CBidFolder* folder = addFolder(1, -1, "Pick one");
    folder->setOnlyOneItemWins(true);
    CBidItem* won = addItem("1000000001", StatusWon, 1);
    CBidItem* active = addItem("1000000002", StatusActiveOutbid, 1);
    CBidItem* running = addItem("1000000003", StatusRunning, 1);
    running->setBidThread(&m_workers[1]);
    CBidItem* elsewhere = addItem("1000000004", StatusActive);

    m_doc.rebuild();
    EXPECT_EQ(won->folder()->id(), CBidFolder::ClosedAuctionsId);
    EXPECT_EQ(active->status(), StatusNotActive);
    EXPECT_EQ(running->status(), StatusStopped);
    EXPECT_EQ(m_workers[1].retracts, 1);
    EXPECT_EQ(m_workers[1].quits, 0);
    EXPECT_EQ(elsewhere->status(), StatusActive);
    EXPECT_EQ(m_events.changedRows, (std::vector<int>{1, 2}));
    EXPECT_TRUE(logText().contains("Bid 1000000002: state is not active."));
}

TEST_F(ModelTest, ShutdownAndOutbidScan)
{
    CBidItem* ended = addItem("1000000001", StatusActive);
    ended->setEnded(true);
    ended->setShutdownWhenFinished(true);
    CBidItem* outbid = addItem("1000000002", StatusActiveOutbid);

    EXPECT_TRUE(m_doc.rebuild().shutdownRequested);
    EXPECT_EQ(m_effects.shutdownRequests, 1);
    EXPECT_TRUE(m_effects.outbidIndicator);
    EXPECT_TRUE(m_effects.mails.isEmpty()); // notifications are off
    EXPECT_FALSE(outbid->outbidNotified());

    ended->setShutdownArmed(false);
    settings().useMC = 1;
    settings().notifyOutbid = 1;
    EXPECT_EQ(m_doc.rebuild().outbidCount, 1);
    m_doc.rebuild();
    EXPECT_EQ(m_effects.mails, QStringList{"2:1000000002"}); // once per outbid episode
    EXPECT_EQ(m_effects.shutdownRequests, 1);

    outbid->setStatus(StatusActive);
    m_doc.rebuild();
    EXPECT_FALSE(outbid->outbidNotified());
    EXPECT_FALSE(m_effects.outbidIndicator);
}

TEST_F(ModelTest, ClearTellsBidThreadsToQuit)
{
    addItem("1000000001", StatusRunning)->setBidThread(&m_workers[2]);
    m_doc.clear();
    EXPECT_EQ(m_workers[2].quits, 1);
    EXPECT_TRUE(m_doc.folders().empty());
}
