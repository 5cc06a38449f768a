// How the control interface reads request bodies and writes its answers, checked on the text
// itself rather than on the parsed values.

#include "sitefixture.h"

namespace {

bool contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

} // namespace

class ControlJsonTest : public SiteFixture
{
protected:
    httplib::Result raw(const std::string& method, const std::string& path,
                        const std::string& body = {})
    {
        const std::string target = std::string(ControlApi::kPrefix) + path;
        return method == "GET" ? client->Get(target.c_str())
                               : client->Post(target.c_str(), body, "application/json");
    }
};

TEST_F(ControlJsonTest, MalformedBodiesAreRefusedWith400AndChangeNothing)
{
    const std::pair<std::string, std::string> bad[] = {
        {"/auctions", R"({"item":"7000000002","startPrice":01})"},
        {"/auctions/3000000002/bids", R"([01])"},
        {"/clock", R"({"offset":-01})"},
        {"/clock", R"({"speed":.5})"},
        {"/clock", R"({"speed":NaN})"},
        {"/auctions", R"({"item":"7000000002",})"},
        {"/auctions", R"({'item':'7000000002'})"},
        {"/auctions", R"({"item":"7000000002"} {})"},
        {"/auctions", "{\"title\":\"a\tb\"}"},
        // Deep nesting would cost stack when the scheduled bid is copied.
        {"/auctions/3000000002/bids", R"([{"bidder":"anna","in":5,"x":)" + std::string(5000, '[') +
                                          std::string(5000, ']') + "}]"},
    };
    for (const auto& [path, body] : bad) {
        const httplib::Result r = raw("POST", path, body);
        ASSERT_TRUE(r) << path << " " << body.substr(0, 60);
        EXPECT_EQ(r->status, 400) << path << " " << body.substr(0, 60);
        ASSERT_TRUE(Json::accept(r->body)) << r->body;
        const std::string message = Json::parse(r->body).at("error").get<std::string>();
        EXPECT_TRUE(contains(message, "request body")) << message;
    }
    EXPECT_EQ(control("GET", "/status").at("auctions").get<int>(), 20);
    EXPECT_EQ(control("GET", "/clock").at("speed").get<double>(), 1);
    EXPECT_TRUE(control("GET", "/auctions/3000000002").at("scheduled").empty());
}

TEST_F(ControlJsonTest, AnswersAreValidUtf8WhateverTheClientSent)
{
    // A surrogate half has no UTF-8 form of its own: only a pair makes a character.
    for (const std::string title : {R"(\ud83d)", R"(\ude00)", R"(\ud83d\u0041)", R"(x\ud83d)"}) {
        const httplib::Result r = raw("POST", "/auctions", R"({"title":")" + title + R"("})");
        ASSERT_TRUE(r);
        EXPECT_EQ(r->status, 400) << title;
        ASSERT_TRUE(Json::accept(r->body)) << r->body;
        EXPECT_TRUE(contains(r->body, "surrogate")) << r->body;
    }
    const Json smile =
        control("POST", "/auctions", R"({"item":"7000000004","title":"Smile \ud83d\ude00"})");
    EXPECT_EQ(smile.at("title").get<std::string>(), "Smile \xF0\x9F\x98\x80");

    const httplib::Result latin1 = raw("POST", "/auctions", "{\"title\":\"M\xFCnchen\"}");
    ASSERT_TRUE(latin1);
    EXPECT_EQ(latin1->status, 400);
    EXPECT_TRUE(Json::accept(latin1->body)) << latin1->body;

    // The site's own forms and paths take any bytes; the log and error messages repeat them
    // with U+FFFD for what is not UTF-8.
    post("/ws/eBayISAPI.dll", {{"MfcISAPICommand", "MakeBid"},
                               {"item", "3000000011"},
                               {"maxbid", "5,00"},
                               {"city", "M\xFCnchen"}});
    const httplib::Result log = raw("GET", "/log?page=MakeBid");
    ASSERT_TRUE(log);
    EXPECT_EQ(log->status, 200);
    ASSERT_TRUE(Json::accept(log->body)) << log->body;
    EXPECT_EQ(Json::parse(log->body).at("entries").at(0).at("form").at("city").get<std::string>(),
              "M\xEF\xBF\xBDnchen");

    const httplib::Result path = raw("GET", "/auctions/%FF");
    ASSERT_TRUE(path);
    EXPECT_EQ(path->status, 404);
    EXPECT_TRUE(Json::accept(path->body)) << path->body;
}

TEST_F(ControlJsonTest, NumbersPrintInTheShortestFormThatReadsBackExactly)
{
    const httplib::Result created = raw("POST", "/auctions",
                                        R"({"item":"7000000005","startPrice":0.1,"shipping":"4.35",
                "bids":[{"bidder":"anna","max":"12.50","in":-60}]})");
    ASSERT_TRUE(created);
    ASSERT_EQ(created->status, 201) << created->body;
    const std::string& text = created->body;
    // Members come in the same order on every run.
    EXPECT_EQ(text.rfind(R"({"item":"7000000005","site":"us","kind":"auction","title":)", 0), 0u)
        << text;
    EXPECT_TRUE(contains(text, R"("startPrice":0.1,"shipping":4.35,)")) << text;
    EXPECT_TRUE(contains(text, R"("currentPrice":0.1,)")) << text;
    EXPECT_TRUE(contains(text, R"("highMaximum":12.5,)")) << text;
    EXPECT_TRUE(contains(text, R"("amount":12.5,)")) << text;
    EXPECT_EQ(Json::parse(text).at("shipping").get<double>(), 4.35);

    const httplib::Result slow = raw("POST", "/clock", R"({"speed":0.1})");
    ASSERT_TRUE(slow);
    EXPECT_TRUE(contains(slow->body, R"("speed":0.1})")) << slow->body;
}
