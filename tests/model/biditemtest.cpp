#include "model/biditem.h"
#include "model/bidcells.h"
#include "model/timespan.h"
#include "modelfixture.h"
#include "sites/endtimeparser.h"

#include <limits>

TEST_F(ModelTest, NewAndResetItemsTakeTheDefaults)
{
    CBidItem item;
    EXPECT_EQ(item.status(), StatusActive);
    EXPECT_EQ(item.quantity(), -1);
    EXPECT_EQ(item.availableQuantity(), 1);
    EXPECT_EQ(item.sellerRating1(), "-");
    EXPECT_EQ(item.sellerRating2(), "-");
    EXPECT_EQ(item.endTime(), kNow);
    EXPECT_EQ(item.lastRefreshTime(), kNow);
    EXPECT_TRUE(item.shutdownArmed());
    EXPECT_FALSE(item.isEnded() || item.isRefreshed() || item.isPrivate() || item.isMultiItem());

    item.setId("1234567890");
    item.setStatus(StatusWon);
    item.setTitle("Camera");
    item.setMaxPrice(12.5f);
    item.setShutdownArmed(false);
    item.setRetractionDone(true);
    item.reset();
    EXPECT_EQ(item.id(), "1234567890");
    EXPECT_EQ(item.status(), StatusActive);
    EXPECT_TRUE(item.title().isEmpty());
    EXPECT_EQ(item.maxPrice(), 0.0f);
    EXPECT_TRUE(item.shutdownArmed());
    EXPECT_FALSE(item.retractionDone());
}

TEST_F(ModelTest, StatusTextsAndReadyMark)
{
    EXPECT_EQ(CBidItem::statusText(StatusNotActive), "Not active");
    EXPECT_EQ(CBidItem::statusText(StatusRunningOutbid), "Running / outbidded");
    EXPECT_EQ(CBidItem::statusText(StatusError), "Item not found/Site unavailable/Other error");
    EXPECT_TRUE(CBidItem::statusText(11).isEmpty());

    CBidItem item;
    item.setStatus(StatusActiveOutbid);
    item.setReadyMark(true);
    EXPECT_EQ(item.statusWord(), 0x82u);
    EXPECT_EQ(item.status(), StatusActiveOutbid);
    item.setReadyMark(false);
    EXPECT_EQ(item.statusWord(), quint32(StatusActiveOutbid));
}

TEST_F(ModelTest, HighBidderMatchesWholeNamesOnly)
{
    CBidItem item;
    item.setHighBidders("alice; Buyer ;carol");
    EXPECT_TRUE(item.isHighBidder("buyer"));
    EXPECT_TRUE(item.isHighBidder("CAROL"));
    EXPECT_FALSE(item.isHighBidder("buy"));
    EXPECT_FALSE(item.isHighBidder(""));
    item.setHighBidders("");
    EXPECT_FALSE(item.isHighBidder("")); // no user name never wins an auction
    item.setHighBidders("buyer2");
    EXPECT_FALSE(item.isHighBidder("buyer"));
}

TEST_F(ModelTest, StartIsDueStrictlyAfterEndMinusStartBefore)
{
    CBidItem item;
    item.setEndTime(1000);
    EXPECT_FALSE(item.isStartDue(940, 60));
    EXPECT_TRUE(item.isStartDue(941, 60));
}

TEST_F(ModelTest, OutbidRuleMovesActiveAndRunningBothWays)
{
    CBidItem item;
    item.setId("1234567890");
    item.setMaxPrice(10.0f);
    item.setCurrentPrice(12.0f);
    item.setHighBidders("buyer2"); // starts with the user's name but is someone else
    EXPECT_TRUE(item.applyOutbidRule("buyer").isEmpty());
    EXPECT_EQ(item.status(), StatusActiveOutbid);
    EXPECT_EQ(item.highestSeenPrice(), 12.0f);

    item.setHighBidders("BUYER");
    item.applyOutbidRule("buyer");
    EXPECT_EQ(item.status(), StatusActive);

    item.setStatus(StatusRunning);
    item.setReadyMark(true);
    item.setHighBidders("rival");
    EXPECT_EQ(item.applyOutbidRule("buyer"),
              "Message for bid #1234567890.  Your maximum price entered is already below the "
              "required minimum bid for this item.");
    EXPECT_EQ(item.status(), StatusRunningOutbid);
    EXPECT_TRUE(item.hasReadyMark());
    item.setMaxPrice(20.0f);
    item.applyOutbidRule("buyer");
    EXPECT_EQ(item.status(), StatusRunning);
}

TEST_F(ModelTest, OutbidRuleSkipsMultiItemPricesAndEndedItems)
{
    CBidItem multi;
    multi.setMultiItem(true);
    multi.setCurrentPrice(50.0f);
    multi.setMaxPrice(10.0f);
    multi.applyOutbidRule("buyer");
    EXPECT_EQ(multi.highestSeenPrice(), 0.0f);
    EXPECT_EQ(multi.status(), StatusActive);

    CBidItem ended;
    ended.setEnded(true);
    ended.setCurrentPrice(50.0f);
    ended.applyOutbidRule("buyer");
    EXPECT_EQ(ended.highestSeenPrice(), 0.0f);
    EXPECT_EQ(ended.status(), StatusActive);
}

TEST_F(ModelTest, VerdictWonPrivateOrLost)
{
    CBidItem item;
    item.setHighBidders("Buyer");
    item.decideVerdict("buyer");
    EXPECT_EQ(item.status(), StatusWon);
    EXPECT_EQ(item.highBidders(), "buyer");
    EXPECT_TRUE(item.isEnded());

    CBidItem hidden;
    hidden.setPrivate(true);
    hidden.decideVerdict("buyer");
    EXPECT_EQ(hidden.status(), StatusPrivate);

    CBidItem lost;
    lost.setHighBidders("rival");
    lost.decideVerdict("buyer");
    EXPECT_EQ(lost.status(), StatusLost);
    lost.decideVerdict("buyer", true); // on the site's list of multi-item winners
    EXPECT_EQ(lost.status(), StatusWon);
}

TEST(TimeSpan, FormatsEachCodeAndCopiesTheRest)
{
    const qint64 span = 3 * 86400 + 4 * 3600 + 5 * 60 + 6;
    EXPECT_EQ(FormatTimeSpan(span, "%D|%H:%M:%S|%%|%X|%"), "3|04:05:06|%|%X|%");
    EXPECT_EQ(FormatTimeSpan(-61, "%M:%S"), "01:01");
    EXPECT_EQ(FormatTimeSpan(std::numeric_limits<qint64>::min(), "%S"), "08");
}

TEST_F(ModelTest, ListCellsOnTheGermanSite)
{
    CBidItem item;
    item.setId("0123456789");
    item.setCurrentPrice(1234.5f);
    item.setMaxPrice(20.0f);
    item.setCurrency("EUR ");
    item.setSeller("shop");
    item.setSellerRating1("120");
    item.setEndTime(kNow + 86400 + 2 * 3600 + 3 * 60 + 4);
    const BidCells::Context context = BidCells::Context::current();
    EXPECT_EQ(context.conventions.decimalPointer, QChar(','));
    EXPECT_EQ(BidCells::text(item, BidCells::ColumnId, context), "0123456789");
    EXPECT_EQ(BidCells::text(item, BidCells::ColumnCount, context), "");
    EXPECT_EQ(BidCells::text(item, BidCells::ColumnCurrentPrice, context), "EUR 1234,50");
    EXPECT_EQ(BidCells::text(item, BidCells::ColumnMaxPrice, context), "20,00");
    EXPECT_EQ(BidCells::text(item, BidCells::ColumnSeller, context), "shop (120/-)");
    EXPECT_EQ(BidCells::text(item, BidCells::ColumnTimeLeft, context), "1 day (s) 02:03:04");
    EXPECT_EQ(BidCells::text(item, BidCells::ColumnEndTime, context),
              FormatEndTime(item.endTime()));
    EXPECT_EQ(BidCells::text(item, 12, context), "");
    EXPECT_EQ(BidCells::columnTitle(6), "Time ends (eBay®)");

    item.setEndTime(kNow - 1);
    EXPECT_EQ(BidCells::text(item, BidCells::ColumnTimeLeft, context), "0 day (s) 00:00:00");
    item.setEndTime(std::numeric_limits<qint64>::min());
    EXPECT_EQ(BidCells::text(item, BidCells::ColumnTimeLeft, context), "0 day (s) 00:00:00");

    item.setMultiItem(true);
    item.setQuantity(3);
    item.setMultiItemPriceText("EUR 2,00 - 3,00");
    EXPECT_EQ(BidCells::text(item, BidCells::ColumnCount, context), "3");
    EXPECT_EQ(BidCells::text(item, BidCells::ColumnCurrentPrice, context), "EUR 2,00 - 3,00");

    BidCells::Context french{SiteConventions::builtIn("www.ebay.fr"), kNow};
    item.setMultiItemPriceText("");
    item.setCurrency(" EUR");
    EXPECT_EQ(BidCells::text(item, BidCells::ColumnCurrentPrice, french), "1234,50 EUR");
}
