#pragma once

#include "json.h"
#include "sitestyle.h"

#include <cstdint>
#include <string>
#include <vector>

// One listing and its bidding. Prices are whole cents, times are site seconds (fractional
// while simulated time runs fast). The state after any change is recomputed from the list
// of accepted bids, so a retraction or a late scripted bid can never leave stale prices.
class Auction
{
public:
    enum class Kind
    {
        Single,
        Dutch,
        FixedPrice
    };
    enum class Result
    {
        HighBidder,
        Outbid,
        RaisedMaximum,
        BelowMinimum,
        NotAboveOwnMaximum,
        BadQuantity,
        Ended,
        WrongKind,
        Bought,
    };

    struct Listing
    {
        uint64_t item = 0;
        std::string site = "us";
        Kind kind = Kind::Single;
        std::string title;
        std::string description;
        std::string seller = "practice_seller";
        int sellerScore = 1234;
        std::string sellerPositive = "99.5%";
        int category = 0;
        int64_t startCents = 100;
        int64_t shippingCents = 450;
        int quantity = 1;
        bool isPrivate = false;
        bool hasEndTime = true;
        double startTime = 0;
        double endTime = 0;
        TimeShape timeShape = TimeShape::Month;
        bool windows1252 = false; // served as Windows-1252 with a meta charset
        bool shipBlocked = false; // the seller does not ship to the bidder's country
        bool winnerView = false;  // the page always shows the winner's own notice
    };

    struct Bid
    {
        std::string bidder;
        int64_t cents = 0; // maximum bid, bid price (multi-item) or unit price paid
        int quantity = 1;
        double time = 0;
        uint64_t seq = 0;
        std::string note; // why a bid was refused
    };

    struct Winner
    {
        std::string bidder;
        int64_t cents = 0;
        int quantity = 0;
    };

    explicit Auction(Listing listing);

    const Listing& listing() const { return m_listing; }
    Listing& listing() { return m_listing; }
    const SiteStyle& style() const;

    // A competing bid that arrives by itself at its time.
    void schedule(Bid bid);
    // Applies the scheduled bids that are due at `now` (and not after the end).
    void advanceTo(double now);

    Result placeBid(const std::string& bidder, int64_t cents, int quantity, double now);
    Result buy(const std::string& buyer, int quantity, double now);
    // Removes every bid of `bidder`; false when there was none or the listing has ended.
    bool retract(const std::string& bidder, double now);
    void endNow(double now);
    // Forgets an early end, after the end time was moved.
    void reopen() { m_endedAt = -1; }

    bool ended(double now) const;
    double endedAt() const;
    bool hasBids() const { return !m_bids.empty(); }
    int bidCount() const { return static_cast<int>(m_bids.size()); }
    int64_t currentPrice() const;
    int64_t minimumBid() const;
    // The leader of a single-item auction or the last buyer of a fixed-price item.
    std::string highBidder() const;
    int64_t highMaximum() const { return m_highMax; }
    std::vector<Winner> winners() const;
    int remaining() const;
    const std::vector<Bid>& bids() const { return m_bids; }

    static const char* kindName(Kind kind);
    static const char* resultName(Result result);
    Json toJson(double now) const;

private:
    Result apply(const Bid& bid, double now);
    void recompute();
    std::vector<Winner> dutchAllocation() const;
    bool dutchFull() const;
    void reject(Bid bid, const char* why);

    Listing m_listing;
    std::vector<Bid> m_bids;      // accepted, in arrival order
    std::vector<Bid> m_scheduled; // not yet arrived
    std::vector<Bid> m_rejected;
    uint64_t m_nextSeq = 1;
    double m_endedAt = -1; // ended early (by control or sold out)

    // Single-item proxy state
    std::string m_high;
    int64_t m_highMax = 0;
    int64_t m_price = 0;
};
