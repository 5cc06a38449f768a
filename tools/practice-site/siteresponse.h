#pragma once

#include <string>

// What the site answers to one request, before faults and the HTTP layer see it.
struct SiteResponse
{
    int status = 200;
    std::string contentType = "text/html; charset=utf-8";
    std::string body;
    std::string setCookie;
    std::string user;    // the signed-in member the page was made for
    std::string outcome; // for the request log: what a bid, purchase or sign-in came to

    // A page with the default status and type.
    static SiteResponse html(std::string body, std::string outcome = {});
};
