#include "sitehandler.h"

#include "auctionhouse.h"
#include "bidflow.h"
#include "faultswitch.h"
#include "infopages.h"
#include "searchpages.h"
#include "siteassets.h"
#include "siterequest.h"
#include "updatefiles.h"

namespace {

bool isCommandPath(const std::string& path)
{
    return path == "/ws/eBayISAPI.dll" || path == "/ws2/eBayISAPI.dll" ||
           path == "/aw-cgi/eBayISAPI.dll" || path == "/saw-cgi/eBayISAPI.dll";
}

SiteResponse notFound(const std::string& what)
{
    SiteResponse r = SiteResponse::html(InfoPages::notFound(what), "notFound");
    r.status = 404;
    return r;
}

SiteResponse text(std::string body)
{
    SiteResponse r;
    r.contentType = "text/plain; charset=utf-8";
    r.body = std::move(body);
    return r;
}

// "/aw/plistings/category11116/index.html" gives 11116; 0 when the path is another.
int categoryOf(const std::string& path)
{
    const std::string prefix = "/aw/plistings/category";
    const std::string suffix = "/index.html";
    if (path.rfind(prefix, 0) != 0 || path.size() <= prefix.size() + suffix.size() ||
        path.compare(path.size() - suffix.size(), suffix.size(), suffix) != 0)
        return 0;
    const std::string digits =
        path.substr(prefix.size(), path.size() - prefix.size() - suffix.size());
    if (digits.empty() || digits.size() > 9 ||
        digits.find_first_not_of("0123456789") != std::string::npos)
        return 0;
    return std::stoi(digits);
}

} // namespace

SiteHandler::SiteHandler(AuctionHouse& house, FaultSwitch& faults)
    : m_house(house), m_faults(faults)
{
}

std::string SiteHandler::pageName(const SiteRequest& request)
{
    if (isCommandPath(request.path()) && !request.command().empty())
        return request.command();
    return request.path();
}

SiteResponse SiteHandler::handle(const SiteRequest& request, double now, const std::string& baseUrl)
{
    const std::string& path = request.path();
    SiteResponse r;
    if (SiteAssets::find(path, r.body, r.contentType))
        return r;

    std::lock_guard lock(m_house.mutex());
    if (isCommandPath(path))
        return dispatchCommand(request, now, baseUrl);

    const Language lang = m_house.options().language;
    if (path == "/" || path == "/index.html") {
        std::vector<const Auction*> running;
        for (const Auction* a : m_house.auctions())
            if (!a->ended(now))
                running.push_back(a);
        return SiteResponse::html(InfoPages::home(lang, running));
    }
    if (path == "/search/search.dll")
        return SiteResponse::html(SearchPages::results(request, m_house.auctions(), now, lang));
    if (path == "/search/items/basicsearch.html")
        return SiteResponse::html(SearchPages::basicSearch(lang));
    if (const int category = categoryOf(path)) {
        std::string page = SearchPages::categoryListing(category, m_house.auctions(), now, lang);
        return page.empty() ? notFound("category " + std::to_string(category))
                            : SiteResponse::html(std::move(page));
    }
    if (path == "/help/buy/bid-retract.html")
        return SiteResponse::html(InfoPages::retractHelp(lang));
    if (path == "/help/guide.html")
        return SiteResponse::html(InfoPages::registration(lang));
    if (path == "/update/settings.txt")
        return text(UpdateFiles::settingsFile(baseUrl, m_house.options().programVersion,
                                              m_house.options().settingsVersion,
                                              m_house.options().patchName));
    if (path == "/update/sites.txt")
        return text(UpdateFiles::sitesFile(baseUrl, m_faults.settingsReplacements()));
    return notFound(path);
}

SiteResponse SiteHandler::dispatchCommand(const SiteRequest& request, double now,
                                          const std::string& baseUrl)
{
    BidFlow flow(m_house, now, baseUrl);
    const std::string& command = request.command();
    const Language lang = m_house.options().language;

    if (command == "ViewItem") {
        Auction* auction = m_house.find(request.item());
        if (!auction)
            return SiteResponse::html(InfoPages::invalidItem(request.item()), "invalidItem");
        auction->advanceTo(now);
        const AuctionHouse::Session* s = flow.session(request);
        return flow.itemPage(*auction, s ? s->userid : std::string(), std::string(), {});
    }
    if (command == "MakeBid")
        return flow.makeBid(request);
    if (command == "BinConfirm")
        return flow.buyItNow(request);
    if (command == "SignIn")
        return flow.signInPage(request);
    if (command == "SignInWelcome")
        return flow.signIn(request);
    if (command == "AcceptNotice")
        return flow.acceptNotice(request);
    if (command == "RetractBidShow")
        return flow.retractShow(request);
    if (command == "RetractBid")
        return flow.retract(request);
    if (command == "MyEbayLogin")
        return flow.myArea(request);
    if (command == "TimeShow")
        return SiteResponse::html(InfoPages::officialTime(now));
    if (command == "ViewBidsDutchHighBidder" || command == "ViewBids") {
        Auction* auction = m_house.find(request.item());
        if (!auction)
            return SiteResponse::html(InfoPages::invalidItem(request.item()), "invalidItem");
        auction->advanceTo(now);
        return SiteResponse::html(command == "ViewBids" ? InfoPages::bidHistory(*auction)
                                                        : InfoPages::highBidders(*auction));
    }
    if (command == "ReturnUserEmail")
        return SiteResponse::html(InfoPages::contactMember(lang, request.field("requested")));
    if (command == "SendUserEmail")
        return SiteResponse::html(FlowPages::message(lang, "Message", "Message sent."), "sent");
    if (command == "RegisterEnterInfo")
        return SiteResponse::html(InfoPages::registration(lang));
    return notFound(request.path() + "?" + command);
}
