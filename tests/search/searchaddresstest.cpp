// The search address from the site's tokens, and the prices of result rows.

#include "search/searchaddress.h"
#include "search/searchprice.h"
#include "sites/siteconventions.h"

#include <gtest/gtest.h>

namespace {

SearchCommands practiceCommands(const QString& key2 = QStringLiteral("loc;avail;"))
{
    SearchCommands c;
    c.searchUrl = QStringLiteral("http://127.0.0.1:1/search/search.dll?host=%s");
    c.keys = SearchCommands::tokens(QStringLiteral(
        "sacat;&srchdesc=y;&query=%s&site=en;&exclude=%s;&kwopt=%d;&bin=1;&minprice=%d;"
        "&maxprice=%d;&num=%d;&seller=%s;&sort=%d&order=%d;"));
    c.keys2 = SearchCommands::tokens(key2);
    return c;
}

const QString kBase = QStringLiteral("http://127.0.0.1:1/search/search.dll?host=");

} // namespace

TEST(SearchAddressTest, EveryStepInItsOrderAndOnlyWhenAsked)
{
    EXPECT_EQ(SearchCommands::tokens(QStringLiteral("a;;b;rest")),
              (QStringList{QStringLiteral("a"), QString(), QStringLiteral("b")}));

    SearchCriteria plain;
    plain.keywords = QStringLiteral("lamp");
    auto built = SearchAddress::build(practiceCommands(), plain, SearchAddress::Use::Interactive);
    ASSERT_TRUE(built.ok());
    EXPECT_EQ(built.url, kBase + "search&query=lamp&site=en&kwopt=1&num=30&sort=1&order=1");

    SearchCriteria full = plain;
    full.titleAndDescription = true;
    full.exclude = QStringLiteral("broken");
    full.wordOption = SearchCriteria::ExactPhrase;
    full.category = QStringLiteral("20");
    full.buyItNowOnly = true;
    full.rangeMin = 5;
    full.rangeMax = 50;
    full.findItems = 0;
    full.seller = QStringLiteral("old_sailor");
    full.sort = SearchCriteria::HighestPriceFirst;
    full.locationIn = QStringLiteral("-15");
    full.locationTo = QStringLiteral("999");
    SearchAddress::ListChoices choices;
    choices.category = true;
    choices.locationTo = true;
    built =
        SearchAddress::build(practiceCommands(), full, SearchAddress::Use::Interactive, choices);
    EXPECT_EQ(built.url, kBase + "search-desc&srchdesc=y&query=lamp&site=en&exclude=broken&kwopt=3"
                                 "&sacat=20&bin=1&minprice=5&maxprice=50&seller=old_sailor"
                                 "&sort=3&order=2&avail=999");

    // The start-up check: the category always (even empty), both locations always.
    plain.sort = SearchCriteria::NewlyListed;
    built = SearchAddress::build(practiceCommands(), plain, SearchAddress::Use::StartupCheck);
    EXPECT_EQ(built.url, kBase + "search&query=lamp&site=en&kwopt=1&sacat=&num=30&sort=2&order=2"
                                 "&loc=&avail=");
    // ... without location tokens, none; with one of two, no address at all.
    built =
        SearchAddress::build(practiceCommands(QString()), plain, SearchAddress::Use::StartupCheck);
    EXPECT_TRUE(built.ok());
    EXPECT_FALSE(built.url.contains("loc="));
    built = SearchAddress::build(practiceCommands(QStringLiteral("loc;")), plain,
                                 SearchAddress::Use::StartupCheck);
    EXPECT_FALSE(built.ok());
    EXPECT_TRUE(built.url.isEmpty());

    // A token a step needs and the list lacks; one no step needs does not matter.
    SearchCommands shortList = practiceCommands();
    shortList.keys = shortList.keys.mid(0, 9);
    EXPECT_FALSE(SearchAddress::build(shortList, plain, SearchAddress::Use::Interactive).ok());
    shortList.keys = practiceCommands().keys;
    shortList.keys[SearchCommands::TitleAndDesc].clear();
    EXPECT_TRUE(SearchAddress::build(shortList, plain, SearchAddress::Use::Interactive).ok());
}

TEST(SearchAddressTest, TheUsersWordsCannotChangeTheQuery)
{
    SearchCriteria c;
    c.keywords = QStringLiteral("AT&T #1 a=b 50% +x ü");
    c.seller = QStringLiteral("a&num=999");
    const auto built = SearchAddress::build(practiceCommands(), c, SearchAddress::Use::Interactive);
    EXPECT_EQ(built.url, kBase + "search&query=AT%26T+%231+a%3Db+50%25+%2Bx+%C3%BC&site=en&kwopt=1"
                                 "&num=30&seller=a%26num%3D999&sort=1&order=1");

    // A damaged template asks for more values, or other kinds, than it is given.
    EXPECT_EQ(SearchAddress::fill(QStringLiteral("&a=%s&b=%d&c=%n%x%%&d=%"), {"1"}),
              QStringLiteral("&a=1&b=&c=%n%x%&d=%"));
}

TEST(SearchAddressTest, PricesInTheSitesShapeAndTheOther)
{
    const SiteConventions us = SiteConventions::builtIn(QStringLiteral("www.ebay.com"));
    const SiteConventions de = SiteConventions::builtIn(QStringLiteral("www.ebay.de"));
    const auto read = [](const char* text, const SiteConventions& c) {
        return SearchPrice::read(QString::fromUtf8(text), c).value_or(-1.0f);
    };
    EXPECT_FLOAT_EQ(read("US $1,234.50", us), 1234.5f);
    EXPECT_FLOAT_EQ(read("EUR 1.234,50", de), 1234.5f);
    EXPECT_FLOAT_EQ(read("12,50 EUR", de), 12.5f);
    EXPECT_FLOAT_EQ(read("£7.00", us), 7.0f);
    EXPECT_FLOAT_EQ(read("US $12.00 to US $15.00", us), 12.0f);
    // Another currency's shape on the site: never a hundred times the price.
    EXPECT_FLOAT_EQ(read("12,50 EUR", us), 12.5f);
    EXPECT_FLOAT_EQ(read("EUR 1.234,50", us), 1234.5f);
    EXPECT_FLOAT_EQ(read("US $1,234.50", de), 1234.5f);
    EXPECT_FLOAT_EQ(read("1,234", us), 1234.0f);
    for (const char* bad : {"", "EUR", "1,2,3", "12.50.3", "99999999999999999999"})
        EXPECT_FALSE(SearchPrice::read(QString::fromUtf8(bad), us)) << bad;
}
