// The verdict of an ended auction: the item's own high bidders, the site's page of winners
// of a multi-item auction, and the items lock released around that page.

#include "engine/itemverdict.h"
#include "refreshsite.h"

#include <thread>

namespace {

class ItemVerdictTest : public RefreshSiteTest
{
protected:
    std::optional<Verdict> decide(const QString& id)
    {
        ItemsLockGuard guard(lock());
        return ItemVerdict::decide(doc(), id, BuildSiteProfile(), guard);
    }

    CBidItem* endedItem(const QString& id, const QString& bidders, bool multiItem = false)
    {
        CBidItem* item = addItem(id, 10.0f);
        item->setEnded(true);
        item->setHighBidders(bidders);
        item->setMultiItem(multiItem);
        return item;
    }

    // A multi-item listing, ended, where practice_user got an item or not.
    QString endedMultiItem(bool userBids)
    {
        QByteArray bids = R"([{"bidder":"rival_anna","max":4.0,"quantity":2,"in":-60})";
        if (userBids)
            bids += R"(,{"bidder":"practice_user","max":5.0,"quantity":1,"in":-30})";
        const QString id = createAuction(R"({"site":"us","kind":"multi","title":"Track packs",)"
                                         R"("startPrice":3.0,"quantity":5,"endsIn":600,"bids":)" +
                                         bids + "]}");
        control("POST", "/auctions/" + id + "/end");
        return id;
    }
};

} // namespace

TEST_F(ItemVerdictTest, HighBidderPrivateAndLost)
{
    CBidItem* won = endedItem("4100000001", "rival_anna ; Practice_User ;other");
    CBidItem* hidden = endedItem("4100000002", "User ID kept private");
    hidden->setPrivate(true);
    CBidItem* lost = endedItem("4100000003", "practice_user_2");

    EXPECT_EQ(decide("4100000001"), Verdict::Won);
    EXPECT_EQ(won->status(), StatusWon);
    EXPECT_EQ(won->highBidders(), "practice_user");
    EXPECT_EQ(decide("4100000002"), Verdict::Private);
    EXPECT_EQ(hidden->status(), StatusPrivate);
    // A name that only starts like the user's is someone else.
    EXPECT_EQ(decide("4100000003"), Verdict::Lost);
    EXPECT_EQ(lost->status(), StatusLost);
    EXPECT_EQ(lost->highBidders(), "practice_user_2");
    EXPECT_TRUE(lost->isEnded());

    EXPECT_FALSE(decide("4199999999").has_value());
}

TEST_F(ItemVerdictTest, MessagesAndLevels)
{
    EXPECT_EQ(ItemVerdict::message("42", Verdict::Won),
              "Message for bid #42. You won the auction !");
    EXPECT_EQ(ItemVerdict::message("42", Verdict::Lost),
              "Message for bid #42. You lost the auction !");
    EXPECT_EQ(ItemVerdict::message("42", Verdict::Private),
              "Message for bid #42. Private auction has ended. The seller will send a "
              "confirmation e-mail to you soon, if necessary.");
    EXPECT_EQ(ItemVerdict::severity(Verdict::Won), ProgramLog::Success);
    EXPECT_EQ(ItemVerdict::severity(Verdict::Lost), ProgramLog::Info);
    EXPECT_EQ(ItemVerdict::fromStatus(StatusPrivate), Verdict::Private);
    EXPECT_FALSE(ItemVerdict::fromStatus(StatusRunning).has_value());
}

TEST_F(ItemVerdictTest, MultiItemWinnersPage)
{
    const QString winner = endedMultiItem(true);
    const QString loser = endedMultiItem(false);
    // A multi-item page shows no high bidder: only the winners' page can tell.
    CBidItem* won = endedItem(winner, QString(), true);
    CBidItem* lost = endedItem(loser, QString(), true);

    EXPECT_EQ(decide(winner), Verdict::Won);
    EXPECT_EQ(won->highBidders(), "practice_user");
    EXPECT_EQ(decide(loser), Verdict::Lost);
    EXPECT_EQ(lost->status(), StatusLost);
}

TEST_F(ItemVerdictTest, ItemDeletedWhileTheWinnersPageLoads)
{
    const QString id = endedMultiItem(true);
    endedItem(id, QString(), true);
    control("POST", "/faults",
            R"({"page":"ViewBidsDutchHighBidder","kind":"delay","delayMs":1500})");

    ItemsLockGuard guard(lock());
    // Gets the lock only if decide() lets it go for the download.
    bool deleted = false;
    std::thread deleter([&] {
        ItemsLockGuard other(lock(), 20000);
        if (other.isHeld()) {
            doc().deleteItem(doc().itemById(id));
            deleted = true;
        }
    });
    const std::optional<Verdict> verdict =
        ItemVerdict::decide(doc(), id, BuildSiteProfile(), guard);
    deleter.join();

    EXPECT_TRUE(deleted);
    EXPECT_TRUE(guard.isHeld());
    EXPECT_FALSE(verdict.has_value());
    EXPECT_EQ(doc().itemById(id), nullptr);
}
