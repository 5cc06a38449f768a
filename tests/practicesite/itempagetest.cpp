// The item pages carry every keyword of the site tables on the line the sniper's parser
// reads it from, in the English, German and French shapes.

#include "itempage.h"
#include "auctionhouse.h"
#include "bidflow.h"
#include "defaultscript.h"
#include "infopages.h"
#include "json.h"
#include "pagereader.h"
#include "profiletable.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <regex>

namespace {

constexpr double kNow = 1.7e9;

class ItemPageTest : public ::testing::Test
{
protected:
    void SetUp() override { house.load(Json::parse(DefaultScript::text()), kNow); }

    PageReader page(uint64_t item, const std::string& viewer = {})
    {
        Auction* a = house.find(item);
        a->advanceTo(kNow);
        return PageReader(ItemPage::render(*a, kNow, viewer, {}));
    }
    static std::string kw(Language lang, const char* key)
    {
        return ProfileTable::keyword(lang, key);
    }
    static std::string trim(const std::string& s)
    {
        const size_t b = s.find_first_not_of(" \t");
        return b == std::string::npos ? "" : s.substr(b, s.find_last_not_of(" \t") - b + 1);
    }
    static std::string stripSpaces(std::string s)
    {
        std::erase(s, ' ');
        return s;
    }
    static bool hasEndFlag(const PageReader& p, Language lang)
    {
        for (const char* key : {"KeyWord_EndFlag", "KeyWord_EndFlag2", "KeyWord_EndFlag3"})
            for (const std::string& line : p.lines())
                if (stripSpaces(line).find(stripSpaces(kw(lang, key))) != std::string::npos)
                    return true;
        return false;
    }
    // The text the parser sees: the description cut out.
    static PageReader withoutDescription(const PageReader& p, Language lang)
    {
        std::string text = p.text();
        const size_t from = text.find(kw(lang, "KeyWord_Description"));
        if (from != std::string::npos) {
            const size_t to = text.find(kw(lang, "KeyWord_ReadyBid"));
            if (to == std::string::npos || to > from)
                text.erase(from, to == std::string::npos ? std::string::npos : to - from);
        }
        std::string html;
        for (size_t s = 0, e; s < text.size(); s = e + 2) {
            e = text.find("\r\n", s);
            html += "<div>" + text.substr(s, e - s) + "</div>";
        }
        return PageReader(html);
    }

    AuctionHouse house;
};

const Language EN = Language::English;
const Language DE = Language::German;

} // namespace

TEST_F(ItemPageTest, EnglishRunningAuctionHasEveryValueOnItsLabelLine)
{
    const PageReader full = page(3000000001);
    const PageReader p = withoutDescription(full, EN);
    const int idLine = p.lineOf(kw(EN, "KeyWord_ItemID"));
    ASSERT_GT(idLine, 0);
    // English layout: the category line comes first, the title shares the item number line.
    EXPECT_NE(p.lines()[idLine - 1].find(kw(EN, "KeyWord_Category")), std::string::npos);
    EXPECT_EQ(trim(p.lines()[idLine].substr(0, p.lines()[idLine].find("Item number:"))),
              "Silver dollar 1921, fine condition");
    EXPECT_EQ(trim(p.valueAfter("Item number:")), "3000000001");
    EXPECT_EQ(p.valueAfter("category:"), " Coins > World Coins");
    EXPECT_EQ(p.valueAfter(kw(EN, "KeyWord_CurPrice")), "\tUS $8.50");
    EXPECT_EQ(p.valueAfter(kw(EN, "KeyWord_Bids")), "2 bids (US $1.00 starting bid)");
    EXPECT_EQ(trim(p.valueAfter(kw(EN, "KeyWord_ShipPrice"))),
              "US $4.50 -- Standard Flat Rate Shipping");
    EXPECT_EQ(trim(p.valueAfter(kw(EN, "KeyWord_DutchFlag"))), "1");
    EXPECT_EQ(trim(p.valueAfter(kw(EN, "KeyWord_UserName"))), "rival_bert ( 10 )");
    EXPECT_EQ(trim(p.valueAfter(kw(EN, "KeyWord_SellerName"))), "practice_seller ( 1234 )");
    EXPECT_EQ(trim(p.valueAfter(kw(EN, "KeyWord_Rating"))), "(1234)");
    EXPECT_EQ(p.lines()[p.lineOf(kw(EN, "KeyWord_FeedBack"))].find("Positive Feedback:"), 0u);
    EXPECT_EQ(p.valueAfter(kw(EN, "KeyWord_MinBid")), " US $9.00 or more");
    EXPECT_FALSE(hasEndFlag(p, EN));

    const Auction& a = *house.find(3000000001);
    EXPECT_EQ(trim(p.valueAfter(kw(EN, "KeyWord_EndTime"))),
              a.style().formatTime(static_cast<int64_t>(a.listing().endTime), TimeShape::Month));
    EXPECT_TRUE(std::regex_search(p.valueAfter("Ends"),
                                  std::regex(R"(^\t[A-Z][a-z]{2}-\d\d-\d\d \d\d:\d\d:\d\d PST$)")));
    // The description is on the page, and gone once cut.
    EXPECT_GE(full.lineOf("A well kept silver dollar."), 0);
    EXPECT_EQ(p.lineOf("A well kept silver dollar."), -1);
    ASSERT_NE(full.formWithCommand("MakeBid"), nullptr);
    EXPECT_TRUE(full.formWithCommand("MakeBid")->fields.count("maxbid"));
}

TEST_F(ItemPageTest, GermanPageHasTheTitleOnTheLineBeforeTheItemNumber)
{
    const PageReader p = withoutDescription(page(3000000011), DE);
    const int idLine = p.lineOf(kw(DE, "KeyWord_ItemID"));
    ASSERT_GT(idLine, 0);
    EXPECT_EQ(p.lines()[idLine - 1], "Silberm\xC3\xBCnze 5 Mark 1975");
    EXPECT_EQ(p.lineOf(kw(DE, "KeyWord_Category")), idLine - 2);
    EXPECT_EQ(p.valueAfter(kw(DE, "KeyWord_CurPrice")), "\tEUR 8,50");
    EXPECT_EQ(p.valueAfter(kw(DE, "KeyWord_Bids")), "2 Gebote (EUR 1,00 Startpreis)");
    EXPECT_EQ(trim(p.valueAfter(kw(DE, "KeyWord_UserName"))), "rival_bert ( 10 )");
    EXPECT_EQ(trim(p.valueAfter(kw(DE, "KeyWord_SellerName"))), "practice_seller ( 1234 )");
    EXPECT_EQ(p.valueAfter(kw(DE, "KeyWord_MinBid")), " EUR 9,00 ein.");
    EXPECT_TRUE(std::regex_search(p.valueAfter(kw(DE, "KeyWord_EndTime")),
                                  std::regex(R"(^\t\d\d\.\d\d\.\d\d \d\d:\d\d:\d\d MEZ$)")));
    EXPECT_EQ(trim(p.valueAfter(kw(DE, "KeyWord_FeedBack"))), "99,5%");
}

TEST_F(ItemPageTest, FrenchPageWritesTheAmountBeforeTheCurrency)
{
    const PageReader p = withoutDescription(page(3000000017), DE);
    EXPECT_EQ(p.valueAfter(kw(DE, "KeyWord_CurPrice")), "\t1,00 EUR");
    EXPECT_EQ(p.valueAfter(kw(DE, "KeyWord_MinBid")), " 1,50 EUR ein.");
}

TEST_F(ItemPageTest, StartingBidPageHasNoHighBidder)
{
    for (const auto& [item, lang] : {std::pair{3000000002ULL, EN}, {3000000012ULL, DE}}) {
        const PageReader p = withoutDescription(page(item), lang);
        EXPECT_EQ(p.lineOf(kw(lang, "KeyWord_CurPrice")), -1);
        EXPECT_GE(p.lineOf(kw(lang, "KeyWord_CurPrice2")), 0) << item;
        EXPECT_EQ(p.lineOf(kw(lang, "KeyWord_UserName")), -1);
        EXPECT_EQ(p.valueAfter(kw(lang, "KeyWord_Bids")).substr(0, 2), "0 ");
    }
}

TEST_F(ItemPageTest, EndedPagesCarryTheEndFlagAndTheWinner)
{
    const PageReader won = withoutDescription(page(3000000003), EN);
    EXPECT_TRUE(hasEndFlag(won, EN));
    EXPECT_GE(won.lineOf(kw(EN, "KeyWord_EndFlag2")), 0);
    EXPECT_EQ(won.valueAfter(kw(EN, "KeyWord_CurPrice3")), "\tUS $5.50");
    EXPECT_EQ(trim(won.valueAfter(kw(EN, "KeyWord_UserName2"))), "practice_user ( 23 )");
    EXPECT_NE(won.lineOf(kw(EN, "KeyWord_EndTime2")), -1);
    EXPECT_EQ(won.lineOf(kw(EN, "KeyWord_MinBid")), -1);

    const PageReader lost = withoutDescription(page(3000000004), EN);
    EXPECT_TRUE(hasEndFlag(lost, EN));
    EXPECT_EQ(lost.lineOf(kw(EN, "KeyWord_EndFlag2")), -1); // nobody signed in won it
    EXPECT_EQ(trim(lost.valueAfter(kw(EN, "KeyWord_UserName2"))).substr(0, 10), "rival_bert");
    // The winner sees the own notice when signed in.
    EXPECT_GE(page(3000000004, "rival_bert").lineOf(kw(EN, "KeyWord_EndFlag2")), 0);

    const PageReader sold = withoutDescription(page(3000000005), EN);
    EXPECT_TRUE(hasEndFlag(sold, EN));
    EXPECT_EQ(sold.lineOf(kw(EN, "KeyWord_ShopPrice")), -1);
    EXPECT_EQ(sold.valueAfter(kw(EN, "KeyWord_ShopPrice2")), "\tUS $45.00");
    EXPECT_EQ(trim(sold.valueAfter(kw(EN, "KeyWord_UserName3"))).substr(0, 10), "rival_carl");

    const PageReader german = withoutDescription(page(3000000013), DE);
    EXPECT_TRUE(hasEndFlag(german, DE));
    EXPECT_GE(german.lineOf(kw(DE, "KeyWord_EndFlag3")), 0);
    EXPECT_EQ(trim(german.valueAfter(kw(DE, "KeyWord_UserName2"))).substr(0, 13), "practice_user");
    EXPECT_NE(german.lineOf(kw(DE, "KeyWord_EndTime2")), -1);
}

TEST_F(ItemPageTest, PrivateAuctionShowsThePrivateKeywordAsBidder)
{
    EXPECT_NE(
        page(3000000006).valueAfter(kw(EN, "KeyWord_UserName")).find(kw(EN, "KeyWord_Private")),
        std::string::npos);
    EXPECT_NE(
        page(3000000014).valueAfter(kw(DE, "KeyWord_UserName")).find(kw(DE, "KeyWord_Private")),
        std::string::npos);
}

TEST_F(ItemPageTest, MultiItemPageHasQuantityAndItsHighBiddersPage)
{
    const PageReader p = page(3000000007);
    EXPECT_EQ(trim(p.valueAfter(kw(EN, "KeyWord_DutchFlag"))), "5 available");
    const PageReader::Form* form = p.formWithCommand("MakeBid");
    ASSERT_NE(form, nullptr);
    EXPECT_TRUE(form->fields.count("maxbid") && form->fields.count("quant"));
    const std::string bidders = PageReader(InfoPages::highBidders(*house.find(3000000007))).text();
    EXPECT_NE(bidders.find("rival_anna"), std::string::npos);
    EXPECT_NE(bidders.find("rival_bert"), std::string::npos);
}

TEST_F(ItemPageTest, BuyItNowPagesHaveOnlyTheShopPrice)
{
    const PageReader timed = withoutDescription(page(3000000008), EN);
    for (const char* key : {"KeyWord_CurPrice", "KeyWord_CurPrice2", "KeyWord_CurPrice3"})
        EXPECT_EQ(timed.lineOf(kw(EN, key)), -1) << key;
    EXPECT_EQ(timed.valueAfter(kw(EN, "KeyWord_ShopPrice")), "\tUS $25.00");
    EXPECT_NE(timed.lineOf(kw(EN, "KeyWord_EndTime")), -1);
    const PageReader full = page(3000000008);
    const PageReader::Form* form = full.formWithCommand("BinConfirm");
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->fields.at("quantity"), "1");

    const PageReader open = withoutDescription(page(3000000009), EN);
    EXPECT_EQ(open.lineOf(kw(EN, "KeyWord_EndTime")), -1);
    EXPECT_EQ(open.lineOf(kw(EN, "KeyWord_EndTime2")), -1);
    EXPECT_FALSE(hasEndFlag(open, EN));
}

TEST_F(ItemPageTest, TimeShapesReadByPatternOrMonthNames)
{
    const SiteStyle& us = *SiteStyle::find("us");
    const SiteStyle& uk = *SiteStyle::find("uk");
    const SiteStyle& de = *SiteStyle::find("de");
    const int64_t t = 1142443530; // 15 March 2006 17:25:30 UTC
    setenv("TZ", "UTC", 1);
    tzset();
    EXPECT_EQ(us.formatTime(t, TimeShape::Month), "Mar-15-06 17:25:30 PST");
    EXPECT_EQ(uk.formatTime(t, TimeShape::Paren), "(15 Mar, 2006 17:25:30 GMT)");
    EXPECT_EQ(de.formatTime(t, TimeShape::Numeric), "15.03.06 17:25:30 MEZ");
    EXPECT_EQ(de.formatTime(t, TimeShape::Month), "15-M\xC3\xA4r-06 17:25:30 MEZ");
    EXPECT_EQ(us.formatTime(t, TimeShape::Numeric), "03/15/06 17:25:30 PST");
    EXPECT_EQ(us.formatClock(t), "Mar 15, 2006 17:25:30 PST");
    unsetenv("TZ");
    tzset();
}

TEST_F(ItemPageTest, UnknownItemShowsBothInvalidItemKeywords)
{
    const PageReader p(InfoPages::invalidItem("999"));
    EXPECT_GE(p.lineOf(kw(EN, "KeyWord_InvalidItem")), 0);
    EXPECT_GE(p.lineOf(kw(DE, "KeyWord_InvalidItem")), 0);
}

TEST_F(ItemPageTest, Windows1252VariantIsConvertedAndSaysSoInItsMeta)
{
    BidFlow flow(house, kNow);
    const SiteResponse r = flow.itemPage(*house.find(3000000018), {}, {}, {});
    EXPECT_EQ(r.contentType, "text/html");
    EXPECT_NE(r.body.find("charset=windows-1252"), std::string::npos);
    EXPECT_NE(r.body.find("M\xFCnzalbum f\xFCr"), std::string::npos);
    EXPECT_EQ(r.body.find("\xC3"), std::string::npos);
}
