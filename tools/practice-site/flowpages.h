#pragma once

#include "sitestyle.h"

#include <string>

class Auction;

// The pages between a bid form and its outcome: sign-in, review and confirm, the notices
// that stop a member from bidding, and the bid retraction pages.
class FlowPages
{
public:
    // A bid, purchase or retraction waiting for the member to sign in or confirm.
    struct Pending
    {
        std::string mode; // "bid", "buy", "retract" or empty
        std::string item;
        std::string maxbid;
        std::string quantity;
    };

    enum class Notice
    {
        Suspension,
        NegativeFeedback,
        BuyingLimit,
        ShipCountry,
        Blocked
    };

    // Shown again with `failed` set after wrong credentials.
    static std::string signIn(Language language, const Pending& pending, bool failed);
    static std::string reviewBid(const Auction& auction, const std::string& maxbid,
                                 const std::string& quantity);
    static std::string reviewPurchase(const Auction& auction, const std::string& quantity);
    // `continueHref` is used by the suspension notice only.
    static std::string notice(Notice notice, Language language, const std::string& userid,
                              const std::string& continueHref);
    static std::string lateBid(const Auction& auction);
    static std::string message(Language language, const std::string& title,
                               const std::string& text);
    static std::string retractForm(Language language, const std::string& userid);
    static std::string retractDone(Language language, const std::string& item);
    static std::string myArea(Language language, const std::string& userid);

    // Hidden fields that carry a pending action through a form.
    static std::string pendingFields(const Pending& pending);
    // Query string that carries it through a link.
    static std::string pendingQuery(const Pending& pending);
};
