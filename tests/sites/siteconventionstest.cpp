#include "sites/siteconventions.h"
#include "sites/siteaccess.h"
#include "sites/sitehosts.h"
#include "sites/siteprice.h"
#include "sites/sitesettings.h"
#include "support/apphome.h"
#include "support/localzone.h"

#include <gtest/gtest.h>

namespace {

using Order = NumericDateReader::DateOrder;

const QString kUs = SiteHosts::siteName(SiteHosts::UnitedStates);
const QString kUk = SiteHosts::siteName(SiteHosts::UnitedKingdom);
const QString kDe = SiteHosts::siteName(SiteHosts::Germany);
const QString kFr = SiteHosts::siteName(SiteHosts::France);
const QString kDefaultPattern = "([\\d\\.]+\\s[\\d\\:]+)";

} // namespace

TEST(SiteConventions, BuiltInTablesOfTheNationalSites)
{
    LocalZone zone;
    const SiteConventions us = SiteConventions::builtIn(kUs);
    EXPECT_EQ(us.decimalPointer, QChar('.'));
    EXPECT_EQ(us.groupsDivider, QChar(','));
    EXPECT_EQ(us.currencyPlacement, CurrencyPlacement::BeforeAmount);
    EXPECT_TRUE(us.months.startsWith("MM/DD/YY Jan Feb Mar"));
    EXPECT_EQ(us.endTimePattern, kDefaultPattern);

    const SiteConventions de = SiteConventions::builtIn(kDe);
    EXPECT_EQ(de.decimalPointer, QChar(','));
    EXPECT_EQ(de.groupsDivider, QChar('.'));
    EXPECT_EQ(de.currencyPlacement, CurrencyPlacement::BeforeAmount);
    EXPECT_TRUE(de.months.startsWith(QString::fromUtf8("DD/MM/YY Jan Feb M\xC3\xA4r")));

    // The French site has the German characters and writes the currency last, whatever
    // the case of its name; a name that is no known site reads as German.
    for (const QString& name : {kFr, kFr.toUpper()}) {
        const SiteConventions fr = SiteConventions::builtIn(name);
        EXPECT_EQ(fr.decimalPointer, QChar(','));
        EXPECT_EQ(fr.currencyPlacement, CurrencyPlacement::AfterAmount);
        EXPECT_EQ(FormatSitePrice(12.5f, " EUR", fr), "12,50 EUR");
    }
    EXPECT_EQ(SiteConventions::builtIn("127.0.0.1:8080").currencyPlacement,
              CurrencyPlacement::BeforeAmount);
}

TEST(SiteConventions, DateOrderIsTheUsersAtBuildTime)
{
    LocalZone american(kCentralEurope, QLocale(QLocale::English, QLocale::UnitedStates));
    const SiteConventions built = SiteConventions::builtIn(kDe);
    EXPECT_EQ(built.dateOrder, Order::MonthDayYear);
    {
        LocalZone german;
        // Taken when built: a later change of locale does not reach it.
        EXPECT_EQ(built.dateReader().order(), Order::MonthDayYear);
        EXPECT_EQ(SiteConventions::builtIn(kDe).dateOrder, Order::DayMonthYear);
    }
}

TEST(SiteConventions, EmptyValuesGiveNoCharacters)
{
    const SiteConventions conventions = SiteConventions::build(
        kUs, [](const QString& key) { return QString(key == "Other_GroupsDivider" ? ";;" : ""); },
        Order::YearMonthDay);
    EXPECT_TRUE(conventions.decimalPointer.isNull());
    EXPECT_EQ(conventions.groupsDivider, QChar(';'));
    EXPECT_TRUE(conventions.months.isEmpty());
    EXPECT_TRUE(conventions.endTimePattern.isEmpty());
    EXPECT_EQ(conventions.dateOrder, Order::YearMonthDay);
}

class SiteConventionsSettingsTest : public ::testing::Test
{
protected:
    Registry& machine() { return m_home.app().machineRegistry(); }

    LocalZone m_zone;
    AppHome m_home;
    SiteSettings m_sites;
};

TEST_F(SiteConventionsSettingsTest, AnySiteNotOnlyTheCurrentOne)
{
    machine().writeInt("Sites", "sitesCount", 2);
    machine().writeStr("Sites", "siteName1", kUk);
    machine().writeStr("Sites", "siteName2", kDe);
    machine().writeStr("Sites", kUk + "_Other_DecimalPointer", "'");
    machine().writeStr("Sites", kUk + "_Other_Months", "DD/MM/YY jan feb mar");
    m_sites.load(machine(), kDe);

    // A listed site that is not current: its stored values.
    const SiteConventions uk = m_sites.conventions(kUk);
    EXPECT_EQ(uk.decimalPointer, QChar('\''));
    EXPECT_EQ(uk.groupsDivider, QChar(','));
    EXPECT_EQ(uk.months, "DD/MM/YY jan feb mar");
    EXPECT_EQ(uk.currencyPlacement, CurrencyPlacement::BeforeAmount);
    EXPECT_EQ(m_sites.profile().conventions.decimalPointer, QChar(','));

    // Neither listed nor current: the built-in values of its language.
    const SiteConventions fr = m_sites.conventions(kFr);
    EXPECT_EQ(fr.decimalPointer, QChar(','));
    EXPECT_EQ(fr.currencyPlacement, CurrencyPlacement::AfterAmount);
    EXPECT_EQ(fr.months, SiteConventions::builtIn(kFr).months);

    // An edited value counts at once.
    m_sites.setValue(kUk + "_Other_DecimalPointer", ".");
    EXPECT_EQ(m_sites.conventions(kUk).decimalPointer, QChar('.'));
}

TEST_F(SiteConventionsSettingsTest, StoredEndTimePatternCountsAtTheNextBuild)
{
    LoadSiteSettings();
    ASSERT_EQ(CurrentSiteName(), kDe);
    EXPECT_EQ(BuildSiteConventions().endTimePattern, kDefaultPattern);
    EXPECT_EQ(BuildSiteProfile().conventions.endTimePattern, kDefaultPattern);

    // The pattern lives in the machine-wide store only: no reload needed.
    machine().writeStr("Sites", kDe + "_KeyWord_TimeReg", "endet (\\S+ \\S+)");
    machine().writeStr("Sites", kUs + "_KeyWord_TimeReg", "ends (\\S+ \\S+)");
    EXPECT_EQ(BuildSiteConventions().endTimePattern, "endet (\\S+ \\S+)");
    EXPECT_EQ(BuildSiteProfile().conventions.endTimePattern, "endet (\\S+ \\S+)");
    EXPECT_EQ(BuildSiteConventions(kUs).endTimePattern, "ends (\\S+ \\S+)");
    EXPECT_EQ(BuildSiteConventions(kUs).decimalPointer, QChar('.'));
    EXPECT_EQ(BuildSiteConventions(kUk).endTimePattern, kDefaultPattern);
}

TEST(SiteConventionsAccess, WithoutSiteSettingsTheBuiltInOnes)
{
    AppHome home;
    ASSERT_EQ(SiteSettings::current(), nullptr);
    EXPECT_EQ(BuildSiteConventions(kUs).decimalPointer, QChar('.'));
    EXPECT_EQ(BuildSiteProfile().conventions.decimalPointer, QChar(','));
}
