#include "sites/siteprice.h"
#include "sites/sitehosts.h"

#include <gtest/gtest.h>
#include <limits>

namespace {

const QString kFrance = SiteHosts::siteName(SiteHosts::France);
const QString kUs = SiteHosts::siteName(SiteHosts::UnitedStates);
const QString kGermany = SiteHosts::siteName(SiteHosts::Germany);
const QString kSwitzerland = SiteHosts::siteName(SiteHosts::Switzerland);

SiteConventions builtIn(const QString& site)
{
    return SiteConventions::builtIn(site);
}

} // namespace

TEST(ParseSitePrice, GermanAndEnglishShapes)
{
    qsizetype end = -1;
    EXPECT_FLOAT_EQ(ParseSitePrice(u"12,50 EUR", ',', '.', &end), 12.50f);
    EXPECT_EQ(end, 5);
    EXPECT_FLOAT_EQ(ParseSitePrice(u"1.234,50 EUR", ',', '.', &end), 1234.50f);
    EXPECT_EQ(end, 8);
    EXPECT_FLOAT_EQ(ParseSitePrice(u"1,234.50", '.', ',', &end), 1234.50f);
    EXPECT_EQ(end, 8);
    // The German text read with English characters is a different number, as on the site.
    EXPECT_FLOAT_EQ(ParseSitePrice(u"1.234,50", '.', ',', &end), 1.23450f);
}

TEST(ParseSitePrice, NoDigitsAndOddCharacters)
{
    qsizetype end = -1;
    EXPECT_FLOAT_EQ(ParseSitePrice(u"", ',', '.', &end), 0.0f);
    EXPECT_EQ(end, 0);
    EXPECT_FLOAT_EQ(ParseSitePrice(u"EUR 5", ',', '.', &end), 0.0f);
    EXPECT_EQ(end, 0);
    EXPECT_FLOAT_EQ(ParseSitePrice(u",", ',', '.'), 0.0f);
    EXPECT_FLOAT_EQ(ParseSitePrice(u"1,2,3", ',', '.'), 1.2f);
    // An empty site value gives NUL characters, which never match, not even a NUL.
    const QString withNul = QString::fromUtf16(u"12\0"
                                               "50",
                                               5);
    EXPECT_FLOAT_EQ(ParseSitePrice(withNul, QChar(), QChar(), &end), 12.0f);
    EXPECT_EQ(end, 2);
    // Digits of other scripts are no price digits.
    EXPECT_FLOAT_EQ(ParseSitePrice(u"1\u0663", ',', '.', &end), 1.0f);
    EXPECT_EQ(end, 1);
}

TEST(ParseSitePrice, HugeNumbersSaturate)
{
    const QString digits(5000, QChar('9'));
    EXPECT_FLOAT_EQ(ParseSitePrice(digits, ',', '.'), std::numeric_limits<float>::max());
    EXPECT_FLOAT_EQ(ParseSitePrice(QString("0,") + QString(5000, QChar('0')) + "1", ',', '.'),
                    0.0f);
}

TEST(ParseSitePrice, ReadsWithTheSitesCharacters)
{
    qsizetype end = -1;
    EXPECT_FLOAT_EQ(ParseSitePrice(u"1.234,50 EUR", builtIn(kGermany), &end), 1234.50f);
    EXPECT_EQ(end, 8);
    EXPECT_FLOAT_EQ(ParseSitePrice(u"1,234.50", builtIn(kUs)), 1234.50f);
    EXPECT_FLOAT_EQ(ParseSitePrice(u"12,50 EUR", builtIn(kFrance)), 12.50f);
    // The same text means another amount on the other site.
    EXPECT_FLOAT_EQ(ParseSitePrice(u"1.234,50", builtIn(kUs)), 1.23450f);
    // Empty site values: neither character is read.
    EXPECT_FLOAT_EQ(ParseSitePrice(u"1,234.50", SiteConventions(), &end), 1.0f);
    EXPECT_EQ(end, 1);
}

TEST(FormatSitePrice, CurrencySideAndDecimalPointer)
{
    EXPECT_EQ(FormatSitePrice(12.5f, " EUR", builtIn(kFrance)), "12,50 EUR");
    EXPECT_EQ(FormatSitePrice(12.5f, "US $", builtIn(kUs)), "US $12.50");
    EXPECT_EQ(FormatSitePrice(1234.5f, "EUR ", builtIn(kGermany)), "EUR 1234,50");
    // Only the amount takes the site's pointer, and a NUL pointer keeps the point.
    EXPECT_EQ(FormatSitePrice(3.0f, "Fr. ", builtIn(kSwitzerland)), "Fr. 3,00");
    EXPECT_EQ(FormatSitePrice(3.0f, "", SiteConventions()), "3.00");
    EXPECT_EQ(FormatPlainPrice(12.345f, builtIn(kGermany)), "12,35");
    EXPECT_EQ(FormatPlainPrice(99.999f, builtIn(kUs)), "100.00");
    // A plain amount has no currency to place.
    EXPECT_EQ(FormatPlainPrice(7.0f, builtIn(kFrance)), "7,00");
}

TEST(FormatSitePrice, WrittenPricesReadBack)
{
    for (const QString& site : {kUs, kGermany, kFrance}) {
        SCOPED_TRACE(site.toStdString());
        const SiteConventions conventions = builtIn(site);
        const QString written = FormatPlainPrice(1234.56f, conventions);
        EXPECT_FLOAT_EQ(ParseSitePrice(written, conventions), 1234.56f);
    }
}

TEST(ParseUserPrice, CommaOrPointAndTrailingText)
{
    EXPECT_FLOAT_EQ(ParseUserPrice("12,5"), 12.5f);
    EXPECT_FLOAT_EQ(ParseUserPrice("  12.5 EUR"), 12.5f);
    EXPECT_FLOAT_EQ(ParseUserPrice("-3"), -3.0f);
    EXPECT_FLOAT_EQ(ParseUserPrice("EUR 5"), 0.0f);
    EXPECT_FLOAT_EQ(ParseUserPrice(""), 0.0f);
    EXPECT_FLOAT_EQ(ParseUserPrice("0x10"), 0.0f);
    // Not finite or beyond a float: no price at all.
    EXPECT_FLOAT_EQ(ParseUserPrice("inf"), 0.0f);
    EXPECT_FLOAT_EQ(ParseUserPrice("1e39"), 0.0f);
    EXPECT_FLOAT_EQ(ParseUserPrice(QString(10000, QChar('9'))), 0.0f);
}

TEST(ParseUserPrice, MaximumPriceCheck)
{
    EXPECT_TRUE(IsValidMaxPrice(ParseUserPrice("12,5")));
    EXPECT_TRUE(IsValidMaxPrice(ParseUserPrice("0,001")));
    EXPECT_FALSE(IsValidMaxPrice(ParseUserPrice("0,0009")));
    EXPECT_FALSE(IsValidMaxPrice(ParseUserPrice("0")));
    EXPECT_FALSE(IsValidMaxPrice(ParseUserPrice("-5")));
    EXPECT_FALSE(IsValidMaxPrice(std::numeric_limits<float>::quiet_NaN()));
}
