// Proxy bidding with the increment tables, multi-item and fixed-price listings, scripted
// competing bidders and the determinism of scripts.

#include "auction.h"
#include "auctionhouse.h"
#include "bidincrement.h"
#include "defaultscript.h"
#include "json.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

namespace {

Auction makeAuction(const std::string& site, int64_t start,
                    Auction::Kind kind = Auction::Kind::Single, int quantity = 1)
{
    Auction::Listing l;
    l.item = 1;
    l.site = site;
    l.kind = kind;
    l.startCents = start;
    l.quantity = quantity;
    l.endTime = 1000;
    return Auction(l);
}

using R = Auction::Result;

} // namespace

TEST(BidIncrementTest, BandsIncludeBothLimitsPerSite)
{
    EXPECT_EQ(BidIncrement::forPrice("de", 80), 50); // below the first band
    EXPECT_EQ(BidIncrement::forPrice("de", 4999), 50);
    EXPECT_EQ(BidIncrement::forPrice("de", 5000), 100);
    EXPECT_EQ(BidIncrement::forPrice("de", 499999), 1000);
    EXPECT_EQ(BidIncrement::forPrice("de", 500000), 5000);
    EXPECT_EQ(BidIncrement::forPrice("at", 5000), 100);
    EXPECT_EQ(BidIncrement::forPrice("ch", 50000), 500);

    EXPECT_EQ(BidIncrement::forPrice("us", 99), 5);
    EXPECT_EQ(BidIncrement::forPrice("us", 100), 25);
    EXPECT_EQ(BidIncrement::forPrice("us", 2499), 50);
    EXPECT_EQ(BidIncrement::forPrice("us", 2500), 100);
    EXPECT_EQ(BidIncrement::forPrice("us", 250000), 5000);
    EXPECT_EQ(BidIncrement::forPrice("us", 500000), 10000);
    EXPECT_EQ(BidIncrement::forPrice("au", 100), 25);

    EXPECT_EQ(BidIncrement::forPrice("uk", 100), 5);
    EXPECT_EQ(BidIncrement::forPrice("uk", 101), 20);
    EXPECT_EQ(BidIncrement::forPrice("uk", 300000), 5000);
    EXPECT_EQ(BidIncrement::forPrice("uk", 300001), 10000);

    EXPECT_EQ(BidIncrement::forPrice("fr", 100000), 50);
}

TEST(ProxyBiddingTest, NewLeaderPaysOneIncrementOverTheOldMaximum)
{
    Auction a = makeAuction("us", 100);
    EXPECT_EQ(a.minimumBid(), 100);
    EXPECT_EQ(a.placeBid("anna", 800, 1, 10), R::HighBidder);
    EXPECT_EQ(a.currentPrice(), 100); // a lone bidder pays the starting bid
    EXPECT_EQ(a.minimumBid(), 125);   // 1.00 + 0.25 (US band 1.00 - 4.99)
    EXPECT_EQ(a.placeBid("bert", 1200, 1, 20), R::HighBidder);
    EXPECT_EQ(a.currentPrice(), 850); // 8.00 + 0.50
    EXPECT_EQ(a.highBidder(), "bert");
    EXPECT_EQ(a.bidCount(), 2);
}

TEST(ProxyBiddingTest, LeaderKeepsTheLeadAgainstALowerOrEqualBid)
{
    Auction a = makeAuction("de", 100);
    a.placeBid("anna", 2000, 1, 10);
    EXPECT_EQ(a.placeBid("bert", 1000, 1, 20), R::Outbid);
    EXPECT_EQ(a.currentPrice(), 1050); // German band 1.00 - 49.99 adds 0.50
    EXPECT_EQ(a.placeBid("carl", 2000, 1, 30), R::Outbid);
    EXPECT_EQ(a.currentPrice(), 2000); // a tie goes to the earlier bid, at its amount
    EXPECT_EQ(a.highBidder(), "anna");
}

TEST(ProxyBiddingTest, BidsBelowTheMinimumOrTheOwnMaximumAreRefused)
{
    Auction a = makeAuction("us", 2400);
    a.placeBid("anna", 2400, 1, 10);
    EXPECT_EQ(a.minimumBid(), 2450);
    EXPECT_EQ(a.placeBid("bert", 2449, 1, 11), R::BelowMinimum);
    EXPECT_EQ(a.placeBid("anna", 2400, 1, 12), R::NotAboveOwnMaximum);
    EXPECT_EQ(a.placeBid("anna", 3000, 1, 13), R::RaisedMaximum);
    EXPECT_EQ(a.currentPrice(), 2400); // raising the own maximum does not raise the price
    // The answer to 26.00 crosses into the 1.00 band: 26.00 + 1.00.
    EXPECT_EQ(a.placeBid("bert", 2600, 1, 14), R::Outbid);
    EXPECT_EQ(a.currentPrice(), 2700);
    EXPECT_EQ(a.toJson(15).at("rejected").size(), 2u);
}

TEST(ProxyBiddingTest, ScriptedBidsArriveAtTheirTimeAndNotAfterTheEnd)
{
    Auction a = makeAuction("us", 1000);
    a.schedule({"rival", 3000, 1, 970, 0, {}}); // 30 s before the end
    a.schedule({"late", 9000, 1, 1001, 0, {}});
    EXPECT_EQ(a.placeBid("user", 4000, 1, 900), R::HighBidder);
    EXPECT_EQ(a.currentPrice(), 1000);
    a.advanceTo(980);
    EXPECT_EQ(a.highBidder(), "user");
    EXPECT_EQ(a.currentPrice(), 3100); // the rival's 30.00 answered with one increment
    // The user's bid that comes after the rival's time sees the rival's bid first.
    Auction b = makeAuction("us", 1000);
    b.schedule({"rival", 3000, 1, 970, 0, {}});
    EXPECT_EQ(b.placeBid("user", 2500, 1, 990), R::Outbid);
    EXPECT_EQ(b.placeBid("user", 5000, 1, 1000), R::Ended);
    a.advanceTo(2000);
    EXPECT_TRUE(a.ended(2000));
    EXPECT_EQ(a.highBidder(), "user");
    EXPECT_EQ(a.toJson(2000).at("rejected").at(0).at("reason").get<std::string>(),
              "arrived after the end");
}

TEST(ProxyBiddingTest, RetractionRecomputesThePrice)
{
    Auction a = makeAuction("us", 100);
    a.placeBid("anna", 500, 1, 1);
    a.placeBid("bert", 1000, 1, 2);
    EXPECT_EQ(a.currentPrice(), 550);
    EXPECT_TRUE(a.retract("bert", 3));
    EXPECT_EQ(a.highBidder(), "anna");
    EXPECT_EQ(a.currentPrice(), 100);
    EXPECT_FALSE(a.retract("bert", 4));
    EXPECT_FALSE(a.retract("anna", 1000)); // too late
}

TEST(MultiItemTest, HighestBidsWinAndAllPayTheLowestWinningBid)
{
    Auction a = makeAuction("us", 300, Auction::Kind::Dutch, 3);
    EXPECT_EQ(a.placeBid("anna", 400, 2, 1), R::HighBidder);
    EXPECT_EQ(a.currentPrice(), 300); // not all items spoken for yet
    EXPECT_EQ(a.minimumBid(), 300);
    EXPECT_EQ(a.placeBid("bert", 350, 1, 2), R::HighBidder);
    EXPECT_EQ(a.currentPrice(), 350);
    EXPECT_EQ(a.minimumBid(), 375);
    EXPECT_EQ(a.placeBid("carl", 500, 2, 3), R::HighBidder);
    const auto winners = a.winners();
    ASSERT_EQ(winners.size(), 2u);
    EXPECT_EQ(winners[0].bidder, "carl");
    EXPECT_EQ(winners[1].bidder, "anna");
    EXPECT_EQ(winners[1].quantity, 1); // anna keeps one of her two
    EXPECT_EQ(a.currentPrice(), 400);
    EXPECT_EQ(a.placeBid("dora", 300, 4, 4), R::BadQuantity);
}

TEST(FixedPriceTest, PurchasesCountDownAndTheLastOneEndsTheListing)
{
    Auction a = makeAuction("de", 1990, Auction::Kind::FixedPrice, 2);
    EXPECT_EQ(a.placeBid("anna", 5000, 1, 1), R::WrongKind);
    EXPECT_EQ(a.buy("anna", 3, 1), R::BadQuantity);
    EXPECT_EQ(a.buy("anna", 1, 2), R::Bought);
    EXPECT_FALSE(a.ended(3));
    EXPECT_EQ(a.buy("bert", 1, 4), R::Bought);
    EXPECT_TRUE(a.ended(4));
    EXPECT_EQ(a.highBidder(), "bert");
    EXPECT_EQ(a.buy("carl", 1, 5), R::Ended);
}

TEST(ScriptTest, TheSameScriptGivesTheSameListings)
{
    AuctionHouse first;
    AuctionHouse second;
    first.load(Json::parse(DefaultScript::text()), 1.7e9);
    second.load(Json::parse(DefaultScript::text()), 1.7e9);
    ASSERT_EQ(first.auctions().size(), 20u);
    for (size_t i = 0; i < first.auctions().size(); ++i)
        EXPECT_EQ(first.auctions()[i]->toJson(1.7e9).dump(),
                  second.auctions()[i]->toJson(1.7e9).dump());
    const Auction* won = first.find(3000000003);
    ASSERT_NE(won, nullptr);
    EXPECT_TRUE(won->ended(1.7e9));
    EXPECT_EQ(won->highBidder(), AuctionHouse::kDefaultUser);
    EXPECT_EQ(won->currentPrice(), 550);
}

TEST(ScriptTest, ABadScriptIsRefusedWholeAndNamesTheField)
{
    AuctionHouse house;
    house.load(Json::parse(R"({"auctions":[{"item":"5000000001"}]})"), 100);
    try {
        house.load(Json::parse(R"({"auctions":[{"title":"ok"},{"startPrice":"x"}]})"), 100);
        FAIL() << "accepted a bad amount";
    } catch (const std::invalid_argument& e) {
        EXPECT_NE(std::string(e.what()).find("auctions[1]"), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find("startPrice"), std::string::npos) << e.what();
    }
    ASSERT_EQ(house.auctions().size(), 1u);
    EXPECT_EQ(house.auctions()[0]->listing().item, 5000000001u);
}
