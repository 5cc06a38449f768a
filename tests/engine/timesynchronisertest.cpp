// Site time against the practice site's official-time page: the measurement, its
// plausibility test, the broken pages and the millisecond measurement.

#include "enginefakes.h"

#include "app/stringtable.h"
#include "engine/connectionmanager.h"
#include "engine/timesynchroniser.h"
#include "sites/sitesettings.h"
#include "support/apphome.h"
#include "support/localzone.h"
#include "support/practicesiteprocess.h"
#include "web/urlsource.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

namespace {

// 15 January 2026, 13:00:00 in Central Europe: what the frozen site shows.
const qint64 kPageTime = LocalZone::utc(2026, 1, 15, 12, 0, 0);

class TimeSynchroniserTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        EnsureCoreApplication();
        if (!QFile::exists(PracticeSiteProcess::binaryPath()))
            GTEST_SKIP() << "the practice site is not built";
        // The site writes its clock in the zone it inherits from this process.
        m_site = std::make_unique<PracticeSiteProcess>();
        ASSERT_TRUE(m_site->isRunning()) << m_site->errorString().toStdString();
        Registry& machine = app().machineRegistry();
        m_site->writeProfile(machine);
        useSite("www.ebay.com");
        app().setMainWindow(&m_window);
        m_sync = std::make_unique<TimeSynchroniser>(app(), nullptr);
        QObject::connect(m_sync.get(), &TimeSynchroniser::accepted, [this] { ++m_accepted; });
    }

    void TearDown() override { app().setMainWindow(nullptr); }

    AppContext& app() { return m_home.app(); }
    QString log() const { return m_home.logText(); }

    void useSite(const QString& site)
    {
        app().settings().currentSite = site;
        app().publishSettings();
        m_sites.load(app().machineRegistry(), site);
    }

    void control(const QByteArray& method, const QString& path, const QByteArray& json)
    {
        const PracticeSiteProcess::Reply reply = m_site->control(method, path, json);
        ASSERT_TRUE(reply.ok()) << reply.body.toStdString();
    }

    // The site's clock stands (almost) still at `siteTime` and a half, so that every read
    // shows the same second.
    void freezeSiteAt(qint64 siteTime)
    {
        const PracticeSiteProcess::Reply now = m_site->control("GET", "/clock");
        ASSERT_TRUE(now.ok());
        const double machine = QJsonDocument::fromJson(now.body).object()["machineTime"].toDouble();
        const double offset = double(siteTime) + 0.5 - machine;
        control("POST", "/clock",
                QStringLiteral("{\"offset\":%1,\"speed\":1e-9}").arg(offset, 0, 'f', 3).toUtf8());
    }

    // The program's clock stands at `local` and moves only when the test moves it.
    void setLocal(qint64 local)
    {
        m_local = local;
        app().clock().setTimeSource([this] { return m_local; });
    }

    void addFault(const QByteArray& json) { control("POST", "/faults", json); }

    LocalZone m_zone;
    AppHome m_home;
    SiteSettings m_sites;
    AnsweringWindow m_window;
    std::unique_ptr<PracticeSiteProcess> m_site;
    std::unique_ptr<TimeSynchroniser> m_sync;
    qint64 m_local = 0;
    int m_accepted = 0;
};

} // namespace

TEST_F(TimeSynchroniserTest, AcceptedMeasurementFollowsTheSiteClock)
{
    // Local and site clocks both run for real; the site is 37 s ahead.
    control("POST", "/clock", R"({"offset":37})");
    ASSERT_EQ(m_sync->synchronise(), TimeSynchroniser::Outcome::Accepted);
    EXPECT_TRUE(app().clock().isSynchronised());
    EXPECT_NEAR(double(app().clock().offset()), -37.0, 1.0);
    EXPECT_NEAR(double(app().clock().siteNow() - app().clock().localNow()), 37.0, 1.0);
    EXPECT_EQ(m_accepted, 1);
    ASSERT_GE(m_window.messages.size(), 2);
    EXPECT_TRUE(m_window.messages.at(0).endsWith(StringTable::text(174)));
    EXPECT_TRUE(m_window.messages.at(1).endsWith(StringTable::text(207)));
    const QString text = log();
    EXPECT_TRUE(text.contains(StringTable::text(174)));
    EXPECT_TRUE(text.contains(StringTable::text(207)));
    EXPECT_TRUE(text.contains("Time span: 00:00:-3")); // -36 to -38 s
    EXPECT_FALSE(text.contains(StringTable::text(213)));

    // The German page: its own keyword and a numeric date with a two-digit year.
    useSite("www.ebay.de");
    control("POST", "/clock", R"({"offset":-600})");
    ASSERT_EQ(m_sync->synchronise(), TimeSynchroniser::Outcome::Accepted);
    EXPECT_NEAR(double(app().clock().offset()), 600.0, 1.0);
    EXPECT_EQ(m_accepted, 2);
}

TEST_F(TimeSynchroniserTest, HalfTheDownloadTimeIsAddedToThePageTime)
{
    freezeSiteAt(kPageTime);
    setLocal(kPageTime + 1000);
    int downloads = 0;
    qint64 downloadSeconds = 4;
    m_sync->setFetch([&](const QString& url) {
        ++downloads;
        m_local += downloadSeconds;
        return getUrlSource(url);
    });

    ASSERT_EQ(m_sync->synchronise(), TimeSynchroniser::Outcome::Accepted);
    EXPECT_EQ(downloads, 1);
    EXPECT_EQ(m_sync->lastSiteTime(), kPageTime - 2);
    EXPECT_EQ(app().clock().offset(), 1006);
    EXPECT_EQ(app().clock().offsetMs(), 1006000);
    EXPECT_EQ(app().clock().siteNow(), kPageTime - 2); // at t1
    EXPECT_TRUE(log().contains("Time span: 00:16:46"));
    EXPECT_EQ(TimeSynchroniser::siteClockText(app().clock().siteNow()),
              "eBay® time : Jan 15, 2026, 12:59:58");

    // One second of download halves to nothing: the page time as it is.
    downloadSeconds = 1;
    setLocal(kPageTime + 1000);
    ASSERT_EQ(m_sync->synchronise(), TimeSynchroniser::Outcome::Accepted);
    EXPECT_EQ(m_sync->lastSiteTime(), kPageTime);
    EXPECT_EQ(app().clock().offset(), 1001);
}

TEST_F(TimeSynchroniserTest, OffsetsUpToTwentyFourHoursAndAnHourArePlausible)
{
    freezeSiteAt(kPageTime);
    const qint64 edge = 24 * 3600 + 59 * 60 + 59;

    setLocal(kPageTime + edge);
    ASSERT_EQ(m_sync->synchronise(), TimeSynchroniser::Outcome::Accepted);
    EXPECT_EQ(app().clock().offset(), edge);

    // 25 h is refused and logged, and the accepted offset stays in force.
    setLocal(kPageTime + edge + 1);
    ASSERT_EQ(m_sync->synchronise(), TimeSynchroniser::Outcome::Rejected);
    EXPECT_EQ(m_sync->lastMeasuredOffset(), edge + 1);
    EXPECT_EQ(app().clock().offset(), edge);
    EXPECT_TRUE(m_window.messages.last().endsWith(StringTable::text(213)));
    EXPECT_TRUE(log().contains("Time span: days 1, hours: 01, mins: 00, secs: 00"));

    setLocal(kPageTime - edge);
    ASSERT_EQ(m_sync->synchronise(), TimeSynchroniser::Outcome::Accepted);
    EXPECT_EQ(app().clock().offset(), -edge);
    setLocal(kPageTime - edge - 1);
    ASSERT_EQ(m_sync->synchronise(), TimeSynchroniser::Outcome::Rejected);
    EXPECT_EQ(app().clock().offset(), -edge);
    EXPECT_EQ(m_accepted, 2);
}

TEST_F(TimeSynchroniserTest, MaintenancePagesMeasureNothing)
{
    addFault(R"({"page":"TimeShow","kind":"maintenance","count":1})");
    QStringList noticesShown;
    QObject::connect(m_sync.get(), &TimeSynchroniser::maintenancePage,
                     [&noticesShown](const QString& url) { noticesShown << url; });
    EXPECT_EQ(m_sync->synchronise(), TimeSynchroniser::Outcome::Maintenance);
    EXPECT_TRUE(m_window.messages.last().endsWith(StringTable::text(214)));
    // The site's notice is offered to the user: the time page's own address.
    ASSERT_EQ(noticesShown.size(), 1);
    EXPECT_TRUE(noticesShown.at(0).contains("TimeShow"));
    EXPECT_FALSE(app().clock().isSynchronised());

    // "unavailable" anywhere wins over a readable time.
    addFault(R"j({"page":"TimeShow","kind":"wording","from":"Official Time",)j"
             R"j("to":"Official Time (archive unavailable)","count":1})j");
    EXPECT_EQ(m_sync->synchronise(), TimeSynchroniser::Outcome::Maintenance);
    EXPECT_FALSE(app().clock().isSynchronised());
    EXPECT_EQ(m_accepted, 0);
    EXPECT_FALSE(log().contains(StringTable::text(213)));

    // The next read is a good one again.
    EXPECT_EQ(m_sync->synchronise(), TimeSynchroniser::Outcome::Accepted);
}

TEST_F(TimeSynchroniserTest, PageWithoutTheKeywordNamesTheAddress)
{
    addFault(R"({"page":"TimeShow","kind":"wording","from":"The official eBay Time is now:",)"
             R"("to":"Site time:"})");
    EXPECT_EQ(m_sync->synchronise(), TimeSynchroniser::Outcome::SiteUnavailable);
    const QString url = m_sites.lookup("%s_URL_TimeSync");
    EXPECT_TRUE(m_window.messages.last().endsWith("Site unavailable - '" + url + "'."));
    EXPECT_FALSE(app().clock().isSynchronised());

    // A connection refused gives an empty page: the same answer.
    m_sites.setValue("www.ebay.com_URL_TimeSync", "http://127.0.0.1:1/time");
    EXPECT_EQ(m_sync->synchronise(), TimeSynchroniser::Outcome::SiteUnavailable);
    EXPECT_EQ(m_accepted, 0);
}

TEST_F(TimeSynchroniserTest, EmptyTimeTextKeepsTheAcceptedOffset)
{
    freezeSiteAt(kPageTime);
    // Before any good measurement a bad one leaves the clock unsynchronised.
    addFault(R"({"page":"TimeShow","kind":"wording","from":"</font>","to":"","count":1})");
    setLocal(kPageTime + 100);
    ASSERT_EQ(m_sync->synchronise(), TimeSynchroniser::Outcome::Rejected);
    EXPECT_FALSE(app().clock().isSynchronised());
    EXPECT_EQ(app().clock().offsetMs(), 0);

    ASSERT_EQ(m_sync->synchronise(), TimeSynchroniser::Outcome::Accepted);
    EXPECT_EQ(app().clock().offset(), 100);

    // No time text: an offset of decades, refused; site time stays where it was.
    addFault(R"({"page":"TimeShow","kind":"wording","from":"</font>","to":"","count":1})");
    setLocal(kPageTime + 200);
    ASSERT_EQ(m_sync->synchronise(), TimeSynchroniser::Outcome::Rejected);
    EXPECT_EQ(m_sync->lastMeasuredOffset(), kPageTime + 200);
    EXPECT_EQ(app().clock().offset(), 100);
    EXPECT_EQ(app().clock().siteNow(), kPageTime + 100);
    EXPECT_TRUE(app().clock().isSynchronised());
    EXPECT_EQ(m_accepted, 1);
    EXPECT_TRUE(log().contains(StringTable::text(213)));
    EXPECT_TRUE(log().contains("The site time of the last accepted synchronization is kept."));
}

TEST_F(TimeSynchroniserTest, NoConnectionDoesNothing)
{
    auto probe = std::make_shared<FakeProbe>();
    probe->set(false, 0, "No default route and no network interface is up.");
    ConnectionManager connections(app(), probe, std::make_shared<FakeRunner>());
    TimeSynchroniser sync(app(), &connections);
    int downloads = 0;
    sync.setFetch([&downloads](const QString&) {
        ++downloads;
        return QString();
    });
    const int messagesBefore = m_window.messages.size();
    EXPECT_EQ(sync.synchronise(), TimeSynchroniser::Outcome::NoConnection);
    EXPECT_EQ(downloads, 0);
    EXPECT_FALSE(log().contains(StringTable::text(174)));
    // Only the connection test's own lines.
    for (int i = messagesBefore; i < m_window.messages.size(); ++i)
        EXPECT_FALSE(m_window.messages.at(i).contains(StringTable::text(174)));
    EXPECT_FALSE(app().clock().isSynchronised());

    probe->set(true, IConnectivityProbe::Lan);
    sync.setFetch(nullptr);
    EXPECT_EQ(sync.synchronise(), TimeSynchroniser::Outcome::Accepted);
}

TEST_F(TimeSynchroniserTest, PreciseMeasurementFindsAFractionalOffset)
{
    const PracticeSiteProcess::Reply reply =
        m_site->control("POST", "/clock", R"({"offsetMs":3370})");
    ASSERT_TRUE(reply.ok()) << reply.body.toStdString();
    EXPECT_EQ(QJsonDocument::fromJson(reply.body).object()["offsetMs"].toInt(), 3370);

    app().settings().preciseStart = 1;
    ASSERT_EQ(m_sync->synchronise(), TimeSynchroniser::Outcome::Accepted);
    ASSERT_TRUE(m_sync->lastPrecise().ok) << m_sync->lastPrecise().failure.toStdString();
    // Local minus site: the site is 3.37 s ahead. Correctness, not speed: a loose bound.
    EXPECT_NEAR(double(app().clock().offsetMs()), -3370.0, 100.0);
    EXPECT_NEAR(double(app().clock().siteNowMs() - app().clock().localNowMs()), 3370.0, 100.0);
    EXPECT_TRUE(log().contains("Precise time span: "));
    EXPECT_EQ(m_accepted, 1);
}

TEST_F(TimeSynchroniserTest, PreciseMeasurementFallsBackToWholeSeconds)
{
    // The page stops showing a time after the first read: whole seconds, and a warning.
    freezeSiteAt(kPageTime);
    setLocal(kPageTime + 50);
    app().settings().preciseStart = 1;
    addFault(R"({"page":"TimeShow","kind":"maintenance"})");
    int reads = 0;
    m_sync->setFetch([&reads](const QString& url) {
        // The first read is the whole-second one; it goes round the fault.
        return ++reads == 1 ? QString("<p>The official eBay Time is now:</p><p><b>"
                                      "Jan 15, 2026 13:00:00 PST</b></font>")
                            : getUrlSource(url);
    });
    m_sync->setPause([](qint64) {});
    ASSERT_EQ(m_sync->synchronise(), TimeSynchroniser::Outcome::Accepted);
    EXPECT_FALSE(m_sync->lastPrecise().ok);
    EXPECT_EQ(reads, 2);
    EXPECT_EQ(app().clock().offsetMs(), 50000);
    EXPECT_TRUE(m_window.messages.last().contains("Precise time synchronization failed"));
}

TEST(SiteClockMs, MillisecondsAndWholeSecondsAgree)
{
    SiteClock clock;
    qint64 ms = 1700000000250;
    clock.setTimeSourceMs([&ms] { return ms; });
    EXPECT_EQ(clock.localNow(), 1700000000);
    EXPECT_EQ(clock.localNowMs(), 1700000000250);

    // The site is 3.37 s ahead: its second ticks over 370 ms before the local one.
    clock.setOffsetMs(-3370);
    EXPECT_TRUE(clock.isSynchronised());
    EXPECT_EQ(clock.offset(), -3);
    EXPECT_EQ(clock.siteNowMs(), 1700000003620);
    EXPECT_EQ(clock.siteNow(), 1700000003);
    ms = 1700000000630;
    EXPECT_EQ(clock.siteNow(), 1700000004);
    EXPECT_EQ(clock.localToSite(1700000000), 1700000003);

    // A site behind the local clock rounds down too, also before 1970.
    clock.setOffsetMs(1500);
    ms = -250;
    EXPECT_EQ(clock.localNow(), -1);
    EXPECT_EQ(clock.siteNow(), -2);
    EXPECT_EQ(clock.offset(), 2);

    // A clock in whole seconds behaves as before.
    clock.setTimeSource([] { return qint64(1000); });
    clock.setOffset(30);
    EXPECT_EQ(clock.localNowMs(), 1000000);
    EXPECT_EQ(clock.siteNow(), 970);
    EXPECT_EQ(clock.localToSite(1000), 970);
    EXPECT_EQ(clock.offsetMs(), 30000);
}
