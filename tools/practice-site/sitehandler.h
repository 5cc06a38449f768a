#pragma once

#include "siteresponse.h"

#include <string>

class AuctionHouse;
class FaultSwitch;
class SiteRequest;

// Answers the auction site's own pages (everything but the control interface). The page a
// request asks for is its command on the eBayISAPI.dll paths, else its path.
class SiteHandler
{
public:
    SiteHandler(AuctionHouse& house, FaultSwitch& faults);

    // `baseUrl` ("http://127.0.0.1:PORT") goes into the settings and sites files.
    SiteResponse handle(const SiteRequest& request, double now, const std::string& baseUrl);

    // The name faults and the request log use for a request's page.
    static std::string pageName(const SiteRequest& request);

private:
    SiteResponse dispatchCommand(const SiteRequest& request, double now,
                                 const std::string& baseUrl);

    AuctionHouse& m_house;
    FaultSwitch& m_faults;
};
