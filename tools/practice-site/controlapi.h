#pragma once

#include "json.h"
#include "siteresponse.h"

#include <functional>
#include <string>

class AuctionHouse;
class FaultSwitch;
class RequestLog;
class SiteClock;

// The JSON control interface for tests, under /_control: listings, clock, site switches,
// faults, accounts, sessions and the request log. Bad input gets 400 with {"error": ...}.
class ControlApi
{
public:
    static constexpr const char* kPrefix = "/_control";

    ControlApi(AuctionHouse& house, SiteClock& clock, FaultSwitch& faults, RequestLog& log,
               std::string baseUrl, std::function<void()> shutdown);

    // `path` is the part after the prefix, such as "/auctions/3000000001/end".
    SiteResponse handle(const std::string& method, const std::string& path,
                        const std::string& query, const std::string& body);

    // The built-in script when `script` is empty.
    void reset(const std::string& script);

private:
    void load(const Json& script);
    SiteResponse route(const std::string& method, const std::string& path, const std::string& query,
                       const Json& body);
    SiteResponse auctions(const std::string& method, const std::string& rest, const Json& body);
    SiteResponse bids(const std::string& item, const Json& body);
    SiteResponse clock(const std::string& method, const Json& body);
    SiteResponse site(const std::string& method, const Json& body);
    SiteResponse faults(const std::string& method, const std::string& rest, const Json& body);
    Json status();

    AuctionHouse& m_house;
    SiteClock& m_clock;
    FaultSwitch& m_faults;
    RequestLog& m_log;
    std::string m_baseUrl;
    std::function<void()> m_shutdown;
};
