#include "infopages.h"

#include "auction.h"
#include "html.h"
#include "itempage.h"

namespace {

std::string viewItemHref(const Auction& a)
{
    return "/ws/eBayISAPI.dll?ViewItem&item=" + std::to_string(a.listing().item);
}

std::string bidderName(const Auction& a, const std::string& bidder)
{
    if (a.listing().isPrivate)
        return Html::pick(a.style().language(), "User ID kept private",
                          "Mitgliedsname wird nicht angezeigt");
    return bidder + " ( " + std::to_string(ItemPage::feedbackOf(bidder)) + " )";
}

} // namespace

std::string InfoPages::officialTime(double now)
{
    const int64_t t = static_cast<int64_t>(now);
    const SiteStyle& us = SiteStyle::forLanguage(Language::English);
    const SiteStyle& de = SiteStyle::forLanguage(Language::German);
    std::string h = Html::begin("Official Time", Language::English);
    h += "<table class=\"time\"><tr><td>\n<font face=\"Arial\">"
         "<p>The official eBay Time is now:</p><p><b>" +
         us.formatClock(t) + "</b></font>\n</td></tr><tr><td>\n";
    h += "<p><B>eBay Deutschland</B><BR><font size=\"2\">" + de.formatClock(t) +
         "</font></p>\n</td></tr></table>\n";
    return h + Html::end(Language::English);
}

std::string InfoPages::maintenance()
{
    std::string h = Html::begin("Scheduled maintenance", Language::English);
    h += Html::heading("Unavailable");
    h += Html::line("The site is temporarily unavailable due to scheduled maintenance.");
    h += Html::line("Wegen Wartungsarbeiten ist die Seite vor\xC3\xBC"
                    "bergehend nicht erreichbar.");
    return h + Html::end(Language::English);
}

std::string InfoPages::invalidItem(const std::string& itemText)
{
    std::string h = Html::begin("Invalid Item", Language::English);
    h += Html::heading("Invalid Item");
    h += Html::line("The item " + itemText +
                    " is invalid, no longer in our database, or still being processed.");
    h += Html::heading("Ung\xC3\xBCltiger Artikel");
    h += Html::line("Der Artikel " + itemText + " ist nicht vorhanden.");
    return h + Html::end(Language::English);
}

std::string InfoPages::highBidders(const Auction& a)
{
    const Language lang = a.style().language();
    const bool de = lang == Language::German;
    const std::string item = std::to_string(a.listing().item);
    std::string h = Html::begin((de ? "H\xC3\xB6"
                                      "chstbietende "
                                    : "High bidders ") +
                                    item,
                                lang);
    h += Html::line(a.listing().title);
    const auto winners = a.winners();
    if (winners.empty()) {
        h += Html::line(de ? "Noch keine Gebote." : "No bids yet.");
    } else {
        h += "<table class=\"bidders\">\n";
        for (const Auction::Winner& w : winners)
            h += "<tr><td>" + Html::escape(bidderName(a, w.bidder)) + "</td><td>" +
                 Html::escape(a.style().formatPrice(w.cents)) + "</td><td>" +
                 std::to_string(w.quantity) + "</td></tr>\n";
        h += "</table>\n";
    }
    h +=
        "<div>" + Html::link(viewItemHref(a), de ? "Zum Artikel" : "Back to the item") + "</div>\n";
    return h + Html::end(lang);
}

std::string InfoPages::bidHistory(const Auction& a)
{
    const Language lang = a.style().language();
    const bool de = lang == Language::German;
    std::string h = Html::begin(de ? "Gebote" : "Bids", lang);
    h += Html::line(a.listing().title);
    h += "<table class=\"history\">\n";
    for (const Auction::Bid& b : a.bids())
        h += "<tr><td>" + Html::escape(bidderName(a, b.bidder)) + "</td><td>" +
             Html::escape(a.style().formatPrice(b.cents)) + "</td><td>" +
             Html::escape(
                 a.style().formatTime(static_cast<int64_t>(b.time), a.listing().timeShape)) +
             "</td></tr>\n";
    h += "</table>\n<div>" + Html::link(viewItemHref(a), de ? "Zum Artikel" : "Back to the item") +
         "</div>\n";
    return h + Html::end(lang);
}

std::string InfoPages::retractHelp(Language lang)
{
    const bool de = lang == Language::German;
    std::string h = Html::begin(de ? "Gebote zur\xC3\xBC"
                                     "cknehmen"
                                   : "Retracting a bid",
                                lang);
    h += Html::line(de ? "Ein Gebot kann vor dem Ende der Auktion zur\xC3\xBC"
                         "ckgenommen werden."
                       : "A bid can be retracted before the auction ends.");
    h += "<div>" +
         Html::link("/aw-cgi/eBayISAPI.dll?RetractBidShow", de ? "Zur Gebotsr\xC3\xBC"
                                                                 "cknahme"
                                                               : "Retract a bid") +
         "</div>\n";
    return h + Html::end(lang);
}

std::string InfoPages::contactMember(Language lang, const std::string& member)
{
    const bool de = lang == Language::German;
    std::string h = Html::begin(de ? "Mitglied kontaktieren" : "Contact a member", lang);
    h += Html::line((de ? "Nachricht an " : "Message to ") + member);
    h += Html::formBegin("contact", "/aw-cgi/eBayISAPI.dll") +
         Html::hidden("MfcISAPICommand", "SendUserEmail") + Html::hidden("requested", member) +
         "<div><input type=\"text\" name=\"subject\" size=\"40\"></div>\n"
         "<div><textarea name=\"message\" rows=\"6\" cols=\"40\"></textarea></div>\n"
         "<input type=\"submit\" value=\"" +
         (de ? "Senden" : "Send") + "\">\n</form>\n";
    return h + Html::end(lang);
}

std::string InfoPages::registration(Language lang)
{
    const bool de = lang == Language::German;
    return Html::begin(de ? "Anmelden" : "Register", lang) +
           Html::line(de ? "Auf der \xC3\x9C"
                           "bungsseite brauchen Sie kein Konto: Mitgliedsname practice_user, "
                           "Passwort practice."
                         : "The practice site needs no account: user ID practice_user, "
                           "password practice.") +
           Html::end(lang);
}

std::string InfoPages::home(Language lang, const std::vector<const Auction*>& running)
{
    const bool de = lang == Language::German;
    std::string h = Html::begin("Gavelin practice site", lang);
    h += Html::heading(de ? "Laufende Angebote" : "Running listings");
    h += "<ul>\n";
    for (const Auction* a : running)
        h += "<li>" + Html::link(viewItemHref(*a), a->listing().title) + " (" +
             std::to_string(a->listing().item) + ")</li>\n";
    h += "</ul>\n<ul>\n<li>" + Html::link("/aw-cgi/eBayISAPI.dll?TimeShow", "Official time") +
         "</li>\n<li>" + Html::link("/search/items/basicsearch.html", "Search") + "</li>\n<li>" +
         Html::link("/ws2/eBayISAPI.dll?SignIn", "Sign in") + "</li>\n</ul>\n";
    return h + Html::end(lang);
}

std::string InfoPages::notFound(const std::string& what)
{
    return Html::begin("Not found", Language::English) + Html::heading("Not found") +
           Html::line("There is no page " + what + " on this site.") + Html::end(Language::English);
}
