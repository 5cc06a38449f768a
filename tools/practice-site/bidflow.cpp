#include "bidflow.h"

#include "charset.h"
#include "infopages.h"
#include "itempage.h"
#include "siterequest.h"

namespace {

const char* pick(Language lang, const char* en, const char* de)
{
    return lang == Language::German ? de : en;
}

std::string banner(Auction::Result result, Language lang, const std::string& quantity)
{
    switch (result) {
    case Auction::Result::HighBidder:
        return pick(lang, "Bid confirmation: you are the current high bidder.",
                    "Gebotsbest\xC3\xA4tigung: Sie sind derzeit H\xC3\xB6"
                    "chstbietender.");
    case Auction::Result::RaisedMaximum:
        return pick(lang, "Bid confirmation: your maximum bid has been raised.",
                    "Gebotsbest\xC3\xA4tigung: Ihr Maximalgebot wurde erh\xC3\xB6ht.");
    case Auction::Result::Outbid:
        return pick(lang, "You have been outbid: another bidder has a higher maximum bid.",
                    "Sie wurden \xC3\xBC"
                    "berboten: ein anderes Mitglied hat ein h\xC3\xB6heres Maximalgebot.");
    case Auction::Result::BelowMinimum:
        return pick(lang, "Your bid is below the minimum bid. Please bid again.",
                    "Ihr Gebot liegt unter dem Mindestgebot. Bitte bieten Sie erneut.");
    case Auction::Result::NotAboveOwnMaximum:
        return pick(lang, "Your new maximum bid must be higher than your current one.",
                    "Ihr neues Maximalgebot muss h\xC3\xB6her sein als das bisherige.");
    case Auction::Result::BadQuantity:
        return pick(lang, "Please ask for a quantity that is available.",
                    "Bitte w\xC3\xA4hlen Sie eine verf\xC3\xBC"
                    "gbare Anzahl.");
    case Auction::Result::Bought:
        return (lang == Language::German ? "Kauf best\xC3\xA4tigt: Sie haben "
                                         : "Confirm Your Purchase: you have bought ") +
               quantity + pick(lang, " item(s).", " Artikel gekauft.");
    case Auction::Result::Ended:
    case Auction::Result::WrongKind:
        break;
    }
    return std::string();
}

SiteResponse wrongKind(Language lang, bool buying)
{
    return SiteResponse::html(
        FlowPages::message(lang, pick(lang, "Not possible", "Nicht m\xC3\xB6glich"),
                           buying ? pick(lang, "This listing is an auction: place a bid.",
                                         "Dieses Angebot ist eine Auktion.")
                                  : pick(lang, "This listing has a fixed price.",
                                         "Dieses Angebot hat einen Festpreis.")),
        "wrongKind");
}

int parseQuantity(const std::string& text)
{
    if (text.empty())
        return 1;
    if (text.size() > 6 || text.find_first_not_of("0123456789") != std::string::npos)
        return 0;
    return std::stoi(text);
}

} // namespace

BidFlow::BidFlow(AuctionHouse& house, double now, std::string baseUrl)
    : m_house(house), m_now(now), m_baseUrl(std::move(baseUrl))
{
}

AuctionHouse::Session* BidFlow::session(const SiteRequest& request)
{
    AuctionHouse::Session* s = m_house.session(request.sessionToken());
    return s && m_house.account(s->userid) ? s : nullptr;
}

Language BidFlow::languageFor(const std::string& item)
{
    const Auction* a = m_house.find(item);
    return a ? a->style().language() : m_house.options().language;
}

FlowPages::Pending BidFlow::pendingFrom(const SiteRequest& r, const std::string& mode)
{
    FlowPages::Pending p;
    p.mode = mode.empty() ? r.field("mode") : mode;
    p.item = r.item();
    p.maxbid = r.field("maxbid");
    p.quantity = r.has("quantity") ? r.field("quantity") : r.field("quant");
    return p;
}

SiteResponse BidFlow::itemPage(const Auction& auction, const std::string& viewer,
                               const std::string& bannerText, const std::string& outcome)
{
    SiteResponse r = SiteResponse::html(
        ItemPage::render(auction, m_now, viewer, bannerText, m_baseUrl), outcome);
    if (auction.listing().windows1252) {
        // The charset is left to the page's meta element.
        r.body = Charset::utf8ToWindows1252(r.body);
        r.contentType = "text/html";
    }
    r.user = viewer;
    return r;
}

SiteResponse BidFlow::signInRequired(Language lang, const FlowPages::Pending& pending)
{
    return SiteResponse::html(FlowPages::signIn(lang, pending, false), "signIn");
}

SiteResponse BidFlow::makeBid(const SiteRequest& request)
{
    return proceed(request, pendingFrom(request, "bid"), request.field("confirm") == "1");
}

SiteResponse BidFlow::buyItNow(const SiteRequest& request)
{
    return proceed(request, pendingFrom(request, "buy"), request.field("confirm") == "1");
}

SiteResponse BidFlow::proceed(const SiteRequest& request, const FlowPages::Pending& pending,
                              bool confirm)
{
    Auction* auction = m_house.find(pending.item);
    if (!auction)
        return SiteResponse::html(InfoPages::invalidItem(pending.item), "invalidItem");
    auction->advanceTo(m_now);
    AuctionHouse::Session* s = m_house.options().alwaysSignIn ? nullptr : session(request);
    if (auction->ended(m_now)) {
        // Recorded with the listing, so tests can see the bid that came too late.
        int64_t cents = 0;
        auction->style().parseAmount(pending.maxbid, cents);
        if (pending.mode == "bid")
            auction->placeBid(s ? s->userid : "(not signed in)", cents, 1, m_now);
        else
            auction->buy(s ? s->userid : "(not signed in)", 1, m_now);
        return SiteResponse::html(FlowPages::lateBid(*auction), "ended");
    }
    if (!s)
        return signInRequired(auction->style().language(), pending);
    return gate(*s, pending, *auction, confirm);
}

SiteResponse BidFlow::gate(AuctionHouse::Session& s, const FlowPages::Pending& pending,
                           Auction& auction, bool confirm)
{
    const Language lang = auction.style().language();
    const AuctionHouse::Account* account = m_house.account(s.userid);
    auto notice = [&](FlowPages::Notice n, const char* outcome, const std::string& href = {}) {
        SiteResponse r = SiteResponse::html(FlowPages::notice(n, lang, s.userid, href), outcome);
        r.user = s.userid;
        return r;
    };
    if (auction.ended(m_now))
        return SiteResponse::html(FlowPages::lateBid(auction), "ended");
    if (account->registrationBlocked)
        return notice(FlowPages::Notice::Blocked, "registrationBlocked");
    if (account->suspensionNotice && !s.noticeAccepted)
        return notice(FlowPages::Notice::Suspension, "suspensionNotice",
                      "/ws/eBayISAPI.dll?AcceptNotice&" + FlowPages::pendingQuery(pending));
    if (account->negativeFeedback)
        return notice(FlowPages::Notice::NegativeFeedback, "negativeFeedback");
    if (account->buyingLimit)
        return notice(FlowPages::Notice::BuyingLimit, "buyingLimit");
    if (auction.listing().shipBlocked)
        return notice(FlowPages::Notice::ShipCountry, "shipCountry");
    if (confirm)
        return commit(s, pending, auction);

    const bool buying = pending.mode == "buy";
    if (buying != (auction.listing().kind == Auction::Kind::FixedPrice))
        return wrongKind(lang, buying);
    int64_t cents = 0;
    if (!buying && !auction.style().parseAmount(pending.maxbid, cents))
        return SiteResponse::html(
            FlowPages::message(lang, pick(lang, "Invalid amount", "Ung\xC3\xBCltiger Betrag"),
                               pick(lang, "Please enter a valid amount, such as 12.50.",
                                    "Bitte geben Sie einen g\xC3\xBCltigen Betrag ein, etwa "
                                    "12,50.")),
            "badAmount");
    const std::string quantity = pending.quantity.empty() ? "1" : pending.quantity;
    SiteResponse r =
        SiteResponse::html(buying ? FlowPages::reviewPurchase(auction, quantity)
                                  : FlowPages::reviewBid(auction, pending.maxbid, quantity),
                           "review");
    r.user = s.userid;
    return r;
}

SiteResponse BidFlow::commit(const AuctionHouse::Session& s, const FlowPages::Pending& pending,
                             Auction& auction)
{
    const Language lang = auction.style().language();
    const int quantity = parseQuantity(pending.quantity);
    Auction::Result result;
    if (pending.mode == "buy") {
        result = auction.buy(s.userid, quantity, m_now);
    } else {
        int64_t cents = 0;
        if (!auction.style().parseAmount(pending.maxbid, cents))
            return SiteResponse::html(
                FlowPages::message(lang, pick(lang, "Invalid amount", "Ung\xC3\xBCltiger Betrag"),
                                   pick(lang, "Please enter a valid amount.",
                                        "Bitte geben Sie einen g\xC3\xBCltigen Betrag ein.")),
                "badAmount");
        result = auction.placeBid(
            s.userid, cents, auction.listing().kind == Auction::Kind::Dutch ? quantity : 1, m_now);
    }
    if (result == Auction::Result::Ended)
        return SiteResponse::html(FlowPages::lateBid(auction), "ended");
    if (result == Auction::Result::WrongKind)
        return wrongKind(lang, pending.mode == "buy");
    return itemPage(auction, s.userid, banner(result, lang, std::to_string(quantity)),
                    Auction::resultName(result));
}

SiteResponse BidFlow::signInPage(const SiteRequest& request)
{
    return SiteResponse::html(
        FlowPages::signIn(m_house.options().language, pendingFrom(request, ""), false), "signIn");
}

SiteResponse BidFlow::signIn(const SiteRequest& request)
{
    const FlowPages::Pending pending = pendingFrom(request, "");
    const Language lang = languageFor(pending.item);
    const std::string userid =
        request.has("userid") ? request.field("userid") : request.field("user");
    const AuctionHouse::Account* account = m_house.account(userid);
    if (!account || account->password != request.field("pass"))
        return SiteResponse::html(FlowPages::signIn(lang, pending, true), "badPassword");

    const std::string token = m_house.openSession(userid);
    AuctionHouse::Session& s = *m_house.session(token);
    SiteResponse r;
    if (pending.mode == "bid" || pending.mode == "buy") {
        Auction* auction = m_house.find(pending.item);
        r = auction ? gate(s, pending, *auction, false)
                    : SiteResponse::html(InfoPages::invalidItem(pending.item), "invalidItem");
    } else if (pending.mode == "retract") {
        r = account->registrationBlocked
                ? SiteResponse::html(
                      FlowPages::notice(FlowPages::Notice::Blocked, lang, userid, ""),
                      "registrationBlocked")
                : SiteResponse::html(FlowPages::retractForm(lang, userid), "retractForm");
    } else {
        r = SiteResponse::html(FlowPages::myArea(lang, userid), "signedIn");
    }
    r.setCookie = std::string(SiteRequest::kSessionCookie) + "=" + token + "; Path=/";
    r.user = userid;
    return r;
}

SiteResponse BidFlow::acceptNotice(const SiteRequest& request)
{
    const FlowPages::Pending pending = pendingFrom(request, "");
    AuctionHouse::Session* s = session(request);
    if (!s)
        return signInRequired(languageFor(pending.item), pending);
    s->noticeAccepted = true;
    Auction* auction = m_house.find(pending.item);
    if (!auction)
        return SiteResponse::html(InfoPages::invalidItem(pending.item), "invalidItem");
    return gate(*s, pending, *auction, false);
}

SiteResponse BidFlow::retractShow(const SiteRequest& /*request*/)
{
    // Always the sign-in form: the retraction asks for the password again.
    FlowPages::Pending pending;
    pending.mode = "retract";
    return SiteResponse::html(FlowPages::signIn(m_house.options().language, pending, false),
                              "signIn");
}

SiteResponse BidFlow::retract(const SiteRequest& request)
{
    AuctionHouse::Session* s = session(request);
    const std::string item = request.item();
    const Language lang = languageFor(item);
    if (!s)
        return signInRequired(lang, FlowPages::Pending{"retract", "", "", ""});
    auto message = [&](const char* en, const char* de, const char* outcome) {
        SiteResponse r = SiteResponse::html(FlowPages::message(lang,
                                                               pick(lang, "Bid Retraction",
                                                                    "Gebotsr\xC3\xBC"
                                                                    "cknahme"),
                                                               pick(lang, en, de)),
                                            outcome);
        r.user = s->userid;
        return r;
    };
    if (m_house.account(s->userid)->registrationBlocked)
        return SiteResponse::html(
            FlowPages::notice(FlowPages::Notice::Blocked, lang, s->userid, ""),
            "registrationBlocked");
    Auction* auction = m_house.find(item);
    if (!auction)
        return message("Please enter the number of an item you bid on.",
                       "Bitte geben Sie die Nummer eines Artikels an, auf den Sie geboten "
                       "haben.",
                       "invalidItem");
    const std::string reason = request.field("info");
    if (reason != "1" && reason != "2" && reason != "3")
        return message("Please choose a reason for the retraction.",
                       "Bitte w\xC3\xA4hlen Sie einen Grund.", "noReason");
    if (!auction->retract(s->userid, m_now))
        return message("You have no bids on this item that can be retracted.",
                       "Sie haben keine Gebote auf diesen Artikel, die zur\xC3\xBC"
                       "ckgenommen werden k\xC3\xB6nnen.",
                       "nothingToRetract");
    SiteResponse r = SiteResponse::html(FlowPages::retractDone(lang, item), "retracted");
    r.user = s->userid;
    return r;
}

SiteResponse BidFlow::myArea(const SiteRequest& request)
{
    AuctionHouse::Session* s = session(request);
    if (!s)
        return signInRequired(m_house.options().language, FlowPages::Pending{"", "", "", ""});
    SiteResponse r =
        SiteResponse::html(FlowPages::myArea(m_house.options().language, s->userid), "signedIn");
    r.user = s->userid;
    return r;
}
