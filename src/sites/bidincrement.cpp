#include "sites/bidincrement.h"

#include "sites/siteaccess.h"
#include "sites/sitehosts.h"

#include <cmath>
#include <span>

namespace {

// One band in cents, both limits included; an upper limit of -1 has no limit.
struct Band
{
    long long from;
    long long to;
    float increment;
};

constexpr Band kGermanBands[] = {
    {100, 4999, 0.50f},       {5000, 49999, 1.00f}, {50000, 99999, 5.00f},
    {100000, 499999, 10.00f}, {500000, -1, 50.00f},
};

constexpr Band kUsBands[] = {
    {1, 99, 0.05f},         {100, 499, 0.25f},        {500, 2499, 0.50f},
    {2500, 9999, 1.00f},    {10000, 24999, 2.50f},    {25000, 49999, 5.00f},
    {50000, 99999, 10.00f}, {100000, 249999, 25.00f}, {250000, 499999, 50.00f},
    {500000, -1, 100.00f},
};

constexpr Band kUkBands[] = {
    {1, 100, 0.05f},        {101, 500, 0.20f},       {501, 1500, 0.50f},
    {1501, 6000, 1.00f},    {6001, 15000, 2.00f},    {15001, 30000, 5.00f},
    {30001, 60000, 10.00f}, {60001, 150000, 20.00f}, {150001, 300000, 50.00f},
    {300001, -1, 100.00f},
};

constexpr float kDefaultIncrement = 0.50f;

std::span<const Band> bandsOf(const QString& siteName)
{
    const auto is = [&](int site) { return siteName == SiteHosts::siteName(site); };
    if (is(SiteHosts::Germany) || is(SiteHosts::Austria) || is(SiteHosts::Switzerland))
        return kGermanBands;
    if (is(SiteHosts::UnitedStates) || is(SiteHosts::Australia))
        return kUsBands;
    if (is(SiteHosts::UnitedKingdom))
        return kUkBands;
    return {};
}

} // namespace

float BidIncrement(float price, const QString& siteName)
{
    if (!std::isfinite(price))
        return kDefaultIncrement;
    // Past the last band's start every price falls in the open top band; clamping first
    // keeps the conversion to cents in range.
    const double clamped = std::fmin(std::fmax(static_cast<double>(price), -1.0), 1e12);
    const long long cents = std::llround(clamped * 100.0);
    for (const Band& band : bandsOf(siteName)) {
        if (cents >= band.from && (band.to < 0 || cents <= band.to))
            return band.increment;
    }
    return kDefaultIncrement;
}

float BidIncrement(float price)
{
    return BidIncrement(price, CurrentSiteName());
}
