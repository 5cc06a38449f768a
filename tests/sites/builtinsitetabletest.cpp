#include "sites/builtinsitetable.h"
#include "sites/sitehosts.h"

#include <gtest/gtest.h>

namespace {

QString english(const char* key)
{
    return BuiltInSiteTable::defaultValue(QString::fromLatin1(key), SiteLanguage::English);
}

QString german(const char* key)
{
    return BuiltInSiteTable::defaultValue(QString::fromLatin1(key), SiteLanguage::German);
}

} // namespace

TEST(BuiltInSiteTable, KeysInReadingOrder)
{
    const QStringList& keys = BuiltInSiteTable::keys();
    ASSERT_EQ(keys.size(), 61);
    EXPECT_EQ(keys.first(), "KeyWord_Category");
    // The number characters sit between the user-name keywords and the resubmit ones.
    EXPECT_EQ(keys.indexOf("Other_DecimalPointer"), keys.indexOf("KeyWord_UserName3") + 1);
    EXPECT_EQ(keys.indexOf("KeyWord_Resubmit"), keys.indexOf("Other_GroupsDivider") + 1);
    EXPECT_EQ(keys.indexOf("URL_DutchHighBidder"), keys.indexOf("KeyWord_Purchase") + 1);
    EXPECT_EQ(keys.indexOf("Other_Months"), keys.indexOf("URL_Register") + 1);
    EXPECT_EQ(keys.last(), "Search_Key2");
    EXPECT_FALSE(keys.contains("KeyWord_TimeReg"));
}

TEST(BuiltInSiteTable, TextsOfBothLanguages)
{
    EXPECT_EQ(english("KeyWord_CurPrice"), "Current bid:");
    EXPECT_EQ(german("KeyWord_CurPrice"), "Aktuelles Gebot:");
    EXPECT_EQ(english("KeyWord_EndFlag3"), "NOTAVAIL");
    // Texts that start after an umlaut of the page word are kept without it.
    EXPECT_EQ(german("KeyWord_Bids"), "bersicht:");
    EXPECT_EQ(german("KeyWord_ShopPrice2"), QString::fromUtf8("Verkauft f\xC3\xBCr:"));
    EXPECT_EQ(german("KeyWord_TimeSync"), "eBay Deutschland</B><BR><font size=\"2\">");
    EXPECT_EQ(german("Other_DecimalPointer"), ",");
    EXPECT_EQ(german("Other_GroupsDivider"), ".");
    EXPECT_EQ(german("Other_Months"),
              QString::fromUtf8("DD/MM/YY Jan Feb M\xC3\xA4r Apr Mai Jun Jul Aug Sep Okt Nov Dez"));
    EXPECT_TRUE(english("NoSuchKey").isEmpty());
}

TEST(BuiltInSiteTable, UrlsUseTheHostOfTheirRole)
{
    EXPECT_EQ(english("URL_ViewItem"), "http://cgi.ebay.com/ws/eBayISAPI.dll?ViewItem&item=%s");
    EXPECT_EQ(german("URL_ViewItem"), "http://cgi.ebay.de/ws/eBayISAPI.dll?ViewItem&item=%s");
    EXPECT_EQ(english("URL_RetractHelp"), "http://www.ebay.com/help/buy/bid-retract.html");
    // Both tables read the official time from the German site's time host.
    EXPECT_EQ(english("URL_TimeSync"), german("URL_TimeSync"));
    EXPECT_TRUE(german("URL_TimeSync").endsWith(".ebay.de/aw-cgi/eBayISAPI.dll?TimeShow"));
    EXPECT_EQ(german("URL_Search"), "http://%s.ebay.de/search/search.dll");
    EXPECT_TRUE(english("URL_Register").startsWith("https://scgi.ebay.com/"));
}

TEST(BuiltInSiteTable, LanguageBySiteName)
{
    for (int site : {SiteHosts::UnitedStates, SiteHosts::UnitedKingdom, SiteHosts::Australia})
        EXPECT_EQ(BuiltInSiteTable::languageOf(SiteHosts::siteName(site)), SiteLanguage::English);
    for (int site : {SiteHosts::Germany, SiteHosts::Canada, SiteHosts::Ireland, SiteHosts::France})
        EXPECT_EQ(BuiltInSiteTable::languageOf(SiteHosts::siteName(site)), SiteLanguage::German);
    EXPECT_EQ(BuiltInSiteTable::languageOf("127.0.0.1"), SiteLanguage::German);
}

TEST(BuiltInSiteTable, CommandDefaults)
{
    const auto& commands = BuiltInSiteTable::commandDefaults();
    ASSERT_EQ(commands.size(), 22u);
    EXPECT_EQ(commands.front(), std::make_pair(QString("Command"), QString("MfcISAPICommand")));
    EXPECT_EQ(commands.back(), std::make_pair(QString("signin"), QString("SignInForm")));
    EXPECT_EQ(commands[19], std::make_pair(QString("item2"), QString("ITEM")));
}
