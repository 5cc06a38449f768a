#include "sites/builtinsitetable.h"

#include "sites/sitehosts.h"

#include <QHash>

namespace {

struct Row
{
    QString key;
    QString english;
    QString german;
};

QString u(const char* text)
{
    return QString::fromUtf8(text);
}

Row text(const char* key, const char* english, const char* german)
{
    return Row{u(key), u(english), u(german)};
}

// Scheme, role host and path; the role is chosen per table.
Row url(const char* key, const char* scheme, const char* SiteHosts::Roles::*role, const char* path)
{
    const auto build = [&](const SiteHosts::Roles& roles) {
        return u(scheme) + "://" + u(roles.*role) + u(path);
    };
    return Row{u(key), build(SiteHosts::usRoles()), build(SiteHosts::germanRoles())};
}

// The search host is "%s" (the prefix the Search Service fills in) before the domain.
Row searchUrl()
{
    const auto build = [](const SiteHosts::Roles& roles) {
        return u("http://%s") + u(roles.searchDomain) + u("/search/search.dll");
    };
    return Row{u("URL_Search"), build(SiteHosts::usRoles()), build(SiteHosts::germanRoles())};
}

std::vector<Row> buildRows()
{
    using R = SiteHosts::Roles;
    return {
        text("KeyWord_Category", "category:", "Kategorie:"),
        text("KeyWord_Description", "Description", "Beschreibung"),
        text("KeyWord_ReadyBid", "Ready to bid", "Gebot abgeben"),
        text("KeyWord_BadPassword", "Already an eBay user?", "Bereits bei eBay angemeldet?"),
        text("KeyWord_BidUsers", "UserID", "Mitgliedsname"),
        text("KeyWord_CurPrice", "Current bid:", "Aktuelles Gebot:"),
        text("KeyWord_CurPrice2", "Starting bid", "Startpreis:"),
        text("KeyWord_CurPrice3", "Winning bid:", "Erfolgreiches Gebot:"),
        text("KeyWord_DutchFlag", "Quantity:", "Menge:"),
        text("KeyWord_RegBlock", "Registration blocked", "blockiert"),
        text("KeyWord_EndFlag", "has ended", "Angebot ist beendet"),
        text("KeyWord_EndFlag2", "You won the item", "Sie haben den Artikel erworben"),
        text("KeyWord_EndFlag3", "NOTAVAIL", "hat Ihnen Zahlungshinweise gesendet"),
        text("KeyWord_EndTime", "Ends", "endet:"),
        text("KeyWord_EndTime2", "Ended:", "Endet:"),
        text("KeyWord_InvalidItem", "Invalid Item", "ltiger Artikel"),
        text("KeyWord_ItemID", "Item number:", "Artikelnummer:"),
        text("KeyWord_MinBid", "Enter", "Geben Sie mindestens"),
        text("KeyWord_NoUsers", "noearlierbidders", "herenBieter"),
        text("KeyWord_SellerName", "Seller information", "Angaben zum"),
        text("KeyWord_Rating", "Feedback Score:", "Bewertungsprofil:"),
        text("KeyWord_FeedBack", "Positive Feedback:", "Positive Bewertungen:"),
        text("KeyWord_ShopPrice", "Price:", "Preis:"),
        text("KeyWord_ShopPrice2", "Sold for:", "Verkauft für:"),
        text("KeyWord_Private", "User", "Mitgliedsname"),
        // Matched against the raw HTML of the time page, hence the markup.
        text("KeyWord_TimeSync", "The official eBay Time is now:</p><p><b>",
             "eBay Deutschland</B><BR><font size=\"2\">"),
        text("KeyWord_TimeU", "Unavailable", "Wartungsarbeiten"),
        text("KeyWord_UserName", "High bidder:", "chstbietender:"),
        text("KeyWord_UserName2", "Winning bidder:", "ufer:"),
        text("KeyWord_UserName3", "Buyer:", "NOTAVAIL"),
        text("Other_DecimalPointer", ".", ","),
        text("Other_GroupsDivider", ",", "."),
        text("KeyWord_Resubmit", "Review and Confirm Bid", "fen und Bieten"),
        text("KeyWord_Resubmit2", "Review and Commit to Buy", "fen und Kaufen"),
        text("KeyWord_Negativ", "You have a feedback score of", "Sie haben weniger als"),
        text("KeyWord_Limit", "Buying Activity Limit Reached", "Das Kauflimit wurde erreicht"),
        text("KeyWord_Ship", "You are registered in a country",
             "Sie sind in einem Land angemeldet"),
        text("KeyWord_Ended", "Auction ended", "Auktion beendet"),
        text("KeyWord_Bids", "History:", "bersicht:"),
        text("KeyWord_ShipPrice", "Shipping costs:", "Versandkosten:"),
        text("KeyWord_StartPrice", "starting bid", "Startpreis"),
        text("KeyWord_Suspension", "Suspension Notice", "Hinweis zur Aufhebung"),
        text("KeyWord_Cont", "Continue", "Weiter"),
        text("KeyWord_Purchase", "Confirm Your Purchase", "Kauf best"),

        url("URL_DutchHighBidder", "http", &R::bidHistory,
            "/aw-cgi/eBayISAPI.dll?ViewBidsDutchHighBidder&item=%s"),
        url("URL_EmailToMember", "http", &R::memberContact,
            "/aw-cgi/eBayISAPI.dll?ReturnUserEmail&requested=%s"),
        url("URL_Retract", "http", &R::itemPage, "/aw-cgi/eBayISAPI.dll?RetractBidShow"),
        url("URL_RetractHelp", "http", &R::home, "/help/buy/bid-retract.html"),
        url("URL_SignIn", "http", &R::signIn, "/ws2/eBayISAPI.dll?SignIn"),
        url("URL_MyEbay", "http", &R::memberArea, "/ws/eBayISAPI.dll?MyEbayLogin"),
        url("URL_TimeSync", "http", &R::time, "/aw-cgi/eBayISAPI.dll?TimeShow"),
        url("URL_ViewItem", "http", &R::itemPage, "/ws/eBayISAPI.dll?ViewItem&item=%s"),
        url("URL_Category", "http", &R::listings, "/aw/plistings/category%s/index.html?from=R11"),
        searchUrl(),
        url("URL_SearchBasic", "http", &R::pages, "/search/items/basicsearch.html"),
        url("URL_Register", "https", &R::secureRegistration,
            "/saw-cgi/eBayISAPI.dll?RegisterEnterInfo"),

        text("Other_Months", "MM/DD/YY Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec",
             "DD/MM/YY Jan Feb Mär Apr Mai Jun Jul Aug Sep Okt Nov Dez"),
        text("Search_Func", "dSI", "dSI"),
        text("Search_Regex", "", ""),
        text("Search_Key", "", ""),
        text("Search_Key2", "", ""),
    };
}

const std::vector<Row>& rows()
{
    static const std::vector<Row> table = buildRows();
    return table;
}

const QHash<QString, int>& rowIndex()
{
    static const QHash<QString, int> index = [] {
        QHash<QString, int> map;
        for (int i = 0; i < static_cast<int>(rows().size()); ++i)
            map.insert(rows()[i].key, i);
        return map;
    }();
    return index;
}

} // namespace

SiteLanguage BuiltInSiteTable::languageOf(const QString& siteName)
{
    switch (SiteHosts::siteNumber(siteName)) {
    case SiteHosts::UnitedStates:
    case SiteHosts::UnitedKingdom:
    case SiteHosts::Australia:
        return SiteLanguage::English;
    default:
        return SiteLanguage::German;
    }
}

const QStringList& BuiltInSiteTable::keys()
{
    static const QStringList list = [] {
        QStringList names;
        for (const Row& row : rows())
            names << row.key;
        return names;
    }();
    return list;
}

QString BuiltInSiteTable::defaultValue(const QString& key, SiteLanguage language)
{
    const auto it = rowIndex().constFind(key);
    if (it == rowIndex().cend())
        return QString();
    const Row& row = rows()[static_cast<size_t>(*it)];
    return language == SiteLanguage::English ? row.english : row.german;
}

const std::vector<std::pair<QString, QString>>& BuiltInSiteTable::commandDefaults()
{
    static const std::vector<std::pair<QString, QString>> table = {
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
    return table;
}
