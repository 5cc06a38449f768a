#pragma once

#include "auctionhouse.h"
#include "flowpages.h"
#include "siteresponse.h"

class SiteRequest;

// The forms of bidding, buying, signing in and retracting, as one request each. A bid or
// purchase goes: form on the item page, sign-in (unless a session cookie is sent), the
// member's notices, review and confirm, then the item page with the outcome on top.
// The caller holds the auction house's mutex.
class BidFlow
{
public:
    // `baseUrl` addresses the pictures and script of item pages.
    BidFlow(AuctionHouse& house, double now, std::string baseUrl = {});

    SiteResponse makeBid(const SiteRequest& request);
    SiteResponse buyItNow(const SiteRequest& request);
    SiteResponse signInPage(const SiteRequest& request);
    SiteResponse signIn(const SiteRequest& request);
    SiteResponse acceptNotice(const SiteRequest& request);
    SiteResponse retractShow(const SiteRequest& request);
    SiteResponse retract(const SiteRequest& request);
    SiteResponse myArea(const SiteRequest& request);

    // The item page, in the listing's charset, with a notice on top.
    SiteResponse itemPage(const Auction& auction, const std::string& viewer,
                          const std::string& banner, const std::string& outcome);
    // The member a request's session cookie belongs to, or nullptr.
    AuctionHouse::Session* session(const SiteRequest& request);

private:
    Language languageFor(const std::string& item);
    // Sign-in unless signed in, then the notices, then review or the commitment itself.
    SiteResponse proceed(const SiteRequest& request, const FlowPages::Pending& pending,
                         bool confirm);
    SiteResponse gate(AuctionHouse::Session& session, const FlowPages::Pending& pending,
                      Auction& auction, bool confirm);
    SiteResponse commit(const AuctionHouse::Session& session, const FlowPages::Pending& pending,
                        Auction& auction);
    SiteResponse signInRequired(Language language, const FlowPages::Pending& pending);
    static FlowPages::Pending pendingFrom(const SiteRequest& request, const std::string& mode);

    AuctionHouse& m_house;
    double m_now;
    std::string m_baseUrl;
};
