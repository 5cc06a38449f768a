#include "profiletable.h"

namespace {

struct KeywordRow
{
    const char* key;
    const char* english;
    const char* german;
};

// German texts are UTF-8; some start just after the umlaut of the word on the page.
const KeywordRow kKeywords[] = {
    {"KeyWord_Category", "category:", "Kategorie:"},
    {"KeyWord_Description", "Description", "Beschreibung"},
    {"KeyWord_ReadyBid", "Ready to bid", "Gebot abgeben"},
    {"KeyWord_BadPassword", "Already an eBay user?", "Bereits bei eBay angemeldet?"},
    {"KeyWord_BidUsers", "UserID", "Mitgliedsname"},
    {"KeyWord_CurPrice", "Current bid:", "Aktuelles Gebot:"},
    {"KeyWord_CurPrice2", "Starting bid", "Startpreis:"},
    {"KeyWord_CurPrice3", "Winning bid:", "Erfolgreiches Gebot:"},
    {"KeyWord_DutchFlag", "Quantity:", "Menge:"},
    {"KeyWord_RegBlock", "Registration blocked", "blockiert"},
    {"KeyWord_EndFlag", "has ended", "Angebot ist beendet"},
    {"KeyWord_EndFlag2", "You won the item", "Sie haben den Artikel erworben"},
    {"KeyWord_EndFlag3", "NOTAVAIL", "hat Ihnen Zahlungshinweise gesendet"},
    {"KeyWord_EndTime", "Ends", "endet:"},
    {"KeyWord_EndTime2", "Ended:", "Endet:"},
    {"KeyWord_InvalidItem", "Invalid Item", "ltiger Artikel"},
    {"KeyWord_ItemID", "Item number:", "Artikelnummer:"},
    {"KeyWord_MinBid", "Enter", "Geben Sie mindestens"},
    {"KeyWord_NoUsers", "noearlierbidders", "herenBieter"},
    {"KeyWord_SellerName", "Seller information", "Angaben zum"},
    {"KeyWord_Rating", "Feedback Score:", "Bewertungsprofil:"},
    {"KeyWord_FeedBack", "Positive Feedback:", "Positive Bewertungen:"},
    {"KeyWord_ShopPrice", "Price:", "Preis:"},
    {"KeyWord_ShopPrice2", "Sold for:", "Verkauft f\xC3\xBCr:"},
    {"KeyWord_Private", "User", "Mitgliedsname"},
    {"KeyWord_TimeSync", "The official eBay Time is now:</p><p><b>",
     "eBay Deutschland</B><BR><font size=\"2\">"},
    {"KeyWord_TimeU", "Unavailable", "Wartungsarbeiten"},
    {"KeyWord_UserName", "High bidder:", "chstbietender:"},
    {"KeyWord_UserName2", "Winning bidder:", "ufer:"},
    {"KeyWord_UserName3", "Buyer:", "NOTAVAIL"},
    {"Other_DecimalPointer", ".", ","},
    {"Other_GroupsDivider", ",", "."},
    {"KeyWord_Resubmit", "Review and Confirm Bid", "fen und Bieten"},
    {"KeyWord_Resubmit2", "Review and Commit to Buy", "fen und Kaufen"},
    {"KeyWord_Negativ", "You have a feedback score of", "Sie haben weniger als"},
    {"KeyWord_Limit", "Buying Activity Limit Reached", "Das Kauflimit wurde erreicht"},
    {"KeyWord_Ship", "You are registered in a country", "Sie sind in einem Land angemeldet"},
    {"KeyWord_Ended", "Auction ended", "Auktion beendet"},
    {"KeyWord_Bids", "History:", "bersicht:"},
    {"KeyWord_ShipPrice", "Shipping costs:", "Versandkosten:"},
    {"KeyWord_StartPrice", "starting bid", "Startpreis"},
    {"KeyWord_Suspension", "Suspension Notice", "Hinweis zur Aufhebung"},
    {"KeyWord_Cont", "Continue", "Weiter"},
    {"KeyWord_Purchase", "Confirm Your Purchase", "Kauf best"},
};

struct UrlRow
{
    const char* key;
    const char* path;
};

const UrlRow kUrls[] = {
    {"URL_DutchHighBidder", "/aw-cgi/eBayISAPI.dll?ViewBidsDutchHighBidder&item=%s"},
    {"URL_EmailToMember", "/aw-cgi/eBayISAPI.dll?ReturnUserEmail&requested=%s"},
    {"URL_Retract", "/aw-cgi/eBayISAPI.dll?RetractBidShow"},
    {"URL_RetractHelp", "/help/buy/bid-retract.html"},
    {"URL_SignIn", "/ws2/eBayISAPI.dll?SignIn"},
    {"URL_MyEbay", "/ws/eBayISAPI.dll?MyEbayLogin"},
    {"URL_TimeSync", "/aw-cgi/eBayISAPI.dll?TimeShow"},
    {"URL_ViewItem", "/ws/eBayISAPI.dll?ViewItem&item=%s"},
    {"URL_Category", "/aw/plistings/category%s/index.html?from=R11"},
    // The search host prefix of the real sites becomes a parameter here.
    {"URL_Search", "/search/search.dll?host=%s"},
    {"URL_SearchBasic", "/search/items/basicsearch.html"},
    {"URL_Register", "/saw-cgi/eBayISAPI.dll?RegisterEnterInfo"},
};

const std::pair<const char*, const char*> kCommands[] = {
    {"Command", "MfcISAPICommand"},
    {"sofortCmd", "BinConfirm"},
    {"quant1", "quantity"},
    {"bidusers", "Privat"},
    {"runCmd1", "MakeBid"},
    {"runCmd2", "UnifiedCheckoutShippingDispatcher"},
    {"maxbid", "maxbid"},
    {"quant2", "quant"},
    {"bidCmd", "MakeBid"},
    {"hmaxbid1", "quantity"},
    {"hmaxbid2", "maxbid"},
    {"login1", "userid"},
    {"login2", "user"},
    {"pass1", "pass"},
    {"retractCmd", "SignInWelcome"},
    {"login3", "userid"},
    {"pass2", "pass"},
    {"bidretractCmd", "RetractBid"},
    {"item1", "item"},
    {"item2", "ITEM"},
    {"info", "info"},
    {"signin", "SignInForm"},
};

} // namespace

ProfileTable::Entries ProfileTable::keywords(Language language)
{
    Entries out;
    for (const KeywordRow& row : kKeywords)
        out.emplace_back(row.key, language == Language::German ? row.german : row.english);
    return out;
}

std::string ProfileTable::keyword(Language language, const std::string& key)
{
    for (const KeywordRow& row : kKeywords)
        if (key == row.key)
            return language == Language::German ? row.german : row.english;
    return std::string();
}

ProfileTable::Entries ProfileTable::urls(Language language, const std::string& baseUrl)
{
    Entries out;
    for (const UrlRow& row : kUrls)
        out.emplace_back(row.key, baseUrl + row.path);
    out.emplace_back("Other_Months",
                     language == Language::German
                         ? "DD/MM/YY Jan Feb M\xC3\xA4r Apr Mai Jun Jul Aug Sep Okt Nov Dez"
                         : "MM/DD/YY Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec");
    out.emplace_back("Search_Func", "dSI");
    out.emplace_back("Search_Regex", "");
    // K0..K10 and L0, L1 of the search address; the site filter keeps each profile's
    // results in the wording it reads.
    const std::string site = language == Language::German ? "de" : "en";
    out.emplace_back("Search_Key", "sacat;&srchdesc=y;&query=%s&site=" + site +
                                       ";&exclude=%s;&kwopt=%d;&bin=1;&minprice=%d;"
                                       "&maxprice=%d;&num=%d;&seller=%s;&sort=%d&order=%d;");
    out.emplace_back("Search_Key2", "loc;avail;");
    return out;
}

ProfileTable::Entries ProfileTable::all(Language language, const std::string& baseUrl)
{
    Entries out = keywords(language);
    const Entries more = urls(language, baseUrl);
    out.insert(out.end(), more.begin(), more.end());
    return out;
}

ProfileTable::Entries ProfileTable::commands()
{
    Entries out;
    for (const auto& c : kCommands)
        out.emplace_back(c.first, c.second);
    return out;
}

const char* ProfileTable::siteName(Language language)
{
    return language == Language::German ? "www.ebay.de" : "www.ebay.com";
}
