#include "sites/bidincrement.h"
#include "sites/sitehosts.h"

#include <gtest/gtest.h>
#include <limits>

namespace {

float on(int site, float price)
{
    return BidIncrement(price, SiteHosts::siteName(site));
}

} // namespace

TEST(BidIncrement, GermanBandsIncludeBothLimits)
{
    for (int site : {SiteHosts::Germany, SiteHosts::Austria, SiteHosts::Switzerland}) {
        EXPECT_FLOAT_EQ(on(site, 0.80f), 0.50f);
        EXPECT_FLOAT_EQ(on(site, 49.99f), 0.50f);
        EXPECT_FLOAT_EQ(on(site, 50.00f), 1.00f);
        EXPECT_FLOAT_EQ(on(site, 999.99f), 5.00f);
        EXPECT_FLOAT_EQ(on(site, 4999.99f), 10.00f);
        EXPECT_FLOAT_EQ(on(site, 5000.00f), 50.00f);
    }
}

TEST(BidIncrement, UsAustralianAndBritishBands)
{
    for (int site : {SiteHosts::UnitedStates, SiteHosts::Australia}) {
        EXPECT_FLOAT_EQ(on(site, 0.00f), 0.50f);
        EXPECT_FLOAT_EQ(on(site, 0.99f), 0.05f);
        EXPECT_FLOAT_EQ(on(site, 1.00f), 0.25f);
        EXPECT_FLOAT_EQ(on(site, 249.99f), 2.50f);
        EXPECT_FLOAT_EQ(on(site, 2500.00f), 50.00f);
        EXPECT_FLOAT_EQ(on(site, 5000.00f), 100.00f);
    }
    const int uk = SiteHosts::UnitedKingdom;
    EXPECT_FLOAT_EQ(on(uk, 1.00f), 0.05f);
    EXPECT_FLOAT_EQ(on(uk, 1.01f), 0.20f);
    EXPECT_FLOAT_EQ(on(uk, 3000.00f), 50.00f);
    EXPECT_FLOAT_EQ(on(uk, 3000.01f), 100.00f);
}

TEST(BidIncrement, OtherSitesAndOddPrices)
{
    for (int site : {SiteHosts::Italy, SiteHosts::Canada, SiteHosts::France, SiteHosts::Ireland})
        EXPECT_FLOAT_EQ(on(site, 20000.0f), 0.50f);
    // Names compare exactly.
    EXPECT_FLOAT_EQ(BidIncrement(20000.0f, "WWW.EBAY.DE"), 0.50f);
    const int de = SiteHosts::Germany;
    EXPECT_FLOAT_EQ(on(de, -5.0f), 0.50f);
    EXPECT_FLOAT_EQ(on(de, std::numeric_limits<float>::quiet_NaN()), 0.50f);
    EXPECT_FLOAT_EQ(on(de, std::numeric_limits<float>::max()), 50.00f);
}
