#include "web/itempageparser.h"
#include "app/stringtable.h"
#include "model/biditem.h"
#include "sites/siteprofile.h"
#include "sites/sitesettings.h"
#include "support/apphome.h"
#include "support/localzone.h"
#include "web/itempagereader.h"

#include <QStringList>
#include <gtest/gtest.h>

namespace {

QString page(const QStringList& lines)
{
    return lines.join(QStringLiteral("\r\n"));
}

QString u8(const char* text)
{
    return QString::fromUtf8(text);
}

const QStringList kEnglishAuction = {
    "category: Collectibles > Coins > US > Dollars",
    "Silver dollar 1921\tItem number: 3000000001",
    "Current bid:\tUS $1,012.50",
    "Time left:\t2 days",
    "Ends\tMar-15-06 18:25:30 PST",
    "History:3 bids (US $5.00 starting bid)",
    "Quantity:\t1",
    "High bidder:\tbuyer_one ( 12 )",
    "Shipping costs:\tUS $4.00 -- Standard Flat Rate Shipping",
    "Seller information\tcoin_shop ( 150 )",
    "Feedback Score:\t(150)",
    "Positive Feedback:\t99.5%",
    "Ready to bid?",
    "Enter US $1,025.00 or more",
};

class ItemPageParserTest : public ::testing::Test
{
protected:
    void useSite(const QString& site)
    {
        m_sites.load(m_home.app().machineRegistry(), site);
        m_profile = m_sites.profile();
    }

    bool parse(const QStringList& lines) { return parseText(page(lines)); }
    bool parseText(const QString& text)
    {
        m_error.clear();
        return ParseItemPage(m_item, text, m_profile, m_minBid, m_error);
    }
    static QStringList replaced(QStringList lines, const QString& startsWith, const QString& line)
    {
        for (QString& l : lines) {
            if (l.startsWith(startsWith))
                l = line;
        }
        lines.removeAll(QString());
        return lines;
    }
    static QString formatError(const char* tag) { return StringTable::text(204) + tag; }

    LocalZone m_zone;
    AppHome m_home;
    SiteSettings m_sites;
    SiteProfile m_profile;
    CBidItem m_item;
    float m_minBid = 0.0f;
    QString m_error;
    const qint64 m_march15 = LocalZone::utc(2006, 3, 15, 17, 25, 30);
};

} // namespace

TEST_F(ItemPageParserTest, EnglishRunningAuctionFillsEveryField)
{
    useSite("www.ebay.com");
    ASSERT_TRUE(parse(kEnglishAuction)) << m_error.toStdString();
    EXPECT_TRUE(m_error.isEmpty());
    EXPECT_EQ(m_item.category(), "Collectibles >...> Dollars");
    // The line before the number is the category, so the title shares the number's line.
    EXPECT_EQ(m_item.title(), "Silver dollar 1921");
    EXPECT_EQ(m_item.id(), "3000000001");
    EXPECT_EQ(m_item.currency(), "US $");
    EXPECT_FLOAT_EQ(m_item.currentPrice(), 1012.5f);
    EXPECT_FALSE(m_item.isBuyItNow());
    EXPECT_EQ(m_item.endTime(), m_march15);
    EXPECT_EQ(m_item.bids(), "3");
    EXPECT_EQ(m_item.startingBid(), "US $5.00");
    EXPECT_EQ(m_item.shippingCosts(), "US $4.00");
    EXPECT_EQ(m_item.availableQuantity(), 1);
    EXPECT_FALSE(m_item.isMultiItem());
    EXPECT_EQ(m_item.highBidders(), "buyer_one");
    EXPECT_FALSE(m_item.isPrivate());
    EXPECT_EQ(m_item.seller(), "coin_shop");
    EXPECT_EQ(m_item.sellerRating1(), "150");
    EXPECT_EQ(m_item.sellerRating2(), "99.5%");
    EXPECT_FALSE(m_item.isEnded());
    EXPECT_FLOAT_EQ(m_minBid, 1025.0f);
    EXPECT_FLOAT_EQ(m_item.highestSeenPrice(), 1025.0f);
}

TEST_F(ItemPageParserTest, EmptyAndInvalidPages)
{
    useSite("www.ebay.com");
    m_item.setTitle("kept");
    m_item.setHighBidders("someone");
    EXPECT_FALSE(parseText(QString()));
    EXPECT_EQ(m_error, "Body is empty, error!!!");
    EXPECT_EQ(m_item.title(), "kept");
    EXPECT_EQ(m_item.highBidders(), "someone");

    // The invalid-item text wins whatever else the page holds.
    QStringList lines = kEnglishAuction;
    lines.append("Invalid Item");
    EXPECT_FALSE(parse(lines));
    EXPECT_EQ(m_error, StringTable::text(232));
    EXPECT_EQ(m_item.status(), StatusLost);
    EXPECT_TRUE(m_item.isEnded());

    // Empty lines do not count: a page of line breaks has no item number.
    EXPECT_FALSE(parseText("\r\n\r\n\r\n"));
    EXPECT_EQ(m_error, formatError(" [Error in _keyWord_ItemID]"));
}

TEST_F(ItemPageParserTest, CurrentBidBeatsFixedPriceAndFixedPriceIsBuyItNow)
{
    useSite("www.ebay.com");
    QStringList both = kEnglishAuction;
    both.insert(2, "Price:\tUS $99.00");
    ASSERT_TRUE(parse(both));
    EXPECT_FALSE(m_item.isBuyItNow());
    EXPECT_FLOAT_EQ(m_item.currentPrice(), 1012.5f);

    // A fixed-price page without an end time keeps the end time the item had and stops
    // before the minimum bid.
    m_item.setEndTime(12345);
    m_minBid = -1.0f;
    QStringList fixed = replaced(kEnglishAuction, "Current bid:", "Price:\tUS $99.00");
    fixed = replaced(fixed, "Ends", QString());
    ASSERT_TRUE(parse(fixed)) << m_error.toStdString();
    EXPECT_TRUE(m_item.isBuyItNow());
    EXPECT_FLOAT_EQ(m_item.currentPrice(), 99.0f);
    EXPECT_FLOAT_EQ(m_item.maxPrice(), 99.0f);
    EXPECT_EQ(m_item.endTime(), 12345);
    EXPECT_FLOAT_EQ(m_minBid, -1.0f);
    EXPECT_TRUE(m_error.isEmpty());
}

TEST_F(ItemPageParserTest, GermanAndFrenchPrices)
{
    useSite("www.ebay.de");
    const QStringList german = {
        u8("Kategorie: Münzen > Deutschland > Mark"),
        u8("Silbermünze 5 Mark 1975"),
        "Artikelnummer:\t3000000011",
        "Aktuelles Gebot:\tEUR 1.234,50",
        "Angebot endet:\t15.03.06 18:25:30 MEZ",
        u8("Gebotsübersicht:2 Gebote (EUR 1,00 Startpreis)"),
        "Menge:\t1",
        u8("Höchstbietender:\tbieter_eins"),
        "Versandkosten:\tEUR 4,90 -- Standardversand",
        "Angaben zum\tmuenzhandel ( 80 )",
        "Bewertungsprofil:\t(80)",
        "Positive Bewertungen:\t99,1%",
        "Geben Sie mindestens EUR 1.235,50 ein.",
    };
    ASSERT_TRUE(parse(german)) << m_error.toStdString();
    EXPECT_EQ(m_item.title(), u8("Silbermünze 5 Mark 1975"));
    EXPECT_EQ(m_item.category(), u8("Münzen >...> Mark"));
    EXPECT_EQ(m_item.currency(), "EUR ");
    EXPECT_FLOAT_EQ(m_item.currentPrice(), 1234.5f);
    EXPECT_EQ(m_item.endTime(), m_march15);
    EXPECT_EQ(m_item.bids(), "2");
    EXPECT_EQ(m_item.startingBid(), "EUR 1,00");
    EXPECT_EQ(m_item.highBidders(), "bieter_eins");
    EXPECT_EQ(m_item.seller(), "muenzhandel");
    EXPECT_FLOAT_EQ(m_minBid, 1235.5f);

    // The French site writes the amount first; its currency keeps the space before it.
    useSite("www.ebay.fr");
    QStringList french = replaced(german, "Aktuelles Gebot:", "Aktuelles Gebot:\t12,50 EUR");
    ASSERT_TRUE(parse(french)) << m_error.toStdString();
    EXPECT_FLOAT_EQ(m_item.currentPrice(), 12.5f);
    EXPECT_EQ(m_item.currency(), " EUR");
}

// The profile alone decides how a page reads: the browser and the search hand in pages of
// sites other than the current one.
TEST_F(ItemPageParserTest, PageReadsWithItsProfileWhateverTheCurrentSite)
{
    Registry& machine = m_home.app().machineRegistry();
    useSite("www.ebay.com");
    const SiteProfile english = m_profile;
    useSite("www.ebay.de");
    const SiteProfile german = m_profile;
    const QStringList germanPage = {
        "Kategorie: Uhren",
        "Taschenuhr",
        "Artikelnummer:\t3000000018",
        "Aktuelles Gebot:\tEUR 1.234,50",
        u8("Angebot endet:\t15. Mär. 2006 18:25:30 MEZ"),
        "Angaben zum\tuhrmacher ( 80 )",
        "Geben Sie mindestens EUR 1.235,50 ein.",
    };

    for (const char* current : {"www.ebay.com", "www.ebay.de"}) {
        SCOPED_TRACE(current);
        m_sites.setCurrentSite(current, machine);
        m_profile = english;
        m_item = CBidItem();
        ASSERT_TRUE(parse(kEnglishAuction)) << m_error.toStdString();
        EXPECT_EQ(m_item.endTime(), m_march15);
        EXPECT_FLOAT_EQ(m_item.currentPrice(), 1012.5f);

        m_profile = german;
        m_item = CBidItem();
        ASSERT_TRUE(parse(germanPage)) << m_error.toStdString();
        EXPECT_EQ(m_item.endTime(), m_march15);
        EXPECT_FLOAT_EQ(m_item.currentPrice(), 1234.5f);
        EXPECT_FLOAT_EQ(m_minBid, 1235.5f);
    }

    // Nor does the current site's end-time pattern reach another site's page.
    machine.writeStr("Sites", "www.ebay.de_KeyWord_TimeReg", "(never)");
    m_profile = english;
    m_profile.conventions.months.clear();
    ASSERT_TRUE(parse(replaced(kEnglishAuction, "Ends", "Ends\t15.03.06 18:25:30 PST")));
    EXPECT_EQ(m_item.endTime(), m_march15);
}

TEST_F(ItemPageParserTest, MultiItemAndPrivateBidders)
{
    useSite("www.ebay.com");
    QStringList multi = replaced(kEnglishAuction, "Quantity:", "Quantity:\t3 available");
    m_item.setMultiItemPriceText("US $3.00");
    ASSERT_TRUE(parse(multi));
    EXPECT_EQ(m_item.availableQuantity(), 3);
    EXPECT_TRUE(m_item.isMultiItem());
    // One high bidder per lot: the single name means nothing on a multi-item auction.
    EXPECT_EQ(m_item.highBidders(), "-");
    EXPECT_TRUE(m_item.multiItemPriceText().isEmpty());

    m_item = CBidItem();
    m_item.setMultiItemPriceText("US $3.00");
    QStringList hidden = replaced(multi, "High bidder:", "High bidder:\tUser ID kept private");
    ASSERT_TRUE(parse(hidden));
    EXPECT_TRUE(m_item.isPrivate());
    EXPECT_EQ(m_item.highBidders(), "User ID kept private");
    EXPECT_EQ(m_item.multiItemPriceText(), "US $3.00");

    // A huge quantity is held at the largest count rather than wrapping round.
    ASSERT_TRUE(parse(replaced(kEnglishAuction, "Quantity:", "Quantity: 99999999999999999999")));
    EXPECT_EQ(m_item.availableQuantity(), 2147483647);
}

TEST_F(ItemPageParserTest, NamesAndRatingsWithoutBrackets)
{
    useSite("www.ebay.com");
    QStringList lines =
        replaced(kEnglishAuction, "Seller information", "Seller information   plain seller  ");
    lines = replaced(lines, "Feedback Score:", "Feedback Score: none");
    lines = replaced(lines, "High bidder:", QString());
    ASSERT_TRUE(parse(lines));
    EXPECT_EQ(m_item.seller(), "plain seller");
    EXPECT_EQ(m_item.sellerRating1(), "-");
    // No high-bidder line: a running auction shows "-".
    EXPECT_EQ(m_item.highBidders(), "-");

    lines = replaced(lines, "Feedback Score:", "Feedback Score:  ( 17 (new) ) ");
    lines = replaced(lines, "Positive Feedback:", QString());
    ASSERT_TRUE(parse(lines));
    EXPECT_EQ(m_item.sellerRating1(), "17 (new)");
    EXPECT_EQ(m_item.sellerRating2(), "-");
}

TEST_F(ItemPageParserTest, MissingMinimumBidIsNotAFailure)
{
    useSite("www.ebay.com");
    ASSERT_TRUE(parse(replaced(kEnglishAuction, "Enter", QString())));
    EXPECT_EQ(m_error, formatError(" [Error in _keyWord_MinBid]"));
    EXPECT_EQ(m_item.seller(), "coin_shop");

    ASSERT_TRUE(parse(replaced(kEnglishAuction, "Enter", "Enter your bid")));
    EXPECT_EQ(m_error, formatError(" [incorrect minbid]"));
}

TEST_F(ItemPageParserTest, EachMissingLineFailsWithItsTagAndKeepsEarlierFields)
{
    useSite("www.ebay.com");
    struct Case
    {
        const char* startsWith;
        const char* line;
        const char* tag;
    };
    const Case cases[] = {
        {"Silver dollar", "", " [Error in _keyWord_ItemID]"},
        {"Current bid:", "", " [Error in _keyWord_CurPrice|_keyWord_ShopPrice]"},
        {"Current bid:", "Current bid: to follow", " [incorrect price]"},
        // Digits the price scanner cannot read are no price either.
        {"Current bid:", "Current bid: US $\u0661\u0662", " [incorrect price]"},
        {"Ends", "", " [Error in _keyWord_EndTime]"},
        {"Quantity:", "Quantity: several", " [incorrect quantity]"},
        {"Seller information", "", " [Error in _keyWord_SellerName]"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.tag);
        m_item = CBidItem();
        EXPECT_FALSE(parse(replaced(kEnglishAuction, c.startsWith, c.line)));
        EXPECT_EQ(m_error, formatError(c.tag));
        EXPECT_EQ(m_item.category(), "Collectibles >...> Dollars");
    }
    // The seller step comes after the price: a page without a seller still read its price.
    EXPECT_FLOAT_EQ(m_item.currentPrice(), 1012.5f);
}

TEST_F(ItemPageParserTest, TitleAndCategoryNeighbours)
{
    useSite("www.ebay.com");
    // A title the user typed survives the page.
    m_item.setTitle("my title");
    m_item.setMarkedTitle(true);
    ASSERT_TRUE(parse(kEnglishAuction));
    EXPECT_EQ(m_item.title(), "my title");

    // The item number on the first line: no title to take, nothing breaks.
    m_item = CBidItem();
    m_item.setTitle("old");
    QStringList first = kEnglishAuction.mid(1);
    ASSERT_TRUE(parse(first));
    EXPECT_EQ(m_item.title(), "old");
    EXPECT_EQ(m_item.category(), "...");

    // "Item #" layout: title above the number, category below it, even for a typed title.
    m_profile.keyWordItemID = "Item #";
    m_item = CBidItem();
    m_item.setMarkedTitle(true);
    m_item.setTitle("typed");
    QStringList hash = kEnglishAuction;
    hash[1] = "Pocket watch";
    hash.insert(2, "Item # 3000000019");
    hash.insert(3, "Watches");
    ASSERT_TRUE(parse(hash)) << m_error.toStdString();
    EXPECT_EQ(m_item.title(), "typed");
    EXPECT_EQ(m_item.category(), "Watches");
    EXPECT_EQ(m_item.id(), "3000000019");
    // ...and with the number on the last line the category stays as read.
    m_item = CBidItem();
    QStringList last = kEnglishAuction;
    last.removeAt(1);
    last.append("Item # 3000000019");
    ASSERT_TRUE(parse(last)) << m_error.toStdString();
    EXPECT_EQ(m_item.title(), "Enter US $1,025.00 or more");
    EXPECT_EQ(m_item.category(), "Collectibles >...> Dollars");
}

TEST_F(ItemPageParserTest, CategoryShapes)
{
    useSite("www.ebay.com");
    ASSERT_TRUE(parse(replaced(kEnglishAuction, "category:", "category: Books ")));
    EXPECT_EQ(m_item.category(), "Books");
    // Parsing again does not grow it.
    ASSERT_TRUE(parse(replaced(kEnglishAuction, "category:", "category: Books ")));
    EXPECT_EQ(m_item.category(), "Books");
    ASSERT_TRUE(parse(replaced(kEnglishAuction, "category:", "category: Toys > Cars")));
    EXPECT_EQ(m_item.category(), "Toys >...> Cars");
    // An arrow before the colon.
    ASSERT_TRUE(parse(replaced(kEnglishAuction, "category:", "> category: Toys")));
    EXPECT_EQ(m_item.category(), "Toys");

    // An empty keyword is in every line, so the first line is the category line.
    m_profile.keyWordCategory.clear();
    ASSERT_TRUE(parse(kEnglishAuction));
    EXPECT_EQ(m_item.category(), "Collectibles >...> Dollars");
}

TEST_F(ItemPageParserTest, EndedAuctions)
{
    useSite("www.ebay.com");
    // The end flag is compared without spaces on both sides.
    QStringList ended = replaced(kEnglishAuction, "Time left:", "Bidding h as ende d.");
    m_minBid = -1.0f;
    ASSERT_TRUE(parse(ended));
    EXPECT_TRUE(m_item.isEnded());
    EXPECT_FLOAT_EQ(m_minBid, -1.0f);
    EXPECT_EQ(m_item.highBidders(), "buyer_one");

    // Without an end-time line, the end flag's line (when it holds the flag without its
    // spaces) gives the end time.
    ended = replaced(kEnglishAuction, "Ends", "Listing hasended Mar-15-06 18:25:30 PST");
    ASSERT_TRUE(parse(ended));
    EXPECT_TRUE(m_item.isEnded());
    EXPECT_EQ(m_item.endTime(), m_march15);

    // An unreadable end time is stored as 0.
    ASSERT_TRUE(parse(replaced(kEnglishAuction, "Ends", "Ends\tsoon")));
    EXPECT_EQ(m_item.endTime(), 0);
}

TEST(ItemPageReaderTest, DescriptionCut)
{
    const QString d = "Description";
    const QString r = "Ready to bid";
    EXPECT_EQ(ItemPageReader::cutDescription("a\r\nDescription\r\nx\r\nReady to bid?\r\nb", d, r),
              "a\r\nReady to bid?\r\nb");
    EXPECT_EQ(ItemPageReader::cutDescription("a Description x", d, r), "a ");
    // A ready-to-bid text before the description cuts nothing.
    EXPECT_EQ(ItemPageReader::cutDescription("Ready to bid Description x", d, r),
              "Ready to bid Description x");
    EXPECT_EQ(ItemPageReader::cutDescription("no keywords", d, r), "no keywords");
    EXPECT_EQ(ItemPageReader::cutDescription("Description x", QString(), r), "Description x");
}
