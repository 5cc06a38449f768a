#include "app/stringtable.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

TEST(StringTableTest, StatusNamesFollowStatusCodes)
{
    const char* const names[] = {"Not active",
                                 "Active",
                                 "Active / outbidded",
                                 "Running",
                                 "Running / outbidded",
                                 "Stopped",
                                 "Closed (bids retracted)",
                                 "Won",
                                 "Lost",
                                 "Private",
                                 "Item not found/Site unavailable/Other error"};
    for (int status = 0; status <= 10; ++status) {
        EXPECT_EQ(StringTable::statusText(status), QString::fromUtf8(names[status])) << status;
        EXPECT_EQ(StringTable::text(142 + status), StringTable::statusText(status));
    }
}

TEST(StringTableTest, KeepsSpecialCharactersExactly)
{
    // Non-ASCII text must come through as UTF-8, not Latin-1.
    const QString clock = StringTable::text(132);
    EXPECT_EQ(clock.size(), 12);
    EXPECT_EQ(clock.at(4), QChar(0x00AE));
    EXPECT_EQ(StringTable::text(162), QString::fromUtf8("Time ends (eBay\u00AE)"));

    EXPECT_EQ(StringTable::text(263),
              QStringLiteral("Are you sure you wish to cancel this wizard?\n\n"
                             "You can always re-launch this wizard by going "
                             "to \"Tools\" menu."));
    EXPECT_EQ(
        StringTable::text(413),
        QStringLiteral("status              \tid        \tcurrent price\tbidder\t\tseller\r\n"));
    EXPECT_EQ(StringTable::text(405),
              QStringLiteral("You have won the auction #%s. The final price is %.2f %s.\r\n"));
    EXPECT_EQ(StringTable::text(359), QStringLiteral("Stop && Retract bids"));
    EXPECT_EQ(StringTable::text(288), QStringLiteral("%1 from %2"));
    // Callers append further text directly after these.
    EXPECT_EQ(StringTable::text(179), QStringLiteral("Message for bid #%s. "));
    EXPECT_EQ(StringTable::text(410), QStringLiteral("link to item: "));
}

TEST(StringTableTest, FindsEntriesAcrossTheWholeRange)
{
    // Lookups at both ends and in between catch an unsorted table or a broken search.
    EXPECT_EQ(StringTable::text(132), QString::fromUtf8("eBay\u00AE time :"));
    EXPECT_EQ(StringTable::text(140), QStringLiteral("Open auctions"));
    EXPECT_EQ(StringTable::text(167), QStringLiteral("Shipping costs"));
    EXPECT_EQ(StringTable::text(283), QStringLiteral("Close"));
    EXPECT_EQ(StringTable::text(311), QStringLiteral("Retrieving the file"));
    EXPECT_EQ(StringTable::text(396), QStringLiteral("Zaru Vuzarovuz"));
    EXPECT_EQ(StringTable::text(462),
              QStringLiteral("new Settings %d.%.2d [0x%x], Vendra %d.%.2d [0x%x]"));
    EXPECT_EQ(StringTable::text(528), QStringLiteral("Bid #%s: ET_VIEWITEM."));
    EXPECT_EQ(StringTable::text(57344), QStringLiteral("Gavelin"));
}

TEST(StringTableTest, UnknownIdsGiveEmptyText)
{
    for (int id : {INT_MIN, -1, 0, 131, 133, 139, 155, 529, 57343, 57345, INT_MAX}) {
        EXPECT_TRUE(StringTable::text(id).isEmpty()) << id;
    }
}

} // namespace
