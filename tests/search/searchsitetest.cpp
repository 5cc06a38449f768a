// The Search Service against the practice site: searches on both sites' price shapes, a
// page without results, a broken row, the basic search page, the escaping of the user's
// words, the start-up check of saved searches and `gavelind search`.

#include "app/stringtable.h"
#include "engine/headlessmainwindow.h"
#include "model/bidsdoc.h"
#include "search/basicsearchpage.h"
#include "search/founditems.h"
#include "search/resultpage.h"
#include "search/savedsearches.h"
#include "search/searchaddress.h"
#include "search/searchreport.h"
#include "search/startupsearchcheck.h"
#include "search/startupsearchrunner.h"
#include "sites/bidincrement.h"
#include "sites/sitesettings.h"
#include "support/apphome.h"
#include "support/practicesiteprocess.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTextStream>
#include <gtest/gtest.h>

namespace {

class SearchSiteTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!QFile::exists(PracticeSiteProcess::binaryPath()))
            GTEST_SKIP() << "the practice site is not built";
        m_site = std::make_unique<PracticeSiteProcess>();
        ASSERT_TRUE(m_site->isRunning()) << m_site->errorString().toStdString();
        m_site->writeProfile(machine());
        useSite("www.ebay.com");
    }

    Registry& machine() { return m_home.app().machineRegistry(); }
    void useSite(const QString& site) { m_sites.load(machine(), site); }

    void create(const char* json)
    {
        const auto reply = m_site->control("POST", "/auctions", json);
        ASSERT_TRUE(reply.ok()) << reply.body.constData();
    }

    SearchPageReading search(const QString& keywords, int option = SearchCriteria::AllWords)
    {
        SearchCriteria criteria;
        criteria.keywords = keywords;
        criteria.wordOption = option;
        const auto address = SearchAddress::build(SearchCommands::fromSites(m_sites), criteria,
                                                  SearchAddress::Use::Interactive);
        EXPECT_TRUE(address.ok()) << address.error.toStdString();
        return ResultPage::load(address.url, ResultClassNames::read(machine()));
    }

    AppHome m_home;
    SiteSettings m_sites;
    std::unique_ptr<PracticeSiteProcess> m_site;
};

} // namespace

TEST_F(SearchSiteTest, BothPriceShapesABrokenRowAndAPageWithoutTable)
{
    create(R"({"item":"4600000001","site":"us","title":"Zinc lantern","startPrice":1234.5,
               "endsIn":7200,"bids":[{"bidder":"rival_anna","max":1300,"in":-60}]})");
    create(R"({"item":"4600000002","site":"us","kind":"fixed","title":"Zinc lantern hook",
               "price":15,"quantity":1,"endsIn":7200})");
    create(R"({"item":"4600000003","site":"de","title":"Standuhr Eiche","startPrice":1234.5,
               "endsIn":7200,"bids":[{"bidder":"rival_anna","max":1300,"in":-60}]})");

    CBidsDoc doc(ListEnvironment::of(m_home.app()));
    doc.newDocument();
    FoundItemsOptions options;
    options.folderName = StringTable::text(430);

    const SearchPageReading us = search("zinc lantern");
    ASSERT_EQ(us.results.size(), 2);
    EXPECT_EQ(us.results[0].itemId, "4600000001");
    EXPECT_EQ(us.results[0].price, "US $1,234.50");
    EXPECT_EQ(us.results[0].bids, "1");
    EXPECT_TRUE(us.results[1].noBids);
    const auto usAdded =
        FoundItems(doc, "www.ebay.com", m_sites.profile().conventions).add(us.results, options);
    EXPECT_EQ(usAdded.added, 2);
    EXPECT_FLOAT_EQ(doc.itemById("4600000001")->maxPrice(),
                    1234.5f + BidIncrement(1234.5f, "www.ebay.com"));
    EXPECT_FLOAT_EQ(doc.itemById("4600000002")->maxPrice(), 15.0f);

    useSite("www.ebay.de");
    const SearchPageReading de = search("standuhr");
    ASSERT_EQ(de.results.size(), 1);
    EXPECT_EQ(de.results[0].price, "EUR 1.234,50");
    FoundItems(doc, "www.ebay.de", m_sites.profile().conventions).add(de.results, options);
    EXPECT_FLOAT_EQ(doc.itemById("4600000003")->maxPrice(),
                    1234.5f + BidIncrement(1234.5f, "www.ebay.de"));
    // The same results again are all duplicates.
    EXPECT_EQ(FoundItems(doc, "www.ebay.de", {}).add(de.results, options).duplicates, 1);

    const SearchPageReading none = search("nothing of that kind");
    EXPECT_TRUE(none.loaded);
    EXPECT_FALSE(none.hasTable);

    useSite("www.ebay.com");
    const auto fault = m_site->control("POST", "/faults",
                                       R"({"page":"/search/search.dll","kind":"wording",
            "from":"name=\"coitem\" value=\"4600000001\"","to":"name=\"coitem\""})");
    ASSERT_TRUE(fault.ok());
    const SearchPageReading broken = search("zinc lantern");
    ASSERT_EQ(broken.results.size(), 1);
    EXPECT_EQ(broken.results[0].itemId, "4600000002");
    EXPECT_EQ(broken.skippedRows, 1);
}

TEST_F(SearchSiteTest, SiteListsAndTheUsersWordsAsTyped)
{
    SearchCommands commands = SearchCommands::fromSites(m_sites);
    SiteChoices choices = BasicSearchPage::load(commands);
    ASSERT_TRUE(choices.loaded);
    EXPECT_TRUE(choices.categories.found);
    EXPECT_GT(choices.categories.values.size(), 5);
    EXPECT_EQ(choices.locationIn.values.value(
                  choices.locationIn.indexOfValue(SiteChoices::kLocationInDefault)),
              "-15");
    EXPECT_TRUE(choices.locationTo.values.contains(SiteChoices::kLocationToDefault));
    commands.keys2[SearchCommands::LocationInName] = "nosuchlist";
    EXPECT_FALSE(BasicSearchPage::load(commands).locationIn.found);
    EXPECT_TRUE(m_home.logText().contains(StringTable::text(471)));

    create(R"({"item":"4600000011","site":"us","title":"Salt & Pepper #2 set","startPrice":3,
               "endsIn":7200})");
    create(R"({"item":"4600000012","site":"us","title":"Salt cellar","startPrice":3,
               "endsIn":7200})");
    const SearchPageReading phrase = search("salt & pepper #2", SearchCriteria::ExactPhrase);
    ASSERT_EQ(phrase.results.size(), 1);
    EXPECT_EQ(phrase.results[0].itemId, "4600000011");
    // The words as they were put into the address before: cut at "&", the rest gone.
    const QString raw = m_sites.lookup("%s_URL_Search").replace("%s", "search") +
                        "&query=salt & pepper #2&site=en&kwopt=3";
    EXPECT_NE(ResultPage::load(raw, ResultClassNames()).results.size(), 1);
}

TEST_F(SearchSiteTest, StartupCheckOfSavedSearches)
{
    create(R"({"item":"4600000021","site":"us","title":"Copper kettle","startPrice":8,
               "endsIn":7200})");
    SavedSearches saved(m_home.app().userRegistry());
    SearchCriteria kettle;
    kettle.keywords = "copper kettle";
    kettle.informAtStart = true;
    SearchCriteria nothing = kettle;
    nothing.keywords = "nothing of that kind";
    SearchCriteria quiet = kettle;
    quiet.informAtStart = false;
    saved.save("Kettles", kettle);
    saved.save("Nothing", nothing);
    saved.save("Quiet", quiet);

    Registry& user = m_home.app().userRegistry();
    const StartupSearchCheck::Plan plan = StartupSearchCheck::plan(user, machine(), m_sites);
    ASSERT_EQ(plan.searches.size(), 2);
    const QStringList found = StartupSearchCheck::run(plan);
    EXPECT_EQ(found, QStringList{"Kettles"});
    EXPECT_EQ(StartupSearchCheck::message(found),
              "The search for [Kettles] has been successful.\n" + StringTable::text(433));
    EXPECT_TRUE(StartupSearchCheck::message({}).isEmpty());

    // On its own thread, shown in the main window.
    static int argc = 1;
    static char name[] = "test_search";
    static char* argv[] = {name, nullptr};
    std::unique_ptr<QCoreApplication> application;
    if (!QCoreApplication::instance())
        application = std::make_unique<QCoreApplication>(argc, argv);
    HeadlessMainWindow window(false);
    m_home.app().setMainWindow(&window);
    StartupSearchRunner runner(m_home.app(), m_sites);
    QString shown = "(none)";
    QObject::connect(&runner, &StartupSearchRunner::finished,
                     [&shown](const QString& message) { shown = message; });
    runner.start();
    QElapsedTimer waited;
    waited.start();
    while (shown == "(none)" && waited.elapsed() < 30000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
    m_home.app().setMainWindow(nullptr);
    EXPECT_EQ(shown, StartupSearchCheck::message(found));
    EXPECT_TRUE(m_home.logText().contains("Question \"The search for [Kettles]"));

    // Token lists too short for the addresses: the searches are left out, nothing ends.
    machine().writeStr("Sites", "www.ebay.com_Search_Key2", "loc;");
    useSite("www.ebay.com");
    EXPECT_TRUE(StartupSearchCheck::plan(user, machine(), m_sites).searches.isEmpty());
    EXPECT_TRUE(m_home.logText().contains("the saved search [Kettles] was not run"));
    machine().writeStr("Sites", "www.ebay.com_Search_Key", "");
    useSite("www.ebay.com");
    EXPECT_TRUE(StartupSearchCheck::plan(user, machine(), m_sites).searches.isEmpty());
    EXPECT_TRUE(m_home.logText().contains(StringTable::text(469)));
}

TEST_F(SearchSiteTest, TheHeadlessSearchCommand)
{
    create(R"({"item":"4600000031","site":"us","title":"Pewter tankard","startPrice":6,
               "endsIn":7200,"bids":[{"bidder":"rival_anna","max":9,"in":-60}]})");
    QString outText;
    QString errText;
    QTextStream out(&outText);
    QTextStream err(&errText);
    EXPECT_EQ(SearchReport::run({"pewter", "tankard"}, m_sites, machine(), out, err), 0);
    out.flush();
    EXPECT_TRUE(
        outText.contains(QRegularExpression("4600000031 +US \\$6.00 +1 +.* Pewter tankard")))
        << outText.toStdString();

    outText.clear();
    EXPECT_EQ(SearchReport::run({"--site", "www.ebay.de", "pewter", "--json"}, m_sites, machine(),
                                out, err),
              1);
    out.flush();
    const QJsonObject json = QJsonDocument::fromJson(outText.toUtf8()).object();
    EXPECT_EQ(json["site"].toString(), "www.ebay.de");
    EXPECT_FALSE(json["resultTable"].toBool());
    EXPECT_EQ(SearchReport::run({"--json"}, m_sites, machine(), out, err), 2);
    EXPECT_EQ(SearchReport::run({"--site", "nowhere", "x"}, m_sites, machine(), out, err), 2);
}
