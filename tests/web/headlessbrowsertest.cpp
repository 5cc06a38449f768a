#include "eventwait.h"
#include "loopbackserver.h"

#include "support/apphome.h"
#include "web/cookiejar.h"
#include "web/documentaccess.h"
#include "web/downloadcounter.h"
#include "web/downloadoptions.h"
#include "web/headlessbrowser.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QThread>
#include <chrono>
#include <condition_variable>
#include <future>
#include <mutex>

namespace {

// Holds the answers to /held until the test opens it, so that a test can act while a load
// is in flight and tell an aborted transfer from one that was waited out.
class Gate
{
public:
    // The handler: counts the request, then waits for the gate (at most a long while).
    void pass()
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        ++m_arrived;
        m_changed.notify_all();
        m_changed.wait_for(lock, std::chrono::seconds(30), [this] { return m_open; });
        ++m_answered;
    }
    bool waitForArrivals(int count)
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        return m_changed.wait_for(lock, std::chrono::seconds(10),
                                  [&] { return m_arrived >= count; });
    }
    void open()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_open = true;
        m_changed.notify_all();
    }
    int answered()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_answered;
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    int m_arrived = 0;
    int m_answered = 0;
    bool m_open = false;
};

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
        server.server().Get("/held", [this](const httplib::Request&, httplib::Response& res) {
            gate.pass();
            res.set_content("<p>held</p>", "text/html");
        });
        server.start();
    }
    void TearDown() override
    {
        gate.open(); // the server's threads end before it does
        DownloadOptions::reset();
    }

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
    Gate gate;
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
    browser.navigate(server.url("/held"));
    ASSERT_TRUE(gate.waitForArrivals(1));
    browser.stop();
    EXPECT_FALSE(browser.isBusy());
    // A load started while another runs ends it: the held transfers are aborted, not
    // waited out, and only the newest load reports.
    ASSERT_TRUE(load([&] {
        browser.navigate(server.url("/held"));
        browser.navigate(server.url("/signin?step=3"));
    }));
    EXPECT_EQ(gate.answered(), 0);
    EXPECT_EQ(browser.bodyText(), "Sign in, step 3");
    gate.open();
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(completed, QStringList{server.url("/signin?step=3")});
    EXPECT_FALSE(browser.isBusy());
}

TEST_F(HeadlessBrowserTest, ReportsOnTheThreadItLivesOn)
{
    // A bid thread owns its browser: loads report there, not on the main thread.
    QThread owner;
    std::promise<std::pair<QThread*, QString>> reported;
    auto result = reported.get_future();
    const QString address = server.url("/signin?step=4");
    QObject::connect(&owner, &QThread::started, [&] {
        auto* browser = new HeadlessBrowser;
        QObject::connect(browser, &HeadlessBrowser::documentComplete, [&, browser] {
            reported.set_value({QThread::currentThread(), browser->bodyText()});
            browser->deleteLater();
        });
        browser->navigate(address);
    });
    owner.start();
    ASSERT_EQ(result.wait_for(std::chrono::seconds(10)), std::future_status::ready);
    const auto [thread, text] = result.get();
    EXPECT_EQ(thread, &owner);
    EXPECT_EQ(text, "Sign in, step 4");
    owner.quit();
    owner.wait();
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
    int reported = 0;
    auto browser = std::make_unique<HeadlessBrowser>();
    QObject::connect(browser.get(), &HeadlessBrowser::documentComplete, [&] { ++reported; });
    browser->navigate(server.url("/held"));
    ASSERT_TRUE(gate.waitForArrivals(1));
    EXPECT_EQ(DownloadCounter::running(), 1);

    browser.reset();
    // The transfer was aborted, not waited out, and the loader has let go of it (and of the
    // cookie jar it used) before the destructor returned.
    EXPECT_EQ(gate.answered(), 0);
    EXPECT_EQ(DownloadCounter::running(), 0);
    // Nothing was left queued for the dead browser.
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(reported, 0);
}
