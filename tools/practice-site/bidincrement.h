#pragma once

#include <cstdint>
#include <string>

// The site's own bid increment tables, by site code and current price in cents. Kept apart
// from the program's copy on purpose: a wrong band on either side shows up in the tests.
class BidIncrement
{
public:
    static int64_t forPrice(const std::string& site, int64_t cents);
};
