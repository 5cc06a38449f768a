#include "loopbackserver.h"
#include "rawsocketserver.h"
#include "recordingwindow.h"

#include "app/stringtable.h"
#include "support/apphome.h"
#include "web/downloadcounter.h"
#include "web/downloadoptions.h"
#include "web/httptransfer.h"
#include "web/iinternetaccess.h"
#include "web/urlsource.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

class UrlSourceTest : public ::testing::Test
{
protected:
    void SetUp() override { home.app().setMainWindow(&window); }
    void TearDown() override
    {
        home.app().setMainWindow(nullptr);
        DownloadOptions::reset();
        EXPECT_EQ(DownloadCounter::running(), 0);
    }

    void useCredentials(const QString& user, const QString& password)
    {
        AppSettings& settings = home.app().settings();
        settings.useProxyPass = 1;
        settings.proxyUser = user;
        settings.proxyPass = password;
        home.app().publishSettings();
    }

    AppHome home;
    RecordingWindow window;
    LoopbackServer http;
};

class FakeAccess : public IInternetAccess
{
public:
    FakeAccess(bool connected, bool offline) : m_connected(connected), m_offline(offline)
    {
        m_previous = IInternetAccess::setCurrent(this);
    }
    ~FakeAccess() override { IInternetAccess::setCurrent(m_previous); }
    bool ensureConnection() override { return m_connected; }
    bool isOffline() override { return m_offline; }
    bool goOnline(const QString&) override { return false; }

private:
    bool m_connected;
    bool m_offline;
    IInternetAccess* m_previous = nullptr;
};

const char* kTwoParagraphs = "<html><body><p>First line</p><p>Second line</p></body></html>";

} // namespace

TEST_F(UrlSourceTest, RawPageAndBodyText)
{
    std::atomic<int> runningInHandler{-1};
    http.server().Get("/item", [&](const httplib::Request&, httplib::Response& res) {
        runningInHandler = DownloadCounter::running();
        res.set_content(kTwoParagraphs, "text/html");
    });
    http.start();

    EXPECT_EQ(getUrlSource(http.url("/item")), QString::fromLatin1(kTwoParagraphs));
    EXPECT_EQ(runningInHandler.load(), 1);
    EXPECT_EQ(DownloadCounter::running(), 0);
    EXPECT_EQ(getUrlSource(http.url("/item"), true), "First line\r\nSecond line");
    EXPECT_TRUE(home.logText().contains("url: " + http.url("/item") + "..."));
}

TEST_F(UrlSourceTest, LogsLongAddressesCut)
{
    http.server().Get(R"(/.*)", [](const httplib::Request&, httplib::Response& res) {
        res.set_content("<p>x</p>", "text/html");
    });
    http.start();
    const QString url = http.url("/" + QString(100, 'a'));
    EXPECT_EQ(getUrlSource(url, true), "x");
    const QString log = home.logText();
    EXPECT_TRUE(log.contains("url: " + url.left(70) + "...\r\n"));
    EXPECT_FALSE(log.contains(url.left(71)));
}

TEST_F(UrlSourceTest, ErrorStatusesGiveEmptyResults)
{
    http.server().Get("/missing", [](const httplib::Request&, httplib::Response& res) {
        res.status = 404;
        res.set_content("<p>no such item</p>", "text/html");
    });
    http.server().Get("/broken",
                      [](const httplib::Request&, httplib::Response& res) { res.status = 500; });
    http.start();
    EXPECT_TRUE(getUrlSource(http.url("/missing"), true).isEmpty());
    EXPECT_TRUE(getUrlSource(http.url("/broken")).isEmpty());
    const QString log = home.logText();
    EXPECT_TRUE(log.contains(StringTable::text(435)));
    EXPECT_TRUE(log.contains("getUrlSource: Error status 404 Not Found"));
    EXPECT_TRUE(log.contains("getUrlSource: Error status 500 Internal Server Error"));
}

TEST_F(UrlSourceTest, RefusesAddressesThatAreNotPlainHttp)
{
    std::atomic<int> requests{0};
    http.server().Get(R"(/.*)", [&](const httplib::Request&, httplib::Response&) { ++requests; });
    http.start();
    const QString secure = QStringLiteral("https://127.0.0.1:%1/item").arg(http.port());
    for (const QString& url :
         {secure, QStringLiteral("ftp://127.0.0.1/x"), QStringLiteral("file:///etc/passwd"),
          QStringLiteral("not a url"), QString()}) {
        EXPECT_TRUE(getUrlSource(url, true).isEmpty()) << url.toStdString();
    }
    EXPECT_EQ(requests.load(), 0);
    const QString log = home.logText();
    const QString refused = "Error: Failed to parse the URL " + secure;
    EXPECT_TRUE(log.contains(refused));
    EXPECT_TRUE(log.indexOf(StringTable::text(435)) < log.indexOf(refused));
}

TEST_F(UrlSourceTest, ServerCredentialsAfter401)
{
    std::atomic<int> requests{0};
    http.server().Get("/private", [&](const httplib::Request& req, httplib::Response& res) {
        ++requests;
        // "buyer:s3cret"
        if (req.get_header_value("Authorization") == "Basic YnV5ZXI6czNjcmV0") {
            res.set_content("<p>welcome</p>", "text/html");
            return;
        }
        res.status = 401;
        res.set_header("WWW-Authenticate", "Basic realm=\"site\"");
    });
    http.start();

    EXPECT_TRUE(getUrlSource(http.url("/private"), true).isEmpty());
    EXPECT_TRUE(home.logText().contains("getUrlSource: Error status 401 Unauthorized"));

    useCredentials("buyer", "s3cret");
    EXPECT_EQ(getUrlSource(http.url("/private"), true), "welcome");

    // Wrong credentials get the same answer again: a bounded number of sends, then empty.
    useCredentials("buyer", "wrong-pass");
    requests = 0;
    EXPECT_TRUE(getUrlSource(http.url("/private"), true).isEmpty());
    EXPECT_LE(requests.load(), 4);
    EXPECT_FALSE(home.logText().contains("s3cret"));
    EXPECT_FALSE(home.logText().contains("wrong-pass"));
}

TEST_F(UrlSourceTest, ProxyAndProxyCredentials)
{
    // The loopback server plays the proxy: it sees the absolute address of the page.
    std::atomic<int> requests{0};
    std::string target;
    http.server().Get(R"(.*)", [&](const httplib::Request& req, httplib::Response& res) {
        ++requests;
        target = req.target;
        // "proxyuser:pr0xy"
        if (req.get_header_value("Proxy-Authorization") == "Basic cHJveHl1c2VyOnByMHh5") {
            res.set_content("<p>through the proxy</p>", "text/html");
            return;
        }
        res.status = 407;
        res.set_header("Proxy-Authenticate", "Basic realm=\"proxy\"");
    });
    http.start();
    AppSettings& settings = home.app().settings();
    settings.useProxy = 1;
    settings.proxyAddress = "127.0.0.1";
    settings.proxyPort = QString::number(http.port());
    // Downloads read only what was published: the sheet's half-stored values stay unseen.
    EXPECT_TRUE(getUrlSource("http://auction.invalid/item", true).isEmpty());
    EXPECT_EQ(requests.load(), 0);
    home.app().publishSettings();

    EXPECT_TRUE(getUrlSource("http://auction.invalid/item", true).isEmpty());
    EXPECT_EQ(target, "http://auction.invalid/item");
    EXPECT_TRUE(
        home.logText().contains("getUrlSource: Error status 407 Proxy Authentication Required"));

    useCredentials("proxyuser", "pr0xy");
    EXPECT_EQ(getUrlSource("http://auction.invalid/item", true), "through the proxy");
    EXPECT_FALSE(home.logText().contains("pr0xy"));
}

TEST_F(UrlSourceTest, WorkersReadProxySettingsWhileTheWindowStoresThem)
{
    // What the network page does on the window thread while a download thread starts
    // requests: the reader must see one whole value, old or new, never a torn string.
    std::atomic<bool> stop{false};
    std::atomic<int> torn{0};
    std::thread reader([&] {
        while (!stop.load()) {
            const QString proxy = HttpTransfer::settingsProxy();
            if (!proxy.isEmpty() && proxy != "proxy-a.local:8080" &&
                proxy != "proxy-b.example.net:3128")
                ++torn;
        }
    });
    AppSettings& settings = home.app().settings();
    settings.useProxy = 1;
    for (int i = 0; i < 2000; ++i) {
        const bool a = i % 2 == 0;
        settings.proxyAddress = a ? "proxy-a.local" : "proxy-b.example.net";
        settings.proxyPort = a ? "8080" : "3128";
        home.app().publishSettings();
    }
    stop = true;
    reader.join();
    EXPECT_EQ(torn.load(), 0);
    EXPECT_EQ(HttpTransfer::settingsProxy(), "proxy-b.example.net:3128");
}

TEST_F(UrlSourceTest, SilentServerTimesOut)
{
    DownloadOptions::setTimeoutMs(500);
    RawSocketServer silent(QByteArray(), true);
    EXPECT_TRUE(getUrlSource(silent.url("/item"), true).isEmpty());
    const QString log = home.logText();
    EXPECT_TRUE(log.contains("Error url: (28)"));
    const QString notAvailable = "URL '" + silent.url("/item") + "' not available.";
    EXPECT_TRUE(log.contains(notAvailable));
    EXPECT_TRUE(window.statusTexts().contains(notAvailable));
}

TEST_F(UrlSourceTest, ConnectionDroppedHalfway)
{
    RawSocketServer dropping("HTTP/1.1 200 OK\r\nContent-Type: text/html\r\n"
                             "Content-Length: 100000\r\n\r\n<p>the beginning",
                             false);
    EXPECT_TRUE(getUrlSource(dropping.url("/item"), true).isEmpty());
    EXPECT_TRUE(home.logText().contains("Error url: (18)"));

    RawSocketServer garbage("this is not HTTP at all\r\n\r\n", false);
    EXPECT_TRUE(getUrlSource(garbage.url("/item")).isEmpty());
    EXPECT_TRUE(home.logText().contains("Error url: ("));
}

TEST_F(UrlSourceTest, DeadPortIsReported)
{
    int port = 0;
    {
        LoopbackServer closed;
        closed.start();
        port = closed.port();
    }
    const QString url = QStringLiteral("http://127.0.0.1:%1/").arg(port);
    EXPECT_TRUE(getUrlSource(url).isEmpty());
    EXPECT_TRUE(home.logText().contains("Error url: (7)"));
}

TEST_F(UrlSourceTest, NoConnectionOrOfflineStopsBeforeSending)
{
    std::atomic<int> requests{0};
    http.server().Get("/item", [&](const httplib::Request&, httplib::Response& res) {
        ++requests;
        res.set_content("<p>x</p>", "text/html");
    });
    http.start();
    {
        FakeAccess noLine(false, false);
        EXPECT_TRUE(getUrlSource(http.url("/item"), true).isEmpty());
        EXPECT_TRUE(window.statusTexts().contains(StringTable::text(186)));
    }
    {
        FakeAccess offline(true, true);
        EXPECT_TRUE(IsOffline());
        EXPECT_TRUE(getUrlSource(http.url("/item"), true).isEmpty());
        EXPECT_TRUE(window.statusTexts().contains(StringTable::text(224)));
    }
    EXPECT_FALSE(IsOffline());
    EXPECT_EQ(requests.load(), 0);
    EXPECT_TRUE(home.logText().contains(StringTable::text(186)));
}

TEST_F(UrlSourceTest, OnlyPagesRenderAsText)
{
    const std::string png("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16);
    http.server().Get("/picture", [&](const httplib::Request&, httplib::Response& res) {
        res.set_content(png, "image/png");
    });
    http.server().Get("/huge", [](const httplib::Request&, httplib::Response& res) {
        res.set_content(std::string(200000, 'x'), "text/html");
    });
    http.start();
    EXPECT_TRUE(getUrlSource(http.url("/picture"), true).isEmpty());
    EXPECT_TRUE(home.logText().contains("is not a page (image/png)"));
    EXPECT_EQ(getUrlSource(http.url("/picture")).size(), 16);

    DownloadOptions::setMaxBytes(100000);
    EXPECT_TRUE(getUrlSource(http.url("/huge")).isEmpty());
    EXPECT_TRUE(home.logText().contains("larger than 100000 bytes"));
}

TEST_F(UrlSourceTest, FollowsRedirectsAndDecodesCharsets)
{
    http.server().Get(
        "/old", [](const httplib::Request&, httplib::Response& res) { res.set_redirect("/new"); });
    http.server().Get("/new", [](const httplib::Request&, httplib::Response& res) {
        res.set_content("<p>Preis: 5 \x80</p>", "text/html; charset=windows-1252");
    });
    http.server().Get("/meta", [](const httplib::Request&, httplib::Response& res) {
        res.set_content("<html><head><meta http-equiv=\"Content-Type\" "
                        "content=\"text/html; charset=iso-8859-1\"></head>"
                        "<body><p>M\xfc"
                        "nchen</p></body></html>",
                        "text/html");
    });
    http.start();
    EXPECT_EQ(getUrlSource(http.url("/old"), true), QString::fromUtf8("Preis: 5 €"));
    EXPECT_EQ(getUrlSource(http.url("/meta"), true), QString::fromUtf8("München"));
}

TEST_F(UrlSourceTest, FailuresSayWhy)
{
    http.server().Get("/missing",
                      [](const httplib::Request&, httplib::Response& res) { res.status = 404; });
    http.server().Get("/loop", [](const httplib::Request&, httplib::Response& res) {
        res.set_redirect("/loop");
    });
    http.server().Get("/huge", [](const httplib::Request&, httplib::Response& res) {
        res.set_content(std::string(DownloadOptions::kMaxPageBytes + 1, 'x'), "text/html");
    });
    http.server().Get("/page", [](const httplib::Request&, httplib::Response& res) {
        res.set_content("<p>x</p>", "text/html");
    });
    http.start();
    int deadPort = 0;
    {
        LoopbackServer closed;
        closed.start();
        deadPort = closed.port();
    }
    DownloadOptions::setTimeoutMs(500);
    RawSocketServer silent(QByteArray(), true);

    const UrlSourceResult refused =
        fetchUrlSource(QStringLiteral("http://127.0.0.1:%1/item").arg(deadPort), true);
    EXPECT_TRUE(refused.text.isEmpty());
    EXPECT_TRUE(refused.failure.contains("Connection refused")) << refused.failure.toStdString();
    const QString silence = fetchUrlSource(silent.url("/item"), true).failure;
    EXPECT_TRUE(silence.contains("timed out") || silence.contains("too slow"))
        << silence.toStdString();
    EXPECT_EQ(fetchUrlSource(http.url("/missing"), true).failure, "HTTP status 404 Not Found");
    EXPECT_TRUE(fetchUrlSource(http.url("/loop"), true).failure.contains("redirects"));
    // A page read as text is bounded tighter than a raw download.
    EXPECT_TRUE(fetchUrlSource(http.url("/huge"), true).failure.contains("larger than"));
    EXPECT_FALSE(fetchUrlSource(http.url("/huge"), false).failed());
    EXPECT_FALSE(fetchUrlSource("https://127.0.0.1/x", true).failure.isEmpty());
    const UrlSourceResult page = fetchUrlSource(http.url("/page"), true);
    EXPECT_FALSE(page.failed());
    EXPECT_EQ(page.text, "x");
}
