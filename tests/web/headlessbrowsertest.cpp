#include "eventwait.h"
#include "loopbackserver.h"

#include "support/apphome.h"
#include "web/cookiejar.h"
#include "web/documentaccess.h"
#include "web/downloadcounter.h"
#include "web/downloadoptions.h"
#include "web/headlessbrowser.h"

#include <gtest/gtest.h>

#include <QThread>
#include <mutex>

namespace {

class HeadlessBrowserTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        EnsureCoreApplication();
        server.server().Get("/item", [](const httplib::Request& req, httplib::Response& res) {
            const std::string user = req.get_header_value("Cookie");
            res.set_content("<html><body><p>Item page</p><p>Cookie: " + user +
                                "</p><form name=bid method=post action='/bid'>"
                                "<input type=hidden name=MfcISAPICommand value=MakeBid>"
                                "<input name=maxbid></form>"
                                "<a href='/signin?step=2'>Continue to sign in</a></body></html>",
                            "text/html");
        });
        server.server().Post("/bid", [this](const httplib::Request& req, httplib::Response& res) {
            {
                std::lock_guard<std::mutex> lock(mutex);
                posted = req.body;
            }
            res.set_header("Set-Cookie", "session=abc; Path=/");
            res.set_redirect("/item?after=bid", 302);
        });
        server.server().Get("/signin", [](const httplib::Request& req, httplib::Response& res) {
            res.set_content("<p>Sign in, step " + req.get_param_value("step") + "</p>",
                            "text/html");
        });
        server.server().Get("/slow", [](const httplib::Request&, httplib::Response& res) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1500));
            res.set_content("<p>slow</p>", "text/html");
        });
        server.start();
    }
    void TearDown() override { DownloadOptions::reset(); }

    // Loads through `action` and waits for the notification.
    bool load(const std::function<void()>& action)
    {
        completed.clear();
        action();
        return WaitUntil([&] { return !completed.isEmpty(); });
    }

    void watch(HeadlessBrowser& browser)
    {
        QObject::connect(&browser, &HeadlessBrowser::documentComplete, [this](const QString& url) {
            completed << url;
            completedOnThread = QThread::currentThread();
        });
    }

    AppHome home;
    LoopbackServer server;
    std::mutex mutex;
    std::string posted;
    QStringList completed;
    QThread* completedOnThread = nullptr;
};

} // namespace

TEST_F(HeadlessBrowserTest, NavigatesAndReportsOnTheOwnersThread)
{
    HeadlessBrowser browser;
    watch(browser);
    EXPECT_FALSE(browser.isBusy());
    ASSERT_NE(browser.document(), nullptr);
    EXPECT_EQ(browser.bodyText(), QString());

    ASSERT_TRUE(load([&] {
        browser.navigate(server.url("/item"));
        EXPECT_TRUE(browser.isBusy());
    }));
    EXPECT_EQ(completed, QStringList{server.url("/item")});
    EXPECT_EQ(completedOnThread, QThread::currentThread());
    EXPECT_FALSE(browser.isBusy());
    EXPECT_EQ(browser.lastStatus(), 200);
    EXPECT_TRUE(browser.bodyText().startsWith("Item page\r\nCookie:"));
    EXPECT_FALSE(FindFormByInputValue(browser.document(), "MfcISAPICommand", "makebid").isNull());
    EXPECT_EQ(DownloadCounter::running(), 0);
}

TEST_F(HeadlessBrowserTest, SubmitsFormsKeepsCookiesAndFollowsRedirects)
{
    HeadlessBrowser browser;
    watch(browser);
    ASSERT_TRUE(load([&] { browser.navigate(server.url("/item")); }));
    const HtmlForm form = FindFormByInputValue(browser.document(), "MfcISAPICommand", "MakeBid");
    ASSERT_TRUE(SetInputValue(form, "maxbid", "12.50"));
    ASSERT_TRUE(load([&] { EXPECT_TRUE(browser.submitForm(form)); }));
    {
        std::lock_guard<std::mutex> lock(mutex);
        EXPECT_EQ(posted, "MfcISAPICommand=MakeBid&maxbid=12.50");
    }
    EXPECT_EQ(completed, QStringList{server.url("/item?after=bid")});
    EXPECT_TRUE(browser.bodyText().contains("Cookie: session=abc"));
    EXPECT_EQ(browser.cookies().cookies().size(), 1);

    // Another browser has a jar of its own.
    HeadlessBrowser other;
    watch(other);
    ASSERT_TRUE(load([&] { other.navigate(server.url("/item")); }));
    EXPECT_FALSE(other.bodyText().contains("session=abc"));
    // A form of a document no longer shown is refused.
    EXPECT_FALSE(browser.submitForm(form));
}

TEST_F(HeadlessBrowserTest, FollowsLinks)
{
    HeadlessBrowser browser;
    watch(browser);
    ASSERT_TRUE(load([&] { browser.navigate(server.url("/item")); }));
    HtmlElement next;
    for (const HtmlElement& link : browser.document()->links()) {
        if (link.innerText().contains("Continue"))
            next = link;
    }
    ASSERT_TRUE(load([&] { EXPECT_TRUE(browser.followLink(next)); }));
    EXPECT_EQ(browser.bodyText(), "Sign in, step 2");
    EXPECT_FALSE(browser.followLink(HtmlElement()));
}

TEST_F(HeadlessBrowserTest, StopAndNewerLoadsWin)
{
    HeadlessBrowser browser;
    watch(browser);
    browser.navigate(server.url("/slow"));
    browser.stop();
    EXPECT_FALSE(browser.isBusy());
    ASSERT_TRUE(load([&] {
        browser.navigate(server.url("/slow"));
        browser.navigate(server.url("/signin?step=3"));
    }));
    // Only the newest load reports, even after the slow one has come back.
    WaitUntil([] { return false; }, 2000);
    EXPECT_EQ(completed, QStringList{server.url("/signin?step=3")});
    EXPECT_EQ(browser.bodyText(), "Sign in, step 3");
}

TEST_F(HeadlessBrowserTest, FailedLoadsStillComplete)
{
    DownloadOptions::setTimeoutMs(500);
    int deadPort = 0;
    {
        LoopbackServer closed;
        closed.start();
        deadPort = closed.port();
    }
    HeadlessBrowser browser;
    watch(browser);
    const QString dead = QStringLiteral("http://127.0.0.1:%1/item").arg(deadPort);
    ASSERT_TRUE(load([&] { browser.navigate(dead); }));
    EXPECT_EQ(completed, QStringList{dead});
    EXPECT_EQ(browser.lastStatus(), 0);
    EXPECT_FALSE(browser.lastError().isEmpty());
    EXPECT_EQ(browser.bodyText(), QString());
    EXPECT_TRUE(home.logText().contains("HeadlessBrowser: cannot load"));

    ASSERT_TRUE(load([&] { browser.navigate("ftp://127.0.0.1/file"); }));
    EXPECT_EQ(browser.lastError(), "not a web address");
    // Secure addresses are allowed (sign-in forms post to them); here nothing answers.
    ASSERT_TRUE(
        load([&] { browser.navigate(QStringLiteral("https://127.0.0.1:%1/").arg(deadPort)); }));
    EXPECT_NE(browser.lastError(), "not a web address");
}

TEST_F(HeadlessBrowserTest, DestroyedWhileLoading)
{
    auto browser = std::make_unique<HeadlessBrowser>();
    browser->navigate(server.url("/slow"));
    browser.reset(); // must neither crash nor deliver to the dead object
    WaitUntil([] { return false; }, 200);
    SUCCEED();
}
