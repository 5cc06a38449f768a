#include "sites/sitesettings.h"
#include "engine/headlessmainwindow.h"
#include "sites/siteaccess.h"
#include "sites/sitehosts.h"
#include "support/apphome.h"

#include <atomic>
#include <gtest/gtest.h>
#include <thread>

namespace {

const QString kUs = SiteHosts::siteName(SiteHosts::UnitedStates);
const QString kDe = SiteHosts::siteName(SiteHosts::Germany);
const QString kUk = SiteHosts::siteName(SiteHosts::UnitedKingdom);

// Counts the site-changed notifications; everything else as the daemon's window does it.
class FakeWindow : public HeadlessMainWindow
{
public:
    FakeWindow() : HeadlessMainWindow(false) {}
    void siteChanged() override { ++siteChanges; }

    int siteChanges = 0;
};

class SiteSettingsTest : public ::testing::Test
{
protected:
    Registry& machine() { return m_home.app().machineRegistry(); }
    void writeSites(int count, const QStringList& names)
    {
        machine().writeInt("Sites", "sitesCount", count);
        for (int i = 0; i < names.size(); ++i)
            machine().writeStr("Sites", QString("siteName%1").arg(i + 1), names[i]);
    }

    AppHome m_home;
    SiteSettings m_sites;
};

} // namespace

TEST_F(SiteSettingsTest, NoSitesKeyGivesUsAndGermanSites)
{
    ASSERT_TRUE(LoadSiteSettings());
    EXPECT_EQ(m_sites.siteList(), QStringList({kUs, kDe}));
    EXPECT_EQ(m_sites.sitesCount(), 2);
    EXPECT_EQ(m_sites.value(kUs + "_KeyWord_CurPrice"), "Current bid:");
    EXPECT_EQ(m_sites.value(kDe + "_KeyWord_CurPrice"), "Aktuelles Gebot:");
    EXPECT_EQ(m_sites.command("bidretractCmd"), "RetractBid");
    EXPECT_EQ(m_sites.currentSite(), kDe);
    EXPECT_TRUE(machine().valueNames("Sites").isEmpty()); // loading writes nothing back
    EXPECT_TRUE(m_home.logText().contains("Load Site Settings >> OK!"));
}

TEST_F(SiteSettingsTest, SiteListAsReadWithoutDuplicates)
{
    // A count above the stored names reads the German default again.
    writeSites(3, {kUs, kDe});
    m_sites.load(machine(), kDe);
    EXPECT_EQ(m_sites.siteList(), QStringList({kUs, kDe}));
    EXPECT_EQ(m_sites.sitesCount(), 3);

    SiteSettings reordered;
    writeSites(4, {kUk, "", kUs, kUk});
    reordered.load(machine(), kUs);
    EXPECT_EQ(reordered.siteList(), QStringList({kUk, kUs}));

    // A damaged count neither hangs the load nor leaves the current site without values.
    SiteSettings huge;
    machine().writeInt("Sites", "sitesCount", 2147483647);
    huge.load(machine(), kDe);
    EXPECT_EQ(huge.siteList(), QStringList({kUk, kUs, kDe}));
    SiteSettings negative;
    machine().writeInt("Sites", "sitesCount", -4);
    negative.load(machine(), kDe);
    EXPECT_TRUE(negative.siteList().isEmpty());
    EXPECT_EQ(negative.value(kDe + "_KeyWord_ItemID"), "Artikelnummer:");
}

TEST_F(SiteSettingsTest, CanadianAndIrishSitesGetGermanDefaults)
{
    const QString ca = SiteHosts::siteName(SiteHosts::Canada);
    const QString ie = SiteHosts::siteName(SiteHosts::Ireland);
    writeSites(2, {ca, ie});
    m_sites.load(machine(), ca);
    for (const QString& site : {ca, ie}) {
        EXPECT_EQ(m_sites.value(site + "_KeyWord_CurPrice"), "Aktuelles Gebot:");
        EXPECT_TRUE(m_sites.value(site + "_Other_Months").startsWith("DD/MM/YY "));
    }
    const SiteProfile profile = m_sites.profile();
    EXPECT_EQ(profile.conventions.decimalPointer, QChar(','));
    EXPECT_EQ(profile.conventions.groupsDivider, QChar('.'));
}

TEST_F(SiteSettingsTest, RegistryValuesOverrideTheTables)
{
    machine().writeStr("Sites", kDe + "_URL_ViewItem", "http://127.0.0.1:8080/item?i=%s");
    machine().writeStr("Sites", kDe + "_Other_DecimalPointer", "");
    machine().writeStr("Sites", kDe + "_Other_GroupsDivider", ";;");
    m_sites.load(machine(), kDe);
    const SiteProfile profile = m_sites.profile();
    EXPECT_EQ(profile.urlViewItem, "http://127.0.0.1:8080/item?i=%s");
    EXPECT_EQ(profile.keyWordEndTime, "endet:");
    EXPECT_TRUE(profile.conventions.decimalPointer.isNull());
    EXPECT_EQ(profile.conventions.groupsDivider, QChar(';'));
}

TEST_F(SiteSettingsTest, ReloadAddsAndOverwritesButNeverRemoves)
{
    m_sites.load(machine(), kDe);
    m_sites.setValue(kDe + "_Custom", "kept");
    const QString fr = SiteHosts::siteName(SiteHosts::France);
    writeSites(1, {fr});
    machine().writeStr("Sites", fr + "_KeyWord_Cont", "Continuer");
    m_sites.load(machine(), fr);
    EXPECT_EQ(m_sites.siteList(), QStringList({kUs, kDe, fr}));
    EXPECT_EQ(m_sites.value(kDe + "_Custom"), "kept");
    EXPECT_EQ(m_sites.value(fr + "_KeyWord_Cont"), "Continuer");
    // The options page lists the table keys in order, any others after them.
    const SiteSettings::Entries entries = m_sites.siteEntries(kDe);
    EXPECT_EQ(entries.front().first, "KeyWord_Category");
    EXPECT_EQ(entries.back(), std::make_pair(QString("Custom"), QString("kept")));
}

TEST_F(SiteSettingsTest, BuildSiteProfileCopiesAccountAndFillsEveryField)
{
    AppSettings& settings = m_home.app().settings();
    settings.login = "bidder";
    settings.password = "secret";
    settings.bidsEvery = 45;
    settings.showIE = 1;
    LoadSiteSettings();
    // Profiles are built on worker threads too: they see only published settings.
    EXPECT_TRUE(BuildSiteProfile().login.isEmpty());
    m_home.app().publishSettings();

    const SiteProfile profile = BuildSiteProfile();
    EXPECT_EQ(profile.siteName, kDe);
    EXPECT_EQ(profile.login, "bidder");
    EXPECT_EQ(profile.password, "secret");
    EXPECT_EQ(profile.bidsEvery, 45);
    EXPECT_EQ(profile.showIE, 1);
    for (const SiteProfile::TextField& field : SiteProfile::textFields())
        EXPECT_FALSE((profile.*(field.field)).isEmpty()) << field.key;
    EXPECT_EQ(profile.conventions.months, m_sites.value(kDe + "_Other_Months"));
}

TEST_F(SiteSettingsTest, EditedValueIsUsedAtOnceAndSavedOnRequest)
{
    LoadSiteSettings();
    m_sites.setValue(kDe + "_KeyWord_Cont", "Fortfahren");
    EXPECT_EQ(BuildSiteProfile().keyWordCont, "Fortfahren");
    EXPECT_FALSE(machine().contains("Sites", kDe + "_KeyWord_Cont"));
    SaveSiteSettings();
    EXPECT_EQ(machine().readStr("Sites", kDe + "_KeyWord_Cont"), "Fortfahren");
    EXPECT_EQ(machine().valueNames("Sites").size(), m_sites.valueCount());
}

TEST_F(SiteSettingsTest, LookupAndSiteNumberUseTheCurrentSite)
{
    LoadSiteSettings();
    EXPECT_EQ(LookupSiteKey("%s_KeyWord_Description"), "Beschreibung");
    EXPECT_TRUE(LookupSiteKey("%s_NoSuchKey").isEmpty());
    EXPECT_EQ(LookupSiteKey(kUs + "_KeyWord_Description"), "Description");
    EXPECT_EQ(SiteNumber(), SiteHosts::Germany);
    EXPECT_EQ(SiteNumber("www.EBAY.fr"), SiteHosts::France);
    EXPECT_EQ(SiteNumber("www.ebay.co"), 0);
}

TEST_F(SiteSettingsTest, SetCurrentSiteStoresNotifiesAndLoadsTheProfile)
{
    FakeWindow window;
    m_home.app().setMainWindow(&window);
    LoadSiteSettings();
    EXPECT_FALSE(SetCurrentSite(kDe));
    EXPECT_FALSE(SetCurrentSite(""));
    EXPECT_EQ(window.siteChanges, 0);

    ASSERT_TRUE(SetCurrentSite(kUk));
    EXPECT_EQ(window.siteChanges, 1);
    EXPECT_EQ(m_home.app().settings().currentSite, kUk);
    EXPECT_EQ(m_home.app().userRegistry().readStr("Options", "currentSite"), kUk);
    EXPECT_EQ(SiteNumber(), SiteHosts::UnitedKingdom);
    // The United Kingdom is not listed, yet choosing it gives a usable English profile.
    EXPECT_EQ(BuildSiteProfile().keyWordCurPrice, "Current bid:");
    EXPECT_EQ(m_sites.siteList(), QStringList({kUs, kDe}));
    m_home.app().setMainWindow(nullptr);
}

TEST(SiteAccess, WithoutSiteSettingsLookupsAreEmpty)
{
    AppHome home;
    ASSERT_EQ(SiteSettings::current(), nullptr);
    EXPECT_FALSE(LoadSiteSettings());
    EXPECT_TRUE(LookupSiteKey("%s_URL_ViewItem").isEmpty());
    EXPECT_EQ(BuildSiteProfile().siteName, kDe);
}

// Readers take whole profiles while another thread reloads: each must come from one
// generation of values, never half old and half new.
TEST_F(SiteSettingsTest, ReloadWhileReading)
{
    const auto writeGeneration = [&](int generation) {
        const QString tag = QString::number(generation);
        machine().writeStr("Sites", kDe + "_URL_ViewItem", tag);
        machine().writeStr("Sites", kDe + "_KeyWord_CurPrice", tag);
        machine().writeStr("Sites", kDe + "_Other_Months", "DD/MM/YY " + tag);
    };
    writeGeneration(0);
    LoadSiteSettings();

    std::atomic<bool> stop{false};
    std::atomic<int> torn{0};
    std::atomic<int> reads{0};
    const auto reader = [&] {
        while (!stop.load()) {
            const SiteProfile profile = BuildSiteProfile();
            if (profile.urlViewItem != profile.keyWordCurPrice || profile.urlViewItem.isEmpty() ||
                profile.conventions.months != "DD/MM/YY " + profile.urlViewItem ||
                LookupSiteKey("%s_Other_Months").isEmpty())
                ++torn;
            ++reads;
        }
    };
    std::thread first(reader);
    std::thread second(reader);
    // At least 60 generations, and more until the readers have had their turn: on a busy
    // machine they may not be scheduled before the first 60 are done.
    int generation = 0;
    while (generation < 60 || (reads.load() < 20 && generation < 100000)) {
        ++generation;
        writeGeneration(generation);
        LoadSiteSettings();
        m_sites.setValue(kDe + "_KeyWord_Cont", QString::number(generation));
    }
    stop.store(true);
    first.join();
    second.join();
    EXPECT_EQ(torn.load(), 0);
    EXPECT_GT(reads.load(), 0);
    EXPECT_EQ(BuildSiteProfile().urlViewItem, QString::number(generation));
}
