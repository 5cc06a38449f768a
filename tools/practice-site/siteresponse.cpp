#include "siteresponse.h"

SiteResponse SiteResponse::html(std::string body, std::string outcome)
{
    SiteResponse r;
    r.body = std::move(body);
    r.outcome = std::move(outcome);
    return r;
}
