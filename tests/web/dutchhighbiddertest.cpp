#include "loopbackserver.h"

#include "sites/sitesettings.h"
#include "support/apphome.h"
#include "web/dutchhighbidder.h"

#include <gtest/gtest.h>

TEST(DutchHighBidder, FindsTheUserOnTheHighBidderPage)
{
    AppHome home;
    LoopbackServer server;
    server.server().Get("/bidders", [](const httplib::Request& req, httplib::Response& res) {
        if (req.get_param_value("item") == "4500123")
            res.set_content("<table><tr><td>buyer_one</td><td>2</td></tr>"
                            "<tr><td>Second-Buyer</td><td>1</td></tr></table>",
                            "text/html");
        else
            res.status = 404;
    });
    server.start();
    SiteSettings sites;
    sites.setCurrentSite("Practice", home.app().machineRegistry());
    sites.setValue("Practice_URL_DutchHighBidder", server.url("/bidders?item=%s&n=%d"));

    EXPECT_TRUE(IsDutchHighBidder("Second-Buyer", "4500123"));
    // An id the page shows only in lower case.
    EXPECT_TRUE(IsDutchHighBidder("BUYER_ONE", "4500123"));
    EXPECT_FALSE(IsDutchHighBidder("buyer_two", "4500123"));
    // Every page contains the empty text; an empty id is nobody.
    EXPECT_FALSE(IsDutchHighBidder("", "4500123"));
    EXPECT_FALSE(IsDutchHighBidder("buyer_one", "999"));
}

TEST(DutchHighBidder, PatternsFillOnlyTheirFirstPlaceholder)
{
    EXPECT_EQ(FormatUrlPattern("http://a/x?item=%s&n=%d%s", "12"), "http://a/x?item=12&n=%d%s");
    EXPECT_EQ(FormatUrlPattern("http://a/none", "12"), "http://a/none");
}
