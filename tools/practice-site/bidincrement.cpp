#include "bidincrement.h"

#include <iterator>

namespace {

struct Band
{
    int64_t from;
    int64_t to; // inclusive; -1 means no upper limit
    int64_t increment;
};

constexpr Band kGerman[] = {
    {100, 4999, 50},        {5000, 49999, 100}, {50000, 99999, 500},
    {100000, 499999, 1000}, {500000, -1, 5000},
};

constexpr Band kUnitedStates[] = {
    {1, 99, 5},           {100, 499, 25},         {500, 2499, 50},
    {2500, 9999, 100},    {10000, 24999, 250},    {25000, 49999, 500},
    {50000, 99999, 1000}, {100000, 249999, 2500}, {250000, 499999, 5000},
    {500000, -1, 10000},
};

constexpr Band kUnitedKingdom[] = {
    {1, 100, 5},          {101, 500, 20},        {501, 1500, 50},
    {1501, 6000, 100},    {6001, 15000, 200},    {15001, 30000, 500},
    {30001, 60000, 1000}, {60001, 150000, 2000}, {150001, 300000, 5000},
    {300001, -1, 10000},
};

constexpr int64_t kDefaultIncrement = 50;

template <size_t N> int64_t lookup(const Band (&bands)[N], int64_t cents)
{
    for (const Band& band : bands) {
        if (cents >= band.from && (band.to < 0 || cents <= band.to))
            return band.increment;
    }
    return kDefaultIncrement;
}

} // namespace

int64_t BidIncrement::forPrice(const std::string& site, int64_t cents)
{
    if (site == "de" || site == "at" || site == "ch")
        return lookup(kGerman, cents);
    if (site == "us" || site == "au")
        return lookup(kUnitedStates, cents);
    if (site == "uk")
        return lookup(kUnitedKingdom, cents);
    return kDefaultIncrement;
}
