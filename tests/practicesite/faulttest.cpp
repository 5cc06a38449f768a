// Fault switches, the site clock and the control interface's answers to bad input.

#include "siteclock.h"
#include "sitefixture.h"

#include <chrono>

namespace {

const std::string kItem = "/ws/eBayISAPI.dll?ViewItem&item=3000000001";

} // namespace

using FaultTest = SiteFixture;

TEST_F(FaultTest, StatusFaultCountsDownAndMatchesOnlyItsPage)
{
    int status = 0;
    control("POST", "/faults", R"({"page":"ViewItem","kind":"status","status":503,"count":2})",
            &status);
    EXPECT_EQ(status, 201);
    EXPECT_EQ(get("/aw-cgi/eBayISAPI.dll?TimeShow")->status, 200);
    EXPECT_EQ(get(kItem)->status, 503);
    EXPECT_EQ(get(kItem)->status, 503);
    EXPECT_EQ(get(kItem)->status, 200);
    const Json faults = control("GET", "/faults");
    EXPECT_EQ(faults.at(0).at("hits").get<int>(), 2);
    EXPECT_EQ(faults.at(0).at("count").get<int>(), 0);
}

TEST_F(FaultTest, FaultForOneItemLeavesTheOthers)
{
    control("POST", "/faults", R"({"page":"ViewItem","item":"3000000002","kind":"status"})");
    EXPECT_EQ(get(kItem)->status, 200);
    EXPECT_EQ(get("/ws/eBayISAPI.dll?ViewItem&item=03000000002")->status, 500);
}

TEST_F(FaultTest, DelayHoldsTheAnswerAndTheBidIsTakenAtTheLaterTime)
{
    control("POST", "/faults", R"({"page":"TimeShow","kind":"delay","delayMs":300})");
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(get("/aw-cgi/eBayISAPI.dll?TimeShow")->status, 200);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(300));
}

TEST_F(FaultTest, ResetAndTruncatedBodyFailTheClientButNotTheSite)
{
    control("POST", "/faults", R"({"page":"ViewItem","kind":"reset","count":1})");
    httplib::Result reset = get(kItem);
    EXPECT_FALSE(reset) << "status " << (reset ? reset->status : 0);

    control("POST", "/faults", R"({"page":"ViewItem","kind":"truncate","bytes":100,"count":1})");
    httplib::Client fresh("127.0.0.1", site->port());
    httplib::Result cut = fresh.Get(kItem.c_str());
    EXPECT_TRUE(!cut || cut->body.size() < 200);

    EXPECT_EQ(get(kItem)->status, 200);
    const Json log = control("GET", "/log?page=ViewItem");
    EXPECT_EQ(log.at("entries").at(0).at("faults").get<std::string>(), "reset");
    EXPECT_EQ(log.at("entries").at(1).at("faults").get<std::string>(), "truncate");
}

TEST_F(FaultTest, MaintenanceSaysUnavailablePerPageOrSiteWide)
{
    control("POST", "/faults", R"({"page":"TimeShow","kind":"maintenance","count":1})");
    const std::string down = get("/aw-cgi/eBayISAPI.dll?TimeShow")->body;
    EXPECT_NE(down.find("unavailable"), std::string::npos);
    EXPECT_NE(down.find("Unavailable"), std::string::npos);
    EXPECT_NE(down.find("Wartungsarbeiten"), std::string::npos);
    EXPECT_EQ(get("/aw-cgi/eBayISAPI.dll?TimeShow")->body.find("navailable"), std::string::npos);

    control("POST", "/site", R"({"maintenance":true})");
    EXPECT_NE(get(kItem)->body.find("Wartungsarbeiten"), std::string::npos);
    control("POST", "/site", R"({"maintenance":false})");
    EXPECT_NE(get(kItem)->body.find("Current bid:"), std::string::npos);
}

TEST_F(FaultTest, ChangedWordingReachesPagesAndOptionallyTheSettingsUpdate)
{
    control("POST", "/faults",
            R"({"page":"ViewItem","kind":"wording","from":"Current bid:","to":"Current price:"})");
    const std::string body = get(kItem)->body;
    EXPECT_EQ(body.find("Current bid:"), std::string::npos);
    EXPECT_NE(body.find("Current price:"), std::string::npos);
    EXPECT_NE(get("/update/sites.txt")->body.find("www.ebay.com_KeyWord_CurPrice Current bid:\n"),
              std::string::npos);

    control("DELETE", "/faults");
    control("POST", "/faults",
            R"({"kind":"wording","page":"ViewItem","from":"High bidder:","to":"Leader:",
                "settings":true})");
    EXPECT_NE(get("/update/sites.txt")->body.find("www.ebay.com_KeyWord_UserName Leader:\n"),
              std::string::npos);
}

TEST_F(FaultTest, ClockOffsetAndAdvanceMoveSiteTime)
{
    const Json clock = control("POST", "/clock", R"({"offset":3600})");
    EXPECT_NEAR(clock.at("offset").get<double>(), 3600, 1);
    EXPECT_NEAR(clock.at("siteTime").get<double>() - clock.at("machineTime").get<double>(), 3600,
                1);

    // A listing five minutes from its end runs out when the clock is moved past it, at once.
    control("POST", "/auctions", R"({"item":"7000000001","endsIn":300})");
    control("POST", "/clock", R"({"advance":290})");
    EXPECT_FALSE(control("GET", "/auctions/7000000001").at("ended").get<bool>());
    control("POST", "/clock", R"({"advance":20})");
    EXPECT_TRUE(control("GET", "/auctions/7000000001").at("ended").get<bool>());

    const Json fast = control("POST", "/clock", R"({"speed":1000})");
    EXPECT_EQ(fast.at("speed").get<double>(), 1000);
    const Json advanced = control("POST", "/clock", R"({"speed":1,"advance":-86400})");
    EXPECT_EQ(advanced.at("speed").get<double>(), 1);
    EXPECT_LT(advanced.at("offset").get<double>(), 0);
}

TEST(SiteClockTest, SpeedRunsFromNowAndAdvanceAndOffsetMoveIt)
{
    double machine = 1000;
    SiteClock clock([&machine] { return machine; });
    EXPECT_EQ(clock.now(), 1000);
    clock.setOffset(60);
    machine += 10;
    EXPECT_EQ(clock.now(), 1070);

    // Time already passed keeps its old speed.
    clock.setSpeed(1000);
    EXPECT_EQ(clock.now(), 1070);
    machine += 0.5;
    EXPECT_EQ(clock.now(), 1570);
    EXPECT_EQ(clock.offset(), 559.5);

    clock.advance(-600);
    EXPECT_EQ(clock.now(), 970);
    clock.setSpeed(1);
    machine += 2;
    EXPECT_EQ(clock.now(), 972);
    clock.setOffset(0);
    EXPECT_EQ(clock.now(), machine);
}

TEST_F(FaultTest, LogKeepsEveryRequestWithItsFormAndSiteTime)
{
    control("DELETE", "/log");
    get(kItem);
    post("/ws/eBayISAPI.dll",
         {{"MfcISAPICommand", "MakeBid"}, {"item", "3000000001"}, {"maxbid", "99.00"}});
    const Json all = control("GET", "/log");
    ASSERT_EQ(all.at("entries").size(), 2u);
    const Json& first = all.at("entries").at(0);
    EXPECT_EQ(first.at("page").get<std::string>(), "ViewItem");
    EXPECT_EQ(first.at("method").get<std::string>(), "GET");
    EXPECT_NEAR(first.at("siteTime").get<double>(), site->clock().now(), 5);
    const Json& second = all.at("entries").at(1);
    EXPECT_EQ(second.at("form").at("maxbid").get<std::string>(), "99.00");
    EXPECT_EQ(second.at("item").get<std::string>(), "3000000001");
    const Json later =
        control("GET", "/log?since=" + std::to_string(first.at("seq").get<uint64_t>()));
    EXPECT_EQ(later.at("entries").size(), 1u);
}

TEST_F(FaultTest, BadControlInputGetsAClearErrorAndTheSiteKeepsServing)
{
    const std::pair<std::string, std::string> bad[] = {
        {"/auctions", "{not json"},
        {"/auctions", R"({"site":"xx"})"},
        {"/auctions", R"({"startPrice":-1})"},
        {"/auctions", R"({"item":"12x"})"},
        {"/auctions", R"({"endTime":1e300})"},
        {"/auctions", R"({"kind":"auction","noEndTime":true})"},
        {"/auctions", R"({"bids":[{"bidder":"a b","max":3}]})"},
        {"/auctions", R"([1,2,3])"},
        {"/clock", R"({"speed":0})"},
        {"/faults", R"({"kind":"explode"})"},
        {"/faults", R"({"kind":"wording"})"},
        {"/site", R"({"language":"fr"})"},
        {"/reset", R"({"auctions":[{"category":1}]})"},
        {"/reset", R"([1])"},
        {"/accounts", R"({"userid":"x","password":""})"},
    };
    for (const auto& [path, body] : bad) {
        int status = 0;
        const Json answer = control("POST", path, body, &status);
        EXPECT_EQ(status, 400) << path << " " << body;
        EXPECT_FALSE(answer.at("error").get<std::string>().empty()) << path << " " << body;
    }
    int status = 0;
    control("GET", "/nothing", "", &status);
    EXPECT_EQ(status, 404);
    control("GET", "/auctions/999", "", &status);
    EXPECT_EQ(status, 404);
    control("DELETE", "/clock", "", &status);
    EXPECT_EQ(status, 405);
    EXPECT_EQ(control("GET", "/status").at("auctions").get<int>(), 20); // the reset was refused

    // Nonsense on the site's own forms gets a page, not a crash.
    for (const httplib::Params& form : std::vector<httplib::Params>{
             {{"MfcISAPICommand", "MakeBid"}},
             {{"MfcISAPICommand", "MakeBid"},
              {"item", "3000000001"},
              {"maxbid", "1e999"},
              {"confirm", "1"}},
             {{"MfcISAPICommand", "BinConfirm"},
              {"item", "3000000008"},
              {"quantity", "-5"},
              {"confirm", "1"}},
             {{"MfcISAPICommand", "RetractBid"}, {"item", "%%%"}, {"info", "9"}},
             {{"MfcISAPICommand", "SignInWelcome"}, {"user", std::string(5000, 'x')}},
         })
        EXPECT_EQ(post("/ws/eBayISAPI.dll", form)->status, 200);
    EXPECT_EQ(get("/ws/eBayISAPI.dll?ViewItem&item=%zz")->status, 200);
    EXPECT_EQ(get("/aw/plistings/category99999999999/index.html")->status, 404);
    EXPECT_EQ(get(kItem)->status, 200);
}
