#include "auction.h"

#include "bidincrement.h"

#include <nlohmann/json.hpp>

#include <algorithm>

Auction::Auction(Listing listing) : m_listing(std::move(listing))
{
    recompute();
}

const SiteStyle& Auction::style() const
{
    const SiteStyle* style = SiteStyle::find(m_listing.site);
    return style ? *style : SiteStyle::forLanguage(Language::English);
}

void Auction::schedule(Bid bid)
{
    bid.seq = m_nextSeq++;
    m_scheduled.push_back(std::move(bid));
    // Due order is time, then the order the script gave them.
    std::stable_sort(m_scheduled.begin(), m_scheduled.end(),
                     [](const Bid& a, const Bid& b) { return a.time < b.time; });
}

void Auction::advanceTo(double now)
{
    while (!m_scheduled.empty() && m_scheduled.front().time <= now) {
        Bid bid = m_scheduled.front();
        m_scheduled.erase(m_scheduled.begin());
        if (ended(bid.time)) {
            reject(bid, "arrived after the end");
            continue;
        }
        if (m_listing.kind == Kind::FixedPrice)
            buy(bid.bidder, bid.quantity, bid.time);
        else
            apply(bid, bid.time);
    }
}

Auction::Result Auction::placeBid(const std::string& bidder, int64_t cents, int quantity,
                                  double now)
{
    advanceTo(now);
    Bid bid{bidder, cents, quantity, now, m_nextSeq++, {}};
    if (ended(now)) {
        reject(bid, "arrived after the end");
        return Result::Ended;
    }
    return apply(bid, now);
}

Auction::Result Auction::apply(const Bid& bid, double /*now*/)
{
    if (m_listing.kind == Kind::FixedPrice) {
        reject(bid, "fixed-price listing takes no bids");
        return Result::WrongKind;
    }
    if (m_listing.kind == Kind::Dutch) {
        if (bid.quantity < 1 || bid.quantity > m_listing.quantity) {
            reject(bid, "bad quantity");
            return Result::BadQuantity;
        }
        if (bid.cents < minimumBid()) {
            reject(bid, "below the minimum bid");
            return Result::BelowMinimum;
        }
        // A bidder's new bid replaces the earlier one.
        std::erase_if(m_bids, [&](const Bid& b) { return b.bidder == bid.bidder; });
        m_bids.push_back(bid);
        recompute();
        for (const Winner& w : winners())
            if (w.bidder == bid.bidder)
                return Result::HighBidder;
        return Result::Outbid;
    }
    if (!m_high.empty() && bid.bidder == m_high) {
        if (bid.cents <= m_highMax) {
            reject(bid, "not above the bidder's own maximum");
            return Result::NotAboveOwnMaximum;
        }
        m_bids.push_back(bid);
        recompute();
        return Result::RaisedMaximum;
    }
    if (bid.cents < minimumBid()) {
        reject(bid, "below the minimum bid");
        return Result::BelowMinimum;
    }
    m_bids.push_back(bid);
    recompute();
    return m_high == bid.bidder ? Result::HighBidder : Result::Outbid;
}

void Auction::recompute()
{
    m_high.clear();
    m_highMax = 0;
    m_price = m_listing.startCents;
    if (m_listing.kind != Kind::Single)
        return;
    for (const Bid& bid : m_bids) {
        if (m_high.empty()) {
            m_high = bid.bidder;
            m_highMax = bid.cents;
            m_price = m_listing.startCents;
        } else if (bid.bidder == m_high) {
            m_highMax = std::max(m_highMax, bid.cents);
        } else if (bid.cents > m_highMax) {
            // The new bidder leads at one increment over the old maximum, capped at its own.
            const int64_t raised = m_highMax + BidIncrement::forPrice(m_listing.site, m_highMax);
            m_price = std::max(m_price, std::min(bid.cents, raised));
            m_high = bid.bidder;
            m_highMax = bid.cents;
        } else {
            // The leader's proxy answers; on a tie the earlier bid keeps the lead.
            const int64_t raised = bid.cents + BidIncrement::forPrice(m_listing.site, bid.cents);
            m_price = std::max(m_price, std::min(m_highMax, raised));
        }
    }
}

std::vector<Auction::Winner> Auction::dutchAllocation() const
{
    std::vector<Bid> order = m_bids;
    std::stable_sort(order.begin(), order.end(),
                     [](const Bid& a, const Bid& b) { return a.cents > b.cents; });
    std::vector<Winner> out;
    int left = m_listing.quantity;
    for (const Bid& bid : order) {
        if (left == 0)
            break;
        const int take = std::min(left, bid.quantity);
        out.push_back({bid.bidder, bid.cents, take});
        left -= take;
    }
    return out;
}

Auction::Result Auction::buy(const std::string& buyer, int quantity, double now)
{
    Bid bid{buyer, m_listing.startCents, quantity, now, m_nextSeq++, {}};
    if (m_listing.kind != Kind::FixedPrice) {
        reject(bid, "not a fixed-price listing");
        return Result::WrongKind;
    }
    if (ended(now)) {
        reject(bid, "arrived after the end");
        return Result::Ended;
    }
    if (quantity < 1 || quantity > remaining()) {
        reject(bid, "bad quantity");
        return Result::BadQuantity;
    }
    m_bids.push_back(bid);
    if (remaining() == 0)
        m_endedAt = now;
    return Result::Bought;
}

bool Auction::retract(const std::string& bidder, double now)
{
    advanceTo(now);
    if (ended(now) || m_listing.kind == Kind::FixedPrice)
        return false;
    const size_t before = m_bids.size();
    std::erase_if(m_bids, [&](const Bid& b) { return b.bidder == bidder; });
    if (m_bids.size() == before)
        return false;
    recompute();
    return true;
}

void Auction::endNow(double now)
{
    advanceTo(now);
    if (!ended(now))
        m_endedAt = now;
}

bool Auction::ended(double now) const
{
    if (m_endedAt >= 0 && now >= m_endedAt)
        return true;
    return m_listing.hasEndTime && now >= m_listing.endTime;
}

double Auction::endedAt() const
{
    if (m_endedAt >= 0 && (!m_listing.hasEndTime || m_endedAt < m_listing.endTime))
        return m_endedAt;
    return m_listing.endTime;
}

int64_t Auction::currentPrice() const
{
    if (m_listing.kind == Kind::Dutch) {
        // Every winner pays the lowest winning bid once all items are spoken for.
        const std::vector<Winner> w = dutchAllocation();
        return dutchFull() && !w.empty() ? w.back().cents : m_listing.startCents;
    }
    return m_listing.kind == Kind::Single ? m_price : m_listing.startCents;
}

int64_t Auction::minimumBid() const
{
    if (m_listing.kind == Kind::FixedPrice)
        return m_listing.startCents;
    if (m_listing.kind == Kind::Single && m_bids.empty())
        return m_listing.startCents;
    if (m_listing.kind == Kind::Dutch && !dutchFull())
        return m_listing.startCents;
    const int64_t price = currentPrice();
    return price + BidIncrement::forPrice(m_listing.site, price);
}

bool Auction::dutchFull() const
{
    int taken = 0;
    for (const Winner& w : dutchAllocation())
        taken += w.quantity;
    return taken >= m_listing.quantity;
}

std::string Auction::highBidder() const
{
    if (m_listing.kind == Kind::FixedPrice)
        return m_bids.empty() ? std::string() : m_bids.back().bidder;
    return m_high;
}

std::vector<Auction::Winner> Auction::winners() const
{
    switch (m_listing.kind) {
    case Kind::Dutch:
        return dutchAllocation();
    case Kind::Single:
        if (m_high.empty())
            return {};
        return {{m_high, m_price, 1}};
    case Kind::FixedPrice: {
        std::vector<Winner> out;
        for (const Bid& b : m_bids)
            out.push_back({b.bidder, b.cents, b.quantity});
        return out;
    }
    }
    return {};
}

int Auction::remaining() const
{
    if (m_listing.kind != Kind::FixedPrice)
        return m_listing.quantity;
    int sold = 0;
    for (const Bid& b : m_bids)
        sold += b.quantity;
    return std::max(0, m_listing.quantity - sold);
}

void Auction::reject(Bid bid, const char* why)
{
    bid.note = why;
    m_rejected.push_back(std::move(bid));
}

const char* Auction::kindName(Kind kind)
{
    switch (kind) {
    case Kind::Single:
        return "auction";
    case Kind::Dutch:
        return "multi";
    case Kind::FixedPrice:
        return "fixed";
    }
    return "auction";
}

const char* Auction::resultName(Result result)
{
    switch (result) {
    case Result::HighBidder:
        return "highBidder";
    case Result::Outbid:
        return "outbid";
    case Result::RaisedMaximum:
        return "raisedMaximum";
    case Result::BelowMinimum:
        return "belowMinimum";
    case Result::NotAboveOwnMaximum:
        return "notAboveOwnMaximum";
    case Result::BadQuantity:
        return "badQuantity";
    case Result::Ended:
        return "ended";
    case Result::WrongKind:
        return "wrongKind";
    case Result::Bought:
        return "bought";
    }
    return "unknown";
}

namespace {

// Amounts go out in the site's currency, as the control requests take them. Whole cents
// print exactly in the shortest form that reads back the same (0.1, 12.5).
double money(int64_t cents)
{
    return static_cast<double>(cents) / 100.0;
}

Json bidsToJson(const std::vector<Auction::Bid>& bids)
{
    Json out = Json::array();
    for (const Auction::Bid& b : bids) {
        Json j = {{"bidder", b.bidder},
                  {"amount", money(b.cents)},
                  {"quantity", b.quantity},
                  {"time", b.time}};
        if (!b.note.empty())
            j["reason"] = b.note;
        out.push_back(std::move(j));
    }
    return out;
}

} // namespace

Json Auction::toJson(double now) const
{
    const Listing& l = m_listing;
    Json j = {{"item", std::to_string(l.item)},
              {"site", l.site},
              {"kind", kindName(l.kind)},
              {"title", l.title},
              {"category", l.category},
              {"seller", l.seller},
              {"private", l.isPrivate},
              {"quantity", l.quantity},
              {"startPrice", money(l.startCents)},
              {"shipping", money(l.shippingCents)},
              {"timeShape", SiteStyle::timeShapeName(l.timeShape)}};
    if (l.hasEndTime || m_endedAt >= 0) {
        j["endTime"] = endedAt();
        j["endsIn"] = endedAt() - now;
    }
    j["ended"] = ended(now);
    j["currentPrice"] = money(currentPrice());
    j["minimumBid"] = money(minimumBid());
    j["bidCount"] = bidCount();
    j["highBidder"] = highBidder();
    if (l.kind == Kind::Single)
        j["highMaximum"] = money(m_highMax);
    if (l.kind == Kind::FixedPrice)
        j["remaining"] = remaining();
    Json winnersJson = Json::array();
    for (const Winner& w : winners())
        winnersJson.push_back(
            {{"bidder", w.bidder}, {"amount", money(w.cents)}, {"quantity", w.quantity}});
    j["winners"] = std::move(winnersJson);
    j["bids"] = bidsToJson(m_bids);
    j["scheduled"] = bidsToJson(m_scheduled);
    j["rejected"] = bidsToJson(m_rejected);
    return j;
}
