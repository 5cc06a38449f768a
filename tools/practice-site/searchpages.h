#pragma once

#include "sitestyle.h"

#include <string>
#include <vector>

class Auction;
class SiteRequest;

// The search service: the result table with the class names a sniper looks for, the basic
// search page with its select lists, and the category listings.
class SearchPages
{
public:
    // Filters and sorts `auctions` by the search address's parameters.
    static std::string results(const SiteRequest& request, const std::vector<Auction*>& auctions,
                               double now, Language fallback);
    static std::string basicSearch(Language language);
    // Empty when there is no such category.
    static std::string categoryListing(int category, const std::vector<Auction*>& auctions,
                                       double now, Language language);

    // The listings a search address selects, in result order.
    static std::vector<const Auction*> select(const SiteRequest& request,
                                              const std::vector<Auction*>& auctions, double now);
};
