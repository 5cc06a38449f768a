// The official-time page, the settings update files, the profile values, the search service
// and the files an item page refers to.

#include "profiletable.h"
#include "sitefixture.h"

#include <regex>

using SiteFilesTest = SiteFixture;

TEST_F(SiteFilesTest, TimePageCarriesBothTimeMarkupsClosedByFont)
{
    control("POST", "/clock", R"({"offset":7200})");
    const std::string raw = get("/aw-cgi/eBayISAPI.dll?TimeShow")->body;
    EXPECT_EQ(raw.find("navailable"), std::string::npos);
    for (const Language lang : {Language::English, Language::German}) {
        const std::string keyword = ProfileTable::keyword(lang, "KeyWord_TimeSync");
        const size_t at = raw.find(keyword);
        ASSERT_NE(at, std::string::npos) << keyword;
        const std::string rest = raw.substr(at + keyword.size());
        const std::string time = rest.substr(0, rest.find("</font>"));
        const char* shape = lang == Language::English
                                ? R"(^[A-Z][a-z]{2} \d\d, \d{4} \d\d:\d\d:\d\d PST</b>$)"
                                : R"(^\d\d\.\d\d\.\d\d \d\d:\d\d:\d\d MEZ$)";
        EXPECT_TRUE(std::regex_match(time, std::regex(shape))) << time;
    }
    const SiteStyle& de = SiteStyle::forLanguage(Language::German);
    const int64_t siteNow = static_cast<int64_t>(site->clock().now());
    const std::string expected = de.formatClock(siteNow).substr(0, 14); // to the minute
    EXPECT_NE(raw.find(expected), std::string::npos) << expected;
}

TEST_F(SiteFilesTest, SettingsFileLeadsToTheSitesFileWithEveryProfileValue)
{
    const std::string base = site->baseUrl();
    const std::string settings = get("/update/settings.txt")->body;
    EXPECT_EQ(settings.find('\r'), std::string::npos);
    const std::string header = "[START]\nVENDRA_VERSION=10000\nSETTINGS_VERSION=10001\n"
                               "URL_SETTINGS=" +
                               base + "/update/settings.txt\nURL_PATCH_WS=";
    EXPECT_NE(settings.find(header), std::string::npos);
    EXPECT_NE(settings.find("\nURL_SITES=" + base + "/update/sites.txt\n"), std::string::npos);
    control("POST", "/site", R"({"settingsVersion":131075})");
    EXPECT_NE(get("/update/settings.txt")->body.find("SETTINGS_VERSION=20003\n"),
              std::string::npos);

    const std::string sites = get("/update/sites.txt")->body;
    EXPECT_EQ(sites.rfind("[SITES]\nwww.ebay.com\nwww.ebay.de\n[END]\n[COMMANDS]\n", 0), 0u);
    EXPECT_NE(sites.find("\nCommand=MfcISAPICommand\n"), std::string::npos);
    EXPECT_NE(sites.find("\nbidretractCmd=RetractBid\n"), std::string::npos);
    for (const Language lang : {Language::English, Language::German}) {
        const std::string name = ProfileTable::siteName(lang);
        const size_t section = sites.find("[SITE_" + name + "]\n");
        ASSERT_NE(section, std::string::npos);
        for (const auto& [key, value] : ProfileTable::all(lang, base))
            EXPECT_NE(sites.find("\n" + name + "_" + key + " " + value + "\n", section),
                      std::string::npos)
                << key;
    }
    EXPECT_NE(sites.find("www.ebay.de_KeyWord_UserName chstbietender:\n"), std::string::npos);
}

TEST_F(SiteFilesTest, EveryProfileUrlIsServedBySite)
{
    const Json lines = control("GET", "/profile");
    int urls = 0;
    for (const Json& line : lines) {
        const std::string text = line.get<std::string>();
        const size_t eq = text.find('=');
        if (text.find("_URL_") == std::string::npos)
            continue;
        ++urls;
        std::string url = text.substr(eq + 1);
        ASSERT_EQ(url.rfind(site->baseUrl(), 0), 0u) << text;
        url = url.substr(site->baseUrl().size());
        const std::string value = text.find("Category") != std::string::npos ? "11116"
                                  : text.find("Search") != std::string::npos ? "search"
                                  : text.find("Email") != std::string::npos  ? "rival_anna"
                                                                             : "3000000001";
        if (const size_t s = url.find("%s"); s != std::string::npos)
            url.replace(s, 2, value);
        httplib::Result r = get(url);
        ASSERT_TRUE(r) << url;
        EXPECT_EQ(r->status, 200) << url;
    }
    EXPECT_EQ(urls, 24);
}

TEST_F(SiteFilesTest, SearchResultsUseTheResultClassesAndFilters)
{
    const std::string page =
        get("/search/search.dll?host=search&query=comic&site=en&kwopt=1&sort=3&order=2")->body;
    EXPECT_NE(page.find("<table class=\"ebItemlist single\">"), std::string::npos);
    for (const char* cls : {"ebcCpr", "ebcTtl", "ebcBid", "ebcPr", "ebcShpNew", "ebcTim"})
        EXPECT_NE(page.find(std::string("class=\"") + cls + "\""), std::string::npos) << cls;
    const PageReader results(page);
    // Only the running comic listing; the fixed-price one has an empty bids cell.
    EXPECT_NE(page.find("name=\"coitem\" value=\"3000000009\""), std::string::npos);
    EXPECT_EQ(page.find("3000000004"), std::string::npos); // ended
    EXPECT_NE(page.find("<td class=\"ebcBid\"></td>"), std::string::npos);

    const std::string byPrice =
        get("/search/search.dll?host=search&query=&site=en&sort=3&order=1&num=2")->body;
    EXPECT_EQ(std::count(byPrice.begin(), byPrice.end(), '\n') > 0, true);
    const auto first = byPrice.find("coitem");
    EXPECT_NE(first, std::string::npos);
    EXPECT_EQ(byPrice.find("coitem", byPrice.find("coitem", first + 1) + 1), std::string::npos);

    const std::string german = get("/search/search.dll?host=search&query=m%C3%BCnze&site=de")->body;
    EXPECT_NE(german.find("3000000011"), std::string::npos);
    EXPECT_EQ(german.find("3000000001\""), std::string::npos);
    EXPECT_NE(german.find("class=\"ebcShp\""), std::string::npos);
    EXPECT_NE(get("/search/search.dll?host=search&query=zzz")->body.find("No items found"),
              std::string::npos);
}

TEST_F(SiteFilesTest, BasicSearchAndCategoryPagesOfferWhatTheSearchNeeds)
{
    const PageReader basic = page(get("/search/items/basicsearch.html"));
    ASSERT_EQ(basic.forms().size(), 1u);
    const auto& options = basic.forms()[0].options;
    for (const char* value : {"-1", "11117", "-15", "999"})
        EXPECT_NE(std::find(options.begin(), options.end(), value), options.end()) << value;
    for (const char* name : {"sacat", "loc", "avail"})
        EXPECT_TRUE(basic.forms()[0].fields.count(name)) << name;

    const PageReader listing = page(get("/aw/plistings/category11116/index.html?from=R11"));
    EXPECT_EQ(listing.valueAfter("Listed in category:"), " Coins");
    EXPECT_EQ(listing.valueAfter("Kategorie:"), " M\xC3\xBCnzen");
    EXPECT_GE(listing.lineOf("Silver dollar 1921"), 0);
}

TEST_F(SiteFilesTest, ItemPagePicturesAndScriptAreServed)
{
    const std::string html = get(SiteFixture::itemUrl("3000000001"))->body;
    // Addressed absolutely, as a saved copy names them.
    const std::regex source("(?:src|href)=\"" + site->baseUrl() + "(/(?:images|js|css)/[^\"]+)\"");
    int count = 0;
    for (std::sregex_iterator it(html.begin(), html.end(), source), end; it != end; ++it) {
        httplib::Result r = get((*it)[1].str());
        ASSERT_TRUE(r);
        EXPECT_EQ(r->status, 200) << (*it)[1].str();
        EXPECT_FALSE(r->body.empty());
        ++count;
    }
    EXPECT_EQ(count, 4); // logo, picture, script, style sheet
}
