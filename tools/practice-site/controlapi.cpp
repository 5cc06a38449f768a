#include "controlapi.h"

#include "auctionhouse.h"
#include "defaultscript.h"
#include "faultswitch.h"
#include "fieldreader.h"
#include "requestlog.h"
#include "siteclock.h"
#include "siterequest.h"
#include "updatefiles.h"

#include <nlohmann/json.hpp>

#include <cmath>
#include <stdexcept>

namespace {

// Thrown for answers other than 400 (unknown paths, methods, listings).
struct HttpError
{
    int status;
    std::string message;
};

// Deep nesting is no use to the control interface and would only cost stack when a value
// is copied or written out.
constexpr int kMaxDepth = 64;

// A request body or script; any fault in it is bad input.
Json parseJson(const std::string& text, const std::string& what)
{
    const Json::parser_callback_t limitDepth = [&what](int depth, Json::parse_event_t, Json&) {
        if (depth > kMaxDepth)
            throw std::invalid_argument(what + ": nested deeper than " + std::to_string(kMaxDepth) +
                                        " levels");
        return true;
    };
    try {
        return Json::parse(text, limitDepth);
    } catch (const Json::parse_error& e) {
        // The library's text opens with its exception id, which tells a client nothing.
        std::string message = e.what();
        const size_t tag = message.find("] ");
        if (message.rfind("[json.exception", 0) == 0 && tag != std::string::npos)
            message.erase(0, tag + 2);
        throw std::invalid_argument(what + " is not valid JSON: " + message);
    }
}

SiteResponse json(const Json& value, int status = 200)
{
    SiteResponse r;
    r.status = status;
    r.contentType = "application/json";
    // The request log and error messages repeat what clients sent, which need not be UTF-8.
    r.body = value.dump(-1, ' ', false, Json::error_handler_t::replace) + "\n";
    return r;
}

SiteResponse error(int status, const std::string& message)
{
    return json({{"error", message}}, status);
}

void requireMethod(const std::string& method, std::initializer_list<const char*> allowed)
{
    for (const char* m : allowed)
        if (method == m)
            return;
    throw HttpError{405, "method " + method + " is not allowed here"};
}

bool isWrite(const std::string& method)
{
    return method == "POST" || method == "PUT" || method == "PATCH";
}

} // namespace

ControlApi::ControlApi(AuctionHouse& house, SiteClock& clock, FaultSwitch& faults, RequestLog& log,
                       std::string baseUrl, std::function<void()> shutdown)
    : m_house(house), m_clock(clock), m_faults(faults), m_log(log), m_baseUrl(std::move(baseUrl)),
      m_shutdown(std::move(shutdown))
{
}

void ControlApi::reset(const std::string& script)
{
    load(parseJson(script.empty() ? DefaultScript::text() : script, "script"));
}

void ControlApi::load(const Json& script)
{
    std::lock_guard lock(m_house.mutex());
    m_house.load(script, m_clock.now());
}

SiteResponse ControlApi::handle(const std::string& method, const std::string& path,
                                const std::string& query, const std::string& body)
{
    try {
        const bool blank = body.find_first_not_of(" \t\r\n") == std::string::npos;
        const Json parsed = blank ? Json::object() : parseJson(body, "request body");
        return route(method, path, query, parsed);
    } catch (const HttpError& e) {
        return error(e.status, e.message);
    } catch (const std::invalid_argument& e) {
        return error(400, e.what());
    } catch (const std::exception& e) {
        return error(500, e.what());
    }
}

SiteResponse ControlApi::route(const std::string& method, const std::string& path,
                               const std::string& query, const Json& body)
{
    const auto under = [&path](const std::string& p) {
        return path == p || path.rfind(p + "/", 0) == 0;
    };
    if (path == "/status" || path == "" || path == "/") {
        requireMethod(method, {"GET"});
        return json(status());
    }
    if (under("/auctions"))
        return auctions(method, path.substr(9), body);
    if (path == "/clock")
        return clock(method, body);
    if (path == "/site")
        return site(method, body);
    if (under("/faults"))
        return faults(method, path.substr(7), body);
    if (path == "/log") {
        requireMethod(method, {"GET", "DELETE"});
        if (method == "DELETE") {
            m_log.clear();
            return json(Json::object());
        }
        uint64_t since = 0;
        std::string page;
        for (const auto& f : SiteRequest::parseQuery(query)) {
            if (f.first == "since")
                since = FieldReader::parseItemNumber(f.second);
            if (f.first == "page")
                page = f.second;
        }
        return json(m_log.toJson(since, page));
    }
    if (path == "/accounts") {
        requireMethod(method, {"GET", "POST", "PUT"});
        std::lock_guard lock(m_house.mutex());
        if (isWrite(method))
            m_house.putAccount(body);
        return json(m_house.accountsJson());
    }
    if (path == "/sessions") {
        requireMethod(method, {"DELETE"});
        std::lock_guard lock(m_house.mutex());
        m_house.clearSessions();
        return json(Json::object());
    }
    if (path == "/reset") {
        requireMethod(method, {"POST"});
        // An empty object asks for the built-in listings.
        if (body.is_object() && body.empty())
            reset(std::string());
        else
            load(body);
        m_faults.clear();
        m_log.clear();
        return json(status());
    }
    if (path == "/profile") {
        requireMethod(method, {"GET"});
        return json(UpdateFiles::profileLines(m_baseUrl));
    }
    if (path == "/shutdown") {
        requireMethod(method, {"POST"});
        if (m_shutdown)
            m_shutdown();
        return json(Json::object());
    }
    throw HttpError{404, "no control endpoint " + path};
}

Json ControlApi::status()
{
    Json j = {{"baseUrl", m_baseUrl},
              {"siteTime", m_clock.now()},
              {"offset", m_clock.offset()},
              {"speed", m_clock.speed()}};
    std::lock_guard lock(m_house.mutex());
    j["language"] = m_house.options().language == Language::German ? "de" : "en";
    j["maintenance"] = m_house.options().maintenance;
    j["auctions"] = m_house.auctions().size();
    return j;
}

SiteResponse ControlApi::auctions(const std::string& method, const std::string& rest,
                                  const Json& body)
{
    const double now = m_clock.now();
    std::lock_guard lock(m_house.mutex());
    if (rest.empty() || rest == "/") {
        requireMethod(method, {"GET", "POST"});
        if (method == "POST")
            return json(m_house.create(body, now).toJson(now), 201);
        Json list = Json::array();
        for (Auction* a : m_house.auctions()) {
            a->advanceTo(now);
            list.push_back(a->toJson(now));
        }
        return json(list);
    }
    const size_t slash = rest.find('/', 1);
    const std::string item =
        rest.substr(1, slash == std::string::npos ? std::string::npos : slash - 1);
    const std::string action = slash == std::string::npos ? "" : rest.substr(slash);
    Auction* auction = m_house.find(item);
    if (!auction)
        throw HttpError{404, "no listing " + item};
    if (action == "/end") {
        requireMethod(method, {"POST"});
        auction->endNow(now);
        return json(auction->toJson(now));
    }
    if (action == "/bids")
        return bids(item, body);
    if (!action.empty())
        throw HttpError{404, "no control endpoint /auctions/" + item + action};
    requireMethod(method, {"GET", "POST", "PUT", "PATCH", "DELETE"});
    if (method == "DELETE") {
        m_house.remove(auction->listing().item);
        return json(Json::object());
    }
    if (isWrite(method))
        m_house.change(*auction, body, now);
    auction->advanceTo(now);
    return json(auction->toJson(now));
}

SiteResponse ControlApi::bids(const std::string& item, const Json& body)
{
    // Caller holds the house mutex.
    const double now = m_clock.now();
    Auction& auction = *m_house.find(item);
    const Json list = body.is_array() ? body : Json::array({body});
    Json results = Json::array();
    Json scheduled = Json::array();
    for (size_t i = 0; i < list.size(); ++i) {
        const Json& input = list[i];
        const FieldReader r(input, "bids[" + std::to_string(i) + "]");
        if (r.has("in") || r.has("beforeEnd")) {
            scheduled.push_back(input);
            continue;
        }
        // An immediate bid goes through the same rules as one from the bid form.
        const std::string bidder = r.text(r.has("buyer") ? "buyer" : "bidder", "");
        if (bidder.empty() || bidder.size() > 64 ||
            bidder.find_first_of(" \t\r\n<>&\"") != std::string::npos)
            throw std::invalid_argument(r.where("bidder") + ": must be a member name");
        const int quantity = r.integer("quantity", 1, 1, 1000);
        const Auction::Result result =
            auction.listing().kind == Auction::Kind::FixedPrice
                ? auction.buy(bidder, quantity, now)
                : auction.placeBid(bidder, r.money(r.has("max") ? "max" : "price", 0), quantity,
                                   now);
        results.push_back({{"bidder", bidder}, {"result", Auction::resultName(result)}});
    }
    if (!scheduled.empty())
        m_house.addBids(auction, scheduled, "bids", now);
    Json j = auction.toJson(now);
    j["results"] = std::move(results);
    return json(j);
}

SiteResponse ControlApi::clock(const std::string& method, const Json& body)
{
    requireMethod(method, {"GET", "POST", "PUT", "PATCH"});
    if (isWrite(method)) {
        const FieldReader r(body, "clock");
        // "offsetMs" gives the offset in milliseconds; "offset" in (possibly fractional) seconds.
        const bool hasOffset = r.has("offset") || r.has("offsetMs");
        const double offset =
            r.has("offsetMs") ? r.number("offsetMs", 0) / 1000.0 : r.number("offset", 0);
        const double speed = r.number("speed", 1);
        const double advance = r.number("advance", 0);
        if (r.has("offset") && r.has("offsetMs"))
            throw std::invalid_argument("clock: give either offset or offsetMs");
        if (hasOffset && !(offset > -1e9 && offset < 1e9))
            throw std::invalid_argument(r.has("offsetMs") ? "clock.offsetMs: out of range"
                                                          : "clock.offset: out of range");
        if (r.has("speed") && !(speed > 0 && speed <= 100000))
            throw std::invalid_argument("clock.speed: must be above 0 and at most 100000");
        if (!(advance > -1e9 && advance < 1e9))
            throw std::invalid_argument("clock.advance: out of range");
        if (hasOffset)
            m_clock.setOffset(offset);
        if (r.has("speed"))
            m_clock.setSpeed(speed);
        if (r.has("advance"))
            m_clock.advance(advance);
    }
    return json({{"siteTime", m_clock.now()},
                 {"machineTime", m_clock.machineNow()},
                 {"offset", m_clock.offset()},
                 {"offsetMs", std::llround(m_clock.offset() * 1000)},
                 {"speed", m_clock.speed()}});
}

SiteResponse ControlApi::site(const std::string& method, const Json& body)
{
    requireMethod(method, {"GET", "POST", "PUT", "PATCH"});
    std::lock_guard lock(m_house.mutex());
    AuctionHouse::Options& o = m_house.options();
    if (isWrite(method)) {
        const FieldReader r(body, "site");
        AuctionHouse::Options next = o;
        if (r.has("language")) {
            const std::string lang = r.text("language", "");
            if (lang != "en" && lang != "de")
                throw std::invalid_argument("site.language: must be \"en\" or \"de\"");
            next.language = lang == "de" ? Language::German : Language::English;
        }
        next.maintenance = r.flag("maintenance", o.maintenance);
        next.alwaysSignIn = r.flag("alwaysSignIn", o.alwaysSignIn);
        next.settingsVersion = static_cast<unsigned>(
            r.integer("settingsVersion", static_cast<int>(o.settingsVersion), 0, 0x7FFFFFFF));
        next.programVersion = static_cast<unsigned>(
            r.integer("programVersion", static_cast<int>(o.programVersion), 0, 0x7FFFFFFF));
        next.patchName = r.text("patchName", o.patchName);
        if (next.patchName.empty() || next.patchName.find_first_of("/\\?#") != std::string::npos)
            throw std::invalid_argument("site.patchName: a file name without / \\ ? #");
        next.patchBytes = r.integer("patchBytes", o.patchBytes, 0, 0x7FFFFFFF);
        next.patchRate = r.integer("patchRate", o.patchRate, 0, 0x7FFFFFFF);
        next.patchUser = r.text("patchUser", o.patchUser);
        next.patchPassword = r.text("patchPassword", o.patchPassword);
        o = next;
    }
    return json({{"language", o.language == Language::German ? "de" : "en"},
                 {"maintenance", o.maintenance},
                 {"alwaysSignIn", o.alwaysSignIn},
                 {"settingsVersion", o.settingsVersion},
                 {"programVersion", o.programVersion},
                 {"patchName", o.patchName},
                 {"patchBytes", o.patchBytes},
                 {"patchRate", o.patchRate},
                 {"patchUser", o.patchUser}});
}

SiteResponse ControlApi::faults(const std::string& method, const std::string& rest,
                                const Json& body)
{
    if (rest.empty() || rest == "/") {
        requireMethod(method, {"GET", "POST", "DELETE"});
        if (method == "DELETE")
            m_faults.clear();
        if (method == "POST")
            return json({{"id", m_faults.add(body)}}, 201);
        return json(m_faults.toJson());
    }
    requireMethod(method, {"DELETE"});
    const uint64_t id = FieldReader::parseItemNumber(rest.substr(1));
    if (id == 0 || id > 1000000000 || !m_faults.remove(static_cast<int>(id)))
        throw HttpError{404, "no fault " + rest.substr(1)};
    return json(Json::object());
}
