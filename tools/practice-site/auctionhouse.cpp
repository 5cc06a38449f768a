#include "auctionhouse.h"

#include "categorytree.h"
#include "fieldreader.h"

#include <nlohmann/json.hpp>

#include <stdexcept>

namespace {

constexpr int kMaxQuantity = 1000;
constexpr double kMaxSeconds = 10.0 * 365 * 86400;

Auction::Kind kindFrom(const std::string& name, const std::string& where)
{
    if (name == "auction")
        return Auction::Kind::Single;
    if (name == "multi")
        return Auction::Kind::Dutch;
    if (name == "fixed")
        return Auction::Kind::FixedPrice;
    throw std::invalid_argument(where + ": must be \"auction\", \"multi\" or \"fixed\"");
}

double seconds(const FieldReader& r, const std::string& key)
{
    const double v = r.number(key, 0);
    if (v < -kMaxSeconds || v > kMaxSeconds)
        throw std::invalid_argument(r.where(key) + ": out of range");
    return v;
}

// Seconds since 1970, within what the local time conversion of the pages can show.
double absoluteTime(const FieldReader& r, const std::string& key)
{
    const double v = r.number(key, 0);
    if (!(v > 0 && v < 1e11))
        throw std::invalid_argument(r.where(key) + ": not a time in seconds since 1970");
    return v;
}

std::string name(const FieldReader& r, const std::string& key, const std::string& fallback)
{
    std::string v = r.text(key, fallback);
    if (v.empty() || v.size() > 64 || v.find_first_of(" \t\r\n<>&\"") != std::string::npos)
        throw std::invalid_argument(r.where(key) +
                                    ": must be 1 to 64 characters without spaces or markup");
    return v;
}

// Fields that may be set at creation and changed later.
void applyListingFields(const FieldReader& r, Auction::Listing& l)
{
    l.title = r.text("title", l.title);
    if (l.title.size() > 200)
        throw std::invalid_argument(r.where("title") + ": longer than 200 characters");
    l.description = r.text("description", l.description);
    l.seller = name(r, "seller", l.seller);
    l.sellerScore = r.integer("sellerScore", l.sellerScore, -100000, 10000000);
    l.sellerPositive = r.text("sellerPositive", l.sellerPositive);
    l.category = r.integer("category", l.category, 0, 1 << 30);
    if (!CategoryTree::find(l.category))
        throw std::invalid_argument(r.where("category") + ": no such category");
    l.shippingCents = r.money("shipping", l.shippingCents);
    l.isPrivate = r.flag("private", l.isPrivate);
    if (r.has("timeShape") && !SiteStyle::parseTimeShape(r.text("timeShape", ""), l.timeShape))
        throw std::invalid_argument(r.where("timeShape") +
                                    ": must be \"month\", \"numeric\" or \"paren\"");
    if (r.has("charset")) {
        const std::string cs = r.text("charset", "");
        if (cs != "utf-8" && cs != "windows-1252")
            throw std::invalid_argument(r.where("charset") +
                                        ": must be \"utf-8\" or \"windows-1252\"");
        l.windows1252 = cs == "windows-1252";
    }
    l.shipBlocked = r.flag("shipBlocked", l.shipBlocked);
    l.winnerView = r.flag("winnerView", l.winnerView);
}

} // namespace

AuctionHouse::AuctionHouse()
{
    Account user;
    user.userid = kDefaultUser;
    user.password = kDefaultPassword;
    m_accounts[user.userid] = user;
}

void AuctionHouse::load(const Json& script, double now)
{
    const FieldReader r(script, "script");
    AuctionHouse fresh;
    fresh.m_options = m_options;
    if (r.has("language")) {
        const std::string lang = r.text("language", "en");
        if (lang != "en" && lang != "de")
            throw std::invalid_argument("script.language: must be \"en\" or \"de\"");
        fresh.m_options.language = lang == "de" ? Language::German : Language::English;
    }
    const Json& accounts = r.list("accounts");
    for (size_t i = 0; i < accounts.size(); ++i) {
        Account a = accountFrom(accounts[i], "script.accounts[" + std::to_string(i) + "]", nullptr);
        fresh.m_accounts[a.userid] = a;
    }
    const Json& auctions = r.list("auctions");
    for (size_t i = 0; i < auctions.size(); ++i) {
        const std::string ctx = "script.auctions[" + std::to_string(i) + "]";
        try {
            fresh.create(auctions[i], now);
        } catch (const std::invalid_argument& e) {
            throw std::invalid_argument(ctx + " " + e.what());
        }
    }
    m_options = fresh.m_options;
    m_auctions = std::move(fresh.m_auctions);
    m_accounts = std::move(fresh.m_accounts);
    m_sessions.clear();
    m_nextItem = fresh.m_nextItem;
}

Auction& AuctionHouse::create(const Json& input, double now)
{
    const FieldReader r(input, "auction");
    Auction::Listing l;
    if (r.has("item")) {
        l.item = FieldReader::parseItemNumber(r.text("item", ""));
        if (l.item == 0)
            throw std::invalid_argument("auction.item: must be an item number (digits)");
        if (m_auctions.count(l.item))
            throw std::invalid_argument("auction.item: " + std::to_string(l.item) +
                                        " exists already");
    } else {
        while (m_auctions.count(m_nextItem))
            ++m_nextItem;
        l.item = m_nextItem;
    }
    l.site = r.text("site", "us");
    const SiteStyle* style = SiteStyle::find(l.site);
    if (!style)
        throw std::invalid_argument("auction.site: must be one of us, uk, au, de, at, ch, fr");
    l.kind = kindFrom(r.text("kind", "auction"), "auction.kind");
    l.timeShape = style->defaultTimeShape();
    l.title = "Practice item " + std::to_string(l.item);
    l.description = "A practice listing. Nothing is sold here.";
    l.category = CategoryTree::defaultLeaf();
    applyListingFields(r, l);
    l.startCents = r.money(r.has("price") ? "price" : "startPrice", 100);
    if (l.startCents <= 0)
        throw std::invalid_argument("auction.startPrice: must be above 0");
    l.quantity = r.integer("quantity", l.kind == Auction::Kind::Dutch ? 5 : 1, 1, kMaxQuantity);
    if (l.kind == Auction::Kind::Dutch && l.quantity < 2)
        throw std::invalid_argument("auction.quantity: a multi-item auction offers at least 2");
    l.startTime = now - (r.has("startedAgo") ? seconds(r, "startedAgo") : 86400.0);
    l.hasEndTime = !r.flag("noEndTime", false);
    if (!l.hasEndTime && l.kind != Auction::Kind::FixedPrice)
        throw std::invalid_argument("auction.noEndTime: only a fixed-price listing runs "
                                    "without an end time");
    l.endTime = r.has("endTime") ? absoluteTime(r, "endTime")
                                 : now + (r.has("endsIn") ? seconds(r, "endsIn") : 3600.0);

    auto auction = std::make_unique<Auction>(l);
    addBids(
        *auction,
        r.list(l.kind == Auction::Kind::FixedPrice && r.has("purchases") ? "purchases" : "bids"),
        "auction", now);
    Auction& ref = *auction;
    m_auctions[l.item] = std::move(auction);
    if (l.item >= m_nextItem)
        m_nextItem = l.item + 1;
    return ref;
}

void AuctionHouse::change(Auction& auction, const Json& input, double now)
{
    const FieldReader r(input, "auction");
    Auction::Listing l = auction.listing();
    applyListingFields(r, l);
    if (r.has("startPrice") || r.has("price")) {
        if (auction.hasBids())
            throw std::invalid_argument("auction.startPrice: cannot change once bid on");
        l.startCents = r.money(r.has("price") ? "price" : "startPrice", l.startCents);
    }
    const bool newEnd = r.has("endsIn") || r.has("endTime");
    if (newEnd)
        l.endTime = r.has("endTime") ? absoluteTime(r, "endTime") : now + seconds(r, "endsIn");
    auction.advanceTo(now);
    auction.listing() = l;
    if (newEnd)
        auction.reopen();
    addBids(auction, r.list("bids"), "auction", now);
}

void AuctionHouse::addBids(Auction& auction, const Json& list, const std::string& context,
                           double now)
{
    const Auction::Listing& l = auction.listing();
    std::vector<Auction::Bid> bids;
    for (size_t i = 0; i < list.size(); ++i) {
        const FieldReader b(list[i], context + ".bids[" + std::to_string(i) + "]");
        Auction::Bid bid;
        bid.bidder = name(b, b.has("buyer") ? "buyer" : "bidder", "");
        const char* amountKey = b.has("max") ? "max" : "price";
        bid.cents = l.kind == Auction::Kind::FixedPrice ? l.startCents : b.money(amountKey, -1);
        if (bid.cents <= 0)
            throw std::invalid_argument(b.where("max") + ": a bid needs an amount above 0");
        bid.quantity = b.integer("quantity", 1, 1, kMaxQuantity);
        if (b.has("beforeEnd"))
            bid.time = l.endTime - seconds(b, "beforeEnd");
        else
            bid.time = now + seconds(b, "in");
        bids.push_back(bid);
    }
    for (Auction::Bid& bid : bids)
        auction.schedule(std::move(bid));
    auction.advanceTo(now);
}

Auction* AuctionHouse::find(uint64_t item)
{
    const auto it = m_auctions.find(item);
    return it == m_auctions.end() ? nullptr : it->second.get();
}

Auction* AuctionHouse::find(const std::string& itemText)
{
    const uint64_t item = FieldReader::parseItemNumber(itemText);
    return item ? find(item) : nullptr;
}

bool AuctionHouse::remove(uint64_t item)
{
    return m_auctions.erase(item) > 0;
}

std::vector<Auction*> AuctionHouse::auctions()
{
    std::vector<Auction*> out;
    for (auto& entry : m_auctions)
        out.push_back(entry.second.get());
    return out;
}

AuctionHouse::Account AuctionHouse::accountFrom(const Json& input, const std::string& context,
                                                const Account* base)
{
    const FieldReader r(input, context);
    Account a = base ? *base : Account{};
    a.userid = name(r, "userid", a.userid);
    a.password = r.text("password", a.password);
    if (a.password.empty())
        throw std::invalid_argument(r.where("password") + ": an account needs a password");
    a.feedbackScore = r.integer("feedbackScore", a.feedbackScore, -100000, 10000000);
    a.suspensionNotice = r.flag("suspensionNotice", a.suspensionNotice);
    a.negativeFeedback = r.flag("negativeFeedback", a.negativeFeedback);
    a.buyingLimit = r.flag("buyingLimit", a.buyingLimit);
    a.registrationBlocked = r.flag("registrationBlocked", a.registrationBlocked);
    return a;
}

const AuctionHouse::Account* AuctionHouse::account(const std::string& userid) const
{
    const auto it = m_accounts.find(userid);
    return it == m_accounts.end() ? nullptr : &it->second;
}

const AuctionHouse::Account& AuctionHouse::putAccount(const Json& input)
{
    const FieldReader r(input, "account");
    const std::string userid = name(r, "userid", "");
    const Account* existing = account(userid);
    Account a = accountFrom(input, "account", existing);
    m_accounts[userid] = a;
    return m_accounts[userid];
}

Json AuctionHouse::accountsJson() const
{
    Json out = Json::array();
    for (const auto& entry : m_accounts) {
        const Account& a = entry.second;
        out.push_back({{"userid", a.userid},
                       {"password", a.password},
                       {"feedbackScore", a.feedbackScore},
                       {"suspensionNotice", a.suspensionNotice},
                       {"negativeFeedback", a.negativeFeedback},
                       {"buyingLimit", a.buyingLimit},
                       {"registrationBlocked", a.registrationBlocked}});
    }
    return out;
}

std::string AuctionHouse::openSession(const std::string& userid)
{
    // Counted tokens keep runs repeatable; this site guards nothing worth guessing.
    const std::string token = "s" + std::to_string(m_nextSession++);
    m_sessions[token] = Session{userid, false};
    return token;
}

AuctionHouse::Session* AuctionHouse::session(const std::string& token)
{
    const auto it = m_sessions.find(token);
    return it == m_sessions.end() ? nullptr : &it->second;
}

void AuctionHouse::clearSessions()
{
    m_sessions.clear();
}
