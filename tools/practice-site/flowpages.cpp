#include "flowpages.h"

#include "auction.h"
#include "html.h"

namespace {

std::string itemLines(const Auction& a)
{
    const Language lang = a.style().language();
    return Html::line(a.listing().title) +
           Html::line(std::string(Html::pick(lang, "Item number: ", "Artikelnummer: ")) +
                      std::to_string(a.listing().item));
}

std::string submit(const std::string& caption)
{
    return "<input type=\"submit\" value=\"" + Html::escape(caption) + "\">\n";
}

} // namespace

std::string FlowPages::pendingFields(const Pending& p)
{
    std::string h = Html::hidden("mode", p.mode);
    if (!p.item.empty())
        h += Html::hidden("item", p.item);
    if (!p.maxbid.empty())
        h += Html::hidden("maxbid", p.maxbid);
    if (!p.quantity.empty())
        h += Html::hidden("quant", p.quantity);
    return h + "\n";
}

std::string FlowPages::pendingQuery(const Pending& p)
{
    return "mode=" + Html::urlEncode(p.mode) + "&item=" + Html::urlEncode(p.item) +
           "&maxbid=" + Html::urlEncode(p.maxbid) + "&quant=" + Html::urlEncode(p.quantity);
}

std::string FlowPages::signIn(Language lang, const Pending& pending, bool failed)
{
    const bool de = lang == Language::German;
    std::string h = Html::begin(de ? "Einloggen" : "Sign In", lang);
    h += Html::heading(de ? "Einloggen" : "Sign In");
    // This question heads the form on every sign-in page, also when it is shown again.
    h += Html::line(de ? "Bereits bei eBay angemeldet?" : "Already an eBay user?");
    if (failed)
        h += Html::line(de ? "Mitgliedsname oder Passwort ist falsch. Bitte versuchen Sie es "
                             "noch einmal."
                           : "Your user ID or password is incorrect. Please try again.");
    h += Html::formBegin("SignInForm", "/ws2/eBayISAPI.dll") +
         Html::hidden("MfcISAPICommand", "SignInWelcome") + pendingFields(pending);
    h += std::string("<div>") + (de ? "Mitgliedsname " : "UserID ") +
         "<input type=\"text\" name=\"userid\" size=\"20\"></div>\n";
    h += std::string("<div>") + (de ? "Passwort " : "Password ") +
         "<input type=\"password\" name=\"pass\" size=\"20\"></div>\n";
    h += submit(de ? "Einloggen" : "Sign In") + "</form>\n";
    return h + Html::end(lang);
}

std::string FlowPages::reviewBid(const Auction& a, const std::string& maxbid,
                                 const std::string& quantity)
{
    const Language lang = a.style().language();
    const bool de = lang == Language::German;
    std::string h = Html::begin(de ? "Gebot best\xC3\xA4tigen" : "Review and Confirm Bid", lang);
    h += Html::heading(de ? "\xC3\x9C"
                            "berpr\xC3\xBC"
                            "fen und Bieten"
                          : "Review and Confirm Bid");
    h += itemLines(a);
    h += Html::line(std::string(de ? "Ihr Maximalgebot: " : "Your maximum bid: ") + maxbid);
    if (a.listing().kind == Auction::Kind::Dutch)
        h += Html::line(std::string(de ? "Anzahl: " : "Number of items: ") + quantity);
    h += Html::formBegin("confirmbid", "/ws/eBayISAPI.dll") +
         Html::hidden("MfcISAPICommand", "MakeBid") +
         Html::hidden("item", std::to_string(a.listing().item)) + Html::hidden("maxbid", maxbid) +
         Html::hidden("quant", quantity) + Html::hidden("confirm", "1") +
         submit(de ? "Gebot best\xC3\xA4tigen" : "Confirm Bid") + "</form>\n";
    return h + Html::end(lang);
}

std::string FlowPages::reviewPurchase(const Auction& a, const std::string& quantity)
{
    const Language lang = a.style().language();
    const bool de = lang == Language::German;
    std::string h = Html::begin(de ? "Kaufen" : "Review and Commit to Buy", lang);
    h += Html::heading(de ? "\xC3\x9C"
                            "berpr\xC3\xBC"
                            "fen und Kaufen"
                          : "Review and Commit to Buy");
    h += itemLines(a);
    h += Html::line(std::string(de ? "Anzahl: " : "Number of items: ") + quantity);
    h += Html::formBegin("confirmbuy", "/ws/eBayISAPI.dll") +
         Html::hidden("MfcISAPICommand", "BinConfirm") +
         Html::hidden("item", std::to_string(a.listing().item)) +
         Html::hidden("quantity", quantity) + Html::hidden("confirm", "1") +
         submit(de ? "Kaufen" : "Commit to Buy") + "</form>\n";
    return h + Html::end(lang);
}

std::string FlowPages::notice(Notice notice, Language lang, const std::string& userid,
                              const std::string& continueHref)
{
    const bool de = lang == Language::German;
    std::string h;
    switch (notice) {
    case Notice::Suspension:
        h = Html::begin(de ? "Hinweis" : "Notice", lang) +
            Html::heading(de ? "Hinweis zur Aufhebung der Sperrung" : "Suspension Notice") +
            Html::line(userid + (de ? ", die Sperrung Ihres Mitgliedskontos wurde aufgehoben."
                                    : ", the suspension of your account has been lifted.")) +
            Html::line(de ? "Bitte lesen Sie die Grunds\xC3\xA4tze, bevor Sie weiter bieten."
                          : "Please read the rules before you bid again.") +
            "<div>" + Html::link(continueHref, de ? "Weiter" : "Continue") + "</div>\n";
        break;
    case Notice::NegativeFeedback:
        h = Html::begin(de ? "Bieten nicht m\xC3\xB6glich" : "Cannot bid", lang) +
            Html::line(de ? "Sie haben weniger als 0 Bewertungspunkte und k\xC3\xB6nnen auf "
                            "diesen Artikel nicht bieten."
                          : "You have a feedback score of -1 or lower and cannot bid on this "
                            "item.");
        break;
    case Notice::BuyingLimit:
        h = Html::begin(de ? "Kauflimit" : "Limit", lang) +
            Html::heading(de ? "Das Kauflimit wurde erreicht" : "Buying Activity Limit Reached");
        break;
    case Notice::ShipCountry:
        h = Html::begin(de ? "Versand" : "Shipping", lang) +
            Html::line(de ? "Sie sind in einem Land angemeldet, in das der Verk\xC3\xA4ufer "
                            "nicht versendet."
                          : "You are registered in a country to which the seller does not "
                            "ship.");
        break;
    case Notice::Blocked:
        h = Html::begin(de ? "Mitgliedskonto" : "Account", lang) +
            Html::heading(de ? "Ihre Anmeldung ist blockiert" : "Registration blocked") +
            Html::line(de ? "Bitte wenden Sie sich an den Kundenservice."
                          : "Please contact customer support.");
        break;
    }
    return h + Html::end(lang);
}

std::string FlowPages::lateBid(const Auction& a)
{
    const Language lang = a.style().language();
    const bool de = lang == Language::German;
    return Html::begin(de ? "Auktion beendet" : "Auction ended", lang) +
           Html::heading(de ? "Auktion beendet" : "Auction ended") + itemLines(a) +
           Html::line(de ? "Ihr Gebot ist nach dem Ende eingegangen und wurde nicht angenommen."
                         : "Your bid arrived after the end and was not placed.") +
           Html::end(lang);
}

std::string FlowPages::message(Language lang, const std::string& title, const std::string& text)
{
    return Html::begin(title, lang) + Html::heading(title) + Html::line(text) + Html::end(lang);
}

std::string FlowPages::retractForm(Language lang, const std::string& userid)
{
    const bool de = lang == Language::German;
    std::string h = Html::begin(de ? "Gebotsr\xC3\xBC"
                                     "cknahme"
                                   : "Bid Retraction",
                                lang);
    h += Html::heading(de ? "Gebotsr\xC3\xBC"
                            "cknahme"
                          : "Bid Retraction");
    h += Html::line((de ? "Angemeldet als " : "Signed in as ") + userid);
    h += Html::formBegin("RetractBidForm", "/aw-cgi/eBayISAPI.dll") +
         Html::hidden("MfcISAPICommand", "RetractBid");
    h += std::string("<div>") + (de ? "Artikelnummer " : "Item number ") +
         "<input type=\"text\" name=\"item\" size=\"14\"></div>\n";
    h += std::string("<div>") + (de ? "Grund " : "Reason ") + "<select name=\"info\">" +
         "<option value=\"0\" selected>" + (de ? "Bitte w\xC3\xA4hlen" : "Choose a reason") +
         "</option><option value=\"1\">" +
         (de ? "Falscher Betrag eingegeben" : "Entered wrong amount") +
         "</option><option value=\"2\">" +
         (de ? "Beschreibung wurde ge\xC3\xA4ndert" : "Seller changed the description") +
         "</option><option value=\"3\">" +
         (de ? "Verk\xC3\xA4ufer nicht erreichbar" : "Cannot reach the seller") +
         "</option></select></div>\n";
    h += submit(de ? "Gebot zur\xC3\xBC"
                     "cknehmen"
                   : "Retract bid") +
         "</form>\n";
    return h + Html::end(lang);
}

std::string FlowPages::retractDone(Language lang, const std::string& item)
{
    const bool de = lang == Language::German;
    return message(lang,
                   de ? "Gebot zur\xC3\xBC"
                        "ckgenommen"
                      : "Bid retracted",
                   de ? "Ihre Gebote auf Artikel " + item +
                            " wurden zur\xC3\xBC"
                            "ckgenommen."
                      : "Your bids on item " + item + " have been retracted.");
}

std::string FlowPages::myArea(Language lang, const std::string& userid)
{
    const bool de = lang == Language::German;
    return message(lang, de ? "Mein eBay" : "My eBay",
                   (de ? "Hallo " : "Hello ") + userid +
                       (de ? ", Sie sind eingeloggt." : ", you are signed in."));
}
