#pragma once

#include "sitestyle.h"

#include <string>
#include <vector>

class Auction;

// The site's other pages: the official time, maintenance, unknown items, bid lists, help,
// member contact, registration and the home page.
class InfoPages
{
public:
    // Carries both the English and the German time markup, each closed by </font>.
    static std::string officialTime(double now);
    // Says "unavailable" in the words of both sites.
    static std::string maintenance();
    static std::string invalidItem(const std::string& itemText);
    static std::string highBidders(const Auction& auction);
    static std::string bidHistory(const Auction& auction);
    static std::string retractHelp(Language language);
    static std::string contactMember(Language language, const std::string& member);
    static std::string registration(Language language);
    static std::string home(Language language, const std::vector<const Auction*>& running);
    static std::string notFound(const std::string& what);
};
