// The bid, purchase, sign-in, notice and retraction flows as a browser walks them.

#include "sitefixture.h"

namespace {

constexpr const char* kUser = "practice_user";
constexpr const char* kPassword = "practice";

bool contains(const PageReader& p, const std::string& text)
{
    return p.lineOf(text) >= 0;
}

} // namespace

using BidFlowTest = SiteFixture;

TEST_F(BidFlowTest, BidSignInConfirmAndLead)
{
    const PageReader signInPage = page(bid("3000000002", "15.00"));
    EXPECT_TRUE(contains(signInPage, "Already an eBay user?"));
    const PageReader::Form* form = signInPage.formWithCommand("SignInWelcome");
    ASSERT_NE(form, nullptr);
    EXPECT_TRUE(form->fields.count("userid") && form->fields.count("pass"));
    EXPECT_EQ(form->name, "SignInForm");

    // Wrong credentials: the sign-in page again, still asking the same question.
    const PageReader refused = page(signIn(signInPage, kUser, "wrong"));
    EXPECT_TRUE(contains(refused, "Already an eBay user?"));
    EXPECT_TRUE(cookie.empty());

    const PageReader review = page(signIn(refused, kUser, kPassword));
    EXPECT_FALSE(cookie.empty());
    EXPECT_TRUE(contains(review, "Review and Confirm Bid"));
    const PageReader::Form* confirm = review.formWithCommand("MakeBid");
    ASSERT_NE(confirm, nullptr);
    EXPECT_EQ(confirm->fields.at("maxbid"), "15.00");

    const PageReader result = page(submit(*confirm));
    EXPECT_TRUE(contains(result, "you are the current high bidder"));
    EXPECT_TRUE(contains(result, "Description")); // back on the item page
    EXPECT_EQ(result.valueAfter("High bidder:"), "\tpractice_user ( 23 )");
    EXPECT_EQ(result.valueAfter("Starting bid"), "<none>");
    EXPECT_EQ(result.valueAfter("Current bid:"), "\tUS $9.99");

    const Json log = control("GET", "/log?page=MakeBid");
    const Json& entries = log.at("entries");
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries.at(0).at("form").at("maxbid").get<std::string>(), "15.00");
    EXPECT_EQ(entries.at(0).at("outcome").get<std::string>(), "signIn");
    EXPECT_EQ(entries.at(1).at("form").at("confirm").get<std::string>(), "1");
    EXPECT_EQ(entries.at(1).at("outcome").get<std::string>(), "highBidder");
    EXPECT_EQ(entries.at(1).at("user").get<std::string>(), kUser);
    EXPECT_NEAR(entries.at(1).at("siteTime").get<double>(), site->clock().now(), 5);
    const Json signIns = control("GET", "/log?page=SignInWelcome");
    EXPECT_EQ(signIns.at("entries").at(0).at("outcome").get<std::string>(), "badPassword");
    EXPECT_EQ(signIns.at("entries").at(1).at("form").at("pass").get<std::string>(), kPassword);
}

TEST_F(BidFlowTest, SessionCookieSkipsTheSignInUnlessTheSiteAlwaysAsks)
{
    page(signIn(page(get("/ws2/eBayISAPI.dll?SignIn")), kUser, kPassword));
    EXPECT_TRUE(contains(page(bid("3000000002", "11.00")), "Review and Confirm Bid"));
    control("POST", "/site", R"({"alwaysSignIn": true})");
    EXPECT_TRUE(contains(page(bid("3000000002", "11.00")), "Already an eBay user?"));
}

TEST_F(BidFlowTest, ProxyBidderAnswersUntilTheUserBidsAboveItsMaximum)
{
    // Item 1: rival_bert leads with a hidden maximum of 12.00 at 8.50.
    const PageReader review = page(signIn(page(bid("3000000001", "10.00")), kUser, kPassword));
    PageReader result = page(submit(*review.formWithCommand("MakeBid")));
    EXPECT_TRUE(contains(result, "You have been outbid"));
    EXPECT_EQ(result.valueAfter("Current bid:"), "\tUS $10.50");
    EXPECT_EQ(result.valueAfter("Enter"), " US $11.00 or more");

    result = page(submit(*page(bid("3000000001", "20.00")).formWithCommand("MakeBid")));
    EXPECT_TRUE(contains(result, "you are the current high bidder"));
    EXPECT_EQ(result.valueAfter("Current bid:"), "\tUS $12.50");
    EXPECT_EQ(result.valueAfter("History:").substr(0, 6), "4 bids");
}

TEST_F(BidFlowTest, GermanAmountsUseTheDecimalComma)
{
    page(signIn(page(get("/ws2/eBayISAPI.dll?SignIn")), kUser, kPassword));
    EXPECT_TRUE(contains(page(bid("3000000012", "7.50")), "Ung\xC3\xBCltiger Betrag"));
    const PageReader review = page(bid("3000000012", "7,50"));
    ASSERT_TRUE(contains(review, "fen und Bieten"));
    const PageReader result = page(submit(*review.formWithCommand("MakeBid")));
    EXPECT_EQ(result.valueAfter("Aktuelles Gebot:"), "\tEUR 5,00");
    EXPECT_EQ(result.valueAfter("chstbietender:"), "\tpractice_user ( 23 )");
}

TEST_F(BidFlowTest, NoticesStopTheBidAfterSignIn)
{
    const std::pair<const char*, const char*> cases[] = {
        {"negative_user", "You have a feedback score of"},
        {"limited_user", "Buying Activity Limit Reached"},
        {"blocked_user", "Registration blocked"},
    };
    for (const auto& [user, keyword] : cases) {
        cookie.clear();
        const PageReader notice = page(signIn(page(bid("3000000002", "15.00")), user, kPassword));
        EXPECT_TRUE(contains(notice, keyword)) << user;
        EXPECT_EQ(notice.formWithCommand("MakeBid"), nullptr) << user;
    }
    cookie.clear();
    const PageReader ship = page(signIn(page(bid("3000000020", "5.00")), kUser, kPassword));
    EXPECT_TRUE(contains(ship, "You are registered in a country"));
}

TEST_F(BidFlowTest, SuspensionNoticeContinuesToTheReview)
{
    const PageReader notice =
        page(signIn(page(bid("3000000002", "15.00")), "suspended_user", kPassword));
    EXPECT_TRUE(contains(notice, "Suspension Notice"));
    EXPECT_TRUE(contains(notice, "suspended_user,"));
    std::string href;
    for (const PageReader::Link& link : notice.links())
        if (link.text.find("Continue") != std::string::npos)
            href = link.href;
    ASSERT_FALSE(href.empty());
    const PageReader review = page(get(href));
    EXPECT_TRUE(contains(review, "Review and Confirm Bid"));
    EXPECT_EQ(review.formWithCommand("MakeBid")->fields.at("maxbid"), "15.00");
    // Seen once per session.
    EXPECT_TRUE(contains(page(bid("3000000002", "16.00")), "Review and Confirm Bid"));
}

TEST_F(BidFlowTest, BidAfterTheEndIsRefusedAndRecorded)
{
    const PageReader review = page(signIn(page(bid("3000000002", "15.00")), kUser, kPassword));
    control("POST", "/auctions/3000000002/end");
    const PageReader late = page(submit(*review.formWithCommand("MakeBid")));
    EXPECT_TRUE(contains(late, "Auction ended"));
    const Json auction = control("GET", "/auctions/3000000002");
    EXPECT_TRUE(auction.at("ended").get<bool>());
    EXPECT_EQ(auction.at("bidCount").get<int>(), 0);
    ASSERT_EQ(auction.at("rejected").size(), 1u);
    EXPECT_EQ(auction.at("rejected").at(0).at("bidder").get<std::string>(), kUser);
    EXPECT_TRUE(contains(page(get(itemUrl("3000000002"))), "Bidding has ended for this item."));
}

TEST_F(BidFlowTest, BuyItNowReviewCommitAndCountDown)
{
    const PageReader itemPage = page(get(itemUrl("3000000008")));
    const PageReader signInPage =
        page(submit(*itemPage.formWithCommand("BinConfirm"), {{"quantity", "2"}}));
    const PageReader commit = page(signIn(signInPage, kUser, kPassword));
    EXPECT_TRUE(contains(commit, "Review and Commit to Buy"));
    const PageReader::Form* form = commit.formWithCommand("BinConfirm");
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->fields.at("quantity"), "2");
    const PageReader result = page(submit(*form));
    EXPECT_TRUE(contains(result, "Confirm Your Purchase"));
    EXPECT_EQ(result.valueAfter("Quantity:"), "\t1 available");

    // The German single item ends with the purchase and names the buyer.
    const PageReader german =
        page(submit(*page(submit(*page(get(itemUrl("3000000016"))).formWithCommand("BinConfirm")))
                         .formWithCommand("BinConfirm")));
    EXPECT_TRUE(contains(german, "Angebot ist beendet"));
    EXPECT_EQ(german.valueAfter("ufer:"), "\tpractice_user ( 23 )");
}

TEST_F(BidFlowTest, RetractionSignsInAgainAndRemovesTheBids)
{
    page(submit(*page(signIn(page(bid("3000000002", "15.00")), kUser, kPassword))
                     .formWithCommand("MakeBid")));
    ASSERT_EQ(control("GET", "/auctions/3000000002").at("highBidder").get<std::string>(), kUser);

    // The retraction address always asks for the password, even with a session.
    const PageReader signInPage = page(get("/aw-cgi/eBayISAPI.dll?RetractBidShow"));
    ASSERT_NE(signInPage.formWithCommand("SignInWelcome"), nullptr);
    EXPECT_TRUE(contains(page(signIn(signInPage, kUser, "wrong")), "Already an eBay user?"));
    const PageReader retractPage = page(signIn(signInPage, kUser, kPassword));
    const PageReader::Form* form = retractPage.formWithCommand("RetractBid");
    ASSERT_NE(form, nullptr);
    EXPECT_TRUE(form->fields.count("item"));
    EXPECT_EQ(form->options, (std::vector<std::string>{"0", "1", "2", "3"}));

    EXPECT_TRUE(contains(page(submit(*form, {{"item", "3000000002"}})), "choose a reason"));
    const PageReader done = page(submit(*form, {{"item", "3000000002"}, {"info", "1"}}));
    EXPECT_TRUE(contains(done, "have been retracted"));
    const Json auction = control("GET", "/auctions/3000000002");
    EXPECT_EQ(auction.at("bidCount").get<int>(), 0);
    EXPECT_TRUE(contains(page(submit(*form, {{"item", "3000000002"}, {"info", "1"}})),
                         "no bids on this item"));
}

TEST_F(BidFlowTest, MultiItemBidTakesTheQuantityAndListsTheBidder)
{
    const PageReader itemPage = page(get(itemUrl("3000000007")));
    const PageReader signInPage =
        page(submit(*itemPage.formWithCommand("MakeBid"), {{"maxbid", "5.00"}, {"quant", "2"}}));
    const PageReader review = page(signIn(signInPage, kUser, kPassword));
    page(submit(*review.formWithCommand("MakeBid")));
    const std::string bidders =
        page(get("/aw-cgi/eBayISAPI.dll?ViewBidsDutchHighBidder&item=3000000007")).text();
    EXPECT_NE(bidders.find("practice_user"), std::string::npos);
    const Json auction = control("GET", "/auctions/3000000007");
    EXPECT_EQ(auction.at("winners").at(0).at("bidder").get<std::string>(), kUser);
    EXPECT_EQ(auction.at("winners").at(0).at("quantity").get<int>(), 2);
}
