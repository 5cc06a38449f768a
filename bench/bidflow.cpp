// Gavelin's whole bid flow against the practice site on loopback: item page, bid form,
// sign-in, confirmation, item page again. One bid and ten at once (ten auctions, ten bid
// threads), for comparison with the same flow in a headless browser
// (bench/chromium-bidflow, bench/bidflow-vs-chromium.sh).
//
// Time per flow: from just before the bid thread is made (its thread, its browser, Start
// posted) to the moment the log shows "Bid #N, user is last bidder.", which the thread
// writes once it has read the item page it loads after the confirmation. The log file is
// followed on the main thread as it grows, so each moment is known to about a millisecond.
//
// Memory: every count of bids runs in a process of its own (--flow-only), so that one
// count's peak is not the other's. Figures: the peak resident set of the whole process
// (VmHWM of /proc/self/status), its resident set before the first flow (the program with
// its settings, list and items read, no bid thread yet), and the peak proportional set size
// (Pss of /proc/self/smaps_rollup, sampled every 20 ms). The site runs in another process
// and is not counted.
//
//   bench_bidflow [benchmark flags] [--rounds N]     1 and 10 bids, as benchmark figures
//   bench_bidflow --flow-only --bids N [--rounds N] [--port P]
//       one count in this process, against the site on port P (else a site of its own),
//       printed as one JSON line

#include "app/appcontext.h"
#include "app/workerthread.h"
#include "engine/bidthread.h"
#include "engine/headlessmainwindow.h"
#include "engine/itempageupdate.h"
#include "model/bidfolder.h"
#include "model/biditem.h"
#include "model/bidsdoc.h"
#include "sites/siteaccess.h"
#include "sites/sitesettings.h"
#include "support/practicesiteprocess.h"
#include "support/temphome.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileSystemWatcher>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPointer>
#include <QProcess>
#include <QRegularExpression>
#include <QTcpSocket>
#include <QTimer>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <limits>
#include <memory>

namespace {

const QString kUser = QStringLiteral("flow_bench");
const QString kPassword = QStringLiteral("Fb-7-secret");
constexpr int kFlowTimeoutMs = 60000;
constexpr int kTickMs = 5000; // the engine tick: polls the bid threads

// /proc/self/status and /proc/self/smaps_rollup, in KiB.
qint64 procValueKb(const char* file, const QByteArray& key)
{
    QFile f(QString::fromLatin1(file));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : f.readAll().split('\n')) {
        if (line.startsWith(key))
            return line.mid(key.size()).trimmed().split(' ').value(0).toLongLong();
    }
    return 0;
}
qint64 rssKb()
{
    return procValueKb("/proc/self/status", "VmRSS:");
}
qint64 peakRssKb()
{
    return procValueKb("/proc/self/status", "VmHWM:");
}
qint64 pssKb()
{
    return procValueKb("/proc/self/smaps_rollup", "Pss:");
}

// The practice site's control interface on 127.0.0.1:port, blocking, one connection per
// request.
class SiteControl
{
public:
    explicit SiteControl(int port) : m_port(port) {}

    QJsonValue call(const QByteArray& method, const QString& path, const QByteArray& json = {})
    {
        QTcpSocket socket;
        socket.connectToHost(QStringLiteral("127.0.0.1"), quint16(m_port));
        if (!socket.waitForConnected(5000))
            return fail(method, path, socket.errorString().toUtf8());
        socket.write(method + " /_control" + path.toUtf8() + " HTTP/1.1\r\nHost: 127.0.0.1\r\n" +
                     "Connection: close\r\nContent-Type: application/json\r\nContent-Length: " +
                     QByteArray::number(json.size()) + "\r\n\r\n" + json);
        QByteArray reply;
        while (socket.state() == QAbstractSocket::ConnectedState && socket.waitForReadyRead(10000))
            reply += socket.readAll();
        reply += socket.readAll();
        const qsizetype headerEnd = reply.indexOf("\r\n\r\n");
        const int status = reply.mid(9, 3).toInt();
        if (headerEnd < 0 || status < 200 || status >= 300)
            return fail(method, path, reply.left(300));
        const QJsonDocument doc = QJsonDocument::fromJson(reply.mid(headerEnd + 4));
        return doc.isArray() ? QJsonValue(doc.array()) : QJsonValue(doc.object());
    }
    int failures() const { return m_failures; }

private:
    QJsonValue fail(const QByteArray& method, const QString& path, const QByteArray& why)
    {
        ++m_failures;
        std::fprintf(stderr, "control %s %s failed: %s\n", method.constData(), qPrintable(path),
                     why.constData());
        return {};
    }
    int m_port;
    int m_failures = 0;
};

// Follows the program log as it grows and hands over each new line with the moment it was
// seen (nanoseconds of `clock`).
class LogFollower : public QObject
{
public:
    LogFollower(const QString& path, const QElapsedTimer& clock) : m_file(path), m_clock(clock)
    {
        m_file.open(QIODevice::ReadOnly);
        m_offset = m_file.size();
        m_watcher.addPath(path);
        connect(&m_watcher, &QFileSystemWatcher::fileChanged, this, &LogFollower::readNew);
        // In case a change notice is missed.
        m_fallback.setInterval(5);
        connect(&m_fallback, &QTimer::timeout, this, &LogFollower::readNew);
        m_fallback.start();
    }

    std::function<void(const QString& line, qint64 seenNs)> onLine;

    void readNew()
    {
        const qint64 seen = m_clock.nsecsElapsed();
        if (!m_file.seek(m_offset))
            return;
        const QByteArray bytes = m_file.readAll();
        m_offset += bytes.size();
        m_partial += bytes;
        qsizetype start = 0;
        for (qsizetype end = m_partial.indexOf('\n'); end >= 0;
             end = m_partial.indexOf('\n', start)) {
            if (onLine)
                onLine(QString::fromUtf8(m_partial.mid(start, end - start)), seen);
            start = end + 1;
        }
        m_partial.remove(0, start);
    }

private:
    QFile m_file;
    const QElapsedTimer& m_clock;
    qint64 m_offset = 0;
    QByteArray m_partial;
    QFileSystemWatcher m_watcher;
    QTimer m_fallback;
};

struct Stats
{
    double mean = 0, median = 0, max = 0;
};
Stats statsOf(QList<double> values)
{
    Stats s;
    if (values.isEmpty())
        return s;
    std::sort(values.begin(), values.end());
    for (double v : values)
        s.mean += v;
    s.mean /= double(values.size());
    s.median = values[values.size() / 2];
    s.max = values.last();
    return s;
}
QJsonObject toJson(const Stats& s)
{
    return {{"mean", s.mean}, {"median", s.median}, {"max", s.max}};
}

// The program as gavelind runs a bid: settings pointing at the site, an account, a list, the
// headless main window (its redisplay rebuilds the list, as the engine's does).
class FlowBench
{
public:
    explicit FlowBench(int port) : m_control(port)
    {
        m_app = std::make_unique<AppContext>(m_home.paths());
        m_app->log().open(m_home.paths().logFile(), qint64(1) << 30);
        for (const QJsonValue value : m_control.call("GET", "/profile").toArray()) {
            const QString line = value.toString();
            const qsizetype equals = line.indexOf('=');
            m_app->machineRegistry().writeStr("Sites", line.left(equals), line.mid(equals + 1));
        }
        m_control.call(
            "POST", "/accounts",
            QStringLiteral(R"({"userid":"%1","password":"%2"})").arg(kUser, kPassword).toUtf8());
        AppSettings& settings = m_app->settings();
        settings.currentSite = QStringLiteral("www.ebay.com");
        settings.login = kUser;
        settings.password = kPassword;
        m_app->publishSettings();
        m_sites.load(m_app->machineRegistry(), settings.currentSite);
        m_doc = std::make_unique<CBidsDoc>(ListEnvironment::of(*m_app));
        m_doc->newDocument();
        m_window.setBidsViewHandler([this](int command) {
            if (command == IMainWindow::CmdRedisplay)
                m_doc->rebuild();
        });
        m_app->setMainWindow(&m_window);
        m_clock.start();
    }
    ~FlowBench()
    {
        m_app->setMainWindow(nullptr);
        m_doc.reset();
    }

    // One round: `bids` auctions, their items read, then all bid threads started at once.
    void runRound(int bids)
    {
        QStringList ids;
        for (int i = 0; i < bids; ++i) {
            const QString id =
                m_control
                    .call("POST", "/auctions",
                          R"({"site":"us","title":"Flow lamp","startPrice":5,"endsIn":3600})")
                    .toObject()["item"]
                    .toString();
            if (id.isEmpty())
                continue;
            ids << id;
            addItem(id);
        }
        if (m_rssBeforeKb == 0)
            m_rssBeforeKb = rssKb();

        QHash<QString, qint64> started, confirmed, done;
        static const QRegularExpression confirmation(
            QStringLiteral(R"(Bid #(\d+): confirmation received at)"));
        static const QRegularExpression watching(QStringLiteral(R"(Bid #(\d+), user is last)"));
        QEventLoop loop;
        LogFollower log(m_home.paths().logFile(), m_clock);
        log.onLine = [&](const QString& line, qint64 seen) {
            if (const QRegularExpressionMatch m = confirmation.match(line); m.hasMatch())
                confirmed.insert(m.captured(1), seen);
            if (const QRegularExpressionMatch m = watching.match(line); m.hasMatch()) {
                if (ids.contains(m.captured(1)) && !done.contains(m.captured(1)))
                    done.insert(m.captured(1), seen);
                if (done.size() == ids.size())
                    loop.quit();
            }
        };
        QTimer sample;
        QObject::connect(&sample, &QTimer::timeout, [this] { samplePss(); });
        sample.start(20);
        QList<QPointer<CBidThread>> threads;
        for (const QString& id : ids) {
            started.insert(id, m_clock.nsecsElapsed());
            auto* thread = new CBidThread(*m_app, *m_doc, id);
            threads << thread;
            ItemsLockGuard guard(m_app->itemsLock());
            m_doc->itemById(id)->setBidThread(thread);
            thread->postStart(BuildSiteProfile());
        }
        // The engine tick polls the running threads; the flow itself needs no poll.
        QTimer tick;
        QObject::connect(&tick, &QTimer::timeout, [&] {
            for (const QPointer<CBidThread>& thread : threads) {
                if (thread)
                    thread->postPoll();
            }
        });
        tick.start(kTickMs);
        QTimer::singleShot(kFlowTimeoutMs, &loop, &QEventLoop::quit);
        if (done.size() < ids.size())
            loop.exec();
        log.readNew();
        samplePss();

        qint64 first = std::numeric_limits<qint64>::max(), last = 0;
        for (const QString& id : ids) {
            const bool placed =
                m_control.call("GET", "/auctions/" + id).toObject()["highBidder"].toString() ==
                kUser;
            if (!done.contains(id) || !placed) {
                ++m_failures;
                continue;
            }
            m_flowMs << double(done[id] - started[id]) / 1e6;
            if (confirmed.contains(id))
                m_confirmMs << double(confirmed[id] - started[id]) / 1e6;
            first = std::min(first, started[id]);
            last = std::max(last, done[id]);
        }
        if (last > 0)
            m_batchMs << double(last - first) / 1e6;
        endRound(ids, threads);
    }

    QJsonObject result(int bids, int rounds) const
    {
        return {{"side", "gavelin"},
                {"bids", bids},
                {"rounds", rounds},
                {"flows", int(m_flowMs.size())},
                {"failures", m_failures + m_control.failures()},
                {"flow_ms", toJson(statsOf(m_flowMs))},
                {"confirm_ms", toJson(statsOf(m_confirmMs))},
                {"batch_ms", toJson(statsOf(m_batchMs))},
                {"rss_before_kb", m_rssBeforeKb},
                {"peak_rss_kb", peakRssKb()},
                {"peak_pss_kb", m_peakPssKb},
                {"processes", 1}};
    }

private:
    // The item added and read as the Start routine reads it, then marked running.
    void addItem(const QString& id)
    {
        {
            ItemsLockGuard guard(m_app->itemsLock());
            auto item = std::make_unique<CBidItem>();
            item->setId(id);
            item->setMaxPrice(20.0f);
            item->setQuantity(1);
            m_doc->appendItem(std::move(item), m_doc->folderById(CBidFolder::OpenAuctionsId));
        }
        ItemPageUpdate::read(*m_doc, id, BuildSiteProfile());
        ItemsLockGuard guard(m_app->itemsLock());
        CBidItem* item = m_doc->itemById(id);
        item->setStatus(item->status() == StatusActiveOutbid ? StatusRunningOutbid : StatusRunning);
    }

    void endRound(const QStringList& ids, const QList<QPointer<CBidThread>>& threads)
    {
        {
            ItemsLockGuard guard(m_app->itemsLock());
            for (const QPointer<CBidThread>& thread : threads) {
                if (thread)
                    thread->postQuit();
            }
        }
        QElapsedTimer wait;
        wait.start();
        while (wait.elapsed() < 30000 && std::any_of(threads.begin(), threads.end(),
                                                     [](const auto& t) { return !t.isNull(); }))
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
        WorkerThread::waitForDetached(30000);
        {
            ItemsLockGuard guard(m_app->itemsLock());
            for (const QString& id : ids) {
                if (CBidItem* item = m_doc->itemById(id))
                    m_doc->deleteItem(item);
            }
        }
        for (const QString& id : ids)
            m_control.call("DELETE", "/auctions/" + id);
    }

    void samplePss() { m_peakPssKb = std::max(m_peakPssKb, pssKb()); }

    TempHome m_home;
    SiteControl m_control;
    std::unique_ptr<AppContext> m_app;
    SiteSettings m_sites;
    HeadlessMainWindow m_window{false};
    std::unique_ptr<CBidsDoc> m_doc;
    QElapsedTimer m_clock;
    QList<double> m_flowMs, m_confirmMs, m_batchMs;
    qint64 m_rssBeforeKb = 0;
    qint64 m_peakPssKb = 0;
    int m_failures = 0;
};

struct Options
{
    bool flowOnly = false;
    int bids = 1;
    int rounds = 5;
    int port = 0;
};
Options g_options;

PracticeSiteProcess* g_site = nullptr; // the site the benchmark's child processes use

int runFlowOnly()
{
    std::unique_ptr<PracticeSiteProcess> site;
    int port = g_options.port;
    if (port <= 0) {
        site = std::make_unique<PracticeSiteProcess>();
        if (!site->isRunning()) {
            std::fprintf(stderr, "the practice site did not start: %s\n",
                         qPrintable(site->errorString()));
            return 1;
        }
        port = site->port();
    }
    QJsonObject result;
    {
        FlowBench bench(port);
        for (int round = 0; round < g_options.rounds; ++round)
            bench.runRound(g_options.bids);
        result = bench.result(g_options.bids, g_options.rounds);
    }
    std::printf("%s\n", QJsonDocument(result).toJson(QJsonDocument::Compact).constData());
    return result["failures"].toInt() == 0 ? 0 : 2;
}

// The benchmark figures of one count of bids, measured by a child process of this program.
void BidFlow(benchmark::State& state)
{
    if (!g_site || !g_site->isRunning()) {
        state.SkipWithError("the practice site did not start");
        return;
    }
    const int bids = int(state.range(0));
    QJsonObject r;
    for (auto _ : state) {
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child.start(QCoreApplication::applicationFilePath(),
                    {"--flow-only", "--bids", QString::number(bids), "--rounds",
                     QString::number(g_options.rounds), "--port", QString::number(g_site->port())});
        if (!child.waitForFinished(600000)) {
            child.kill();
            child.waitForFinished();
        }
        const QList<QByteArray> lines = child.readAllStandardOutput().trimmed().split('\n');
        r = QJsonDocument::fromJson(lines.last()).object();
        if (r.isEmpty()) {
            state.SkipWithError("the flow process gave no figures");
            return;
        }
        state.SetIterationTime(r["flow_ms"].toObject()["mean"].toDouble() / 1000.0);
    }
    const QJsonObject flow = r["flow_ms"].toObject();
    state.counters["flows"] = r["flows"].toInt();
    state.counters["failures"] = r["failures"].toInt();
    state.counters["flow_ms_mean"] = flow["mean"].toDouble();
    state.counters["flow_ms_median"] = flow["median"].toDouble();
    state.counters["flow_ms_max"] = flow["max"].toDouble();
    state.counters["confirm_ms_mean"] = r["confirm_ms"].toObject()["mean"].toDouble();
    state.counters["batch_ms_mean"] = r["batch_ms"].toObject()["mean"].toDouble();
    state.counters["rss_before_MiB"] = r["rss_before_kb"].toDouble() / 1024.0;
    state.counters["peak_rss_MiB"] = r["peak_rss_kb"].toDouble() / 1024.0;
    state.counters["peak_pss_MiB"] = r["peak_pss_kb"].toDouble() / 1024.0;
}
BENCHMARK(BidFlow)->ArgName("bids")->Arg(1)->Arg(10)->Iterations(1)->UseManualTime()->Unit(
    benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    // Own options first; the rest is Google Benchmark's.
    std::vector<char*> rest{argv[0]};
    for (int i = 1; i < argc; ++i) {
        const QByteArray arg(argv[i]);
        const bool hasValue = i + 1 < argc;
        if (arg == "--flow-only")
            g_options.flowOnly = true;
        else if (arg == "--bids" && hasValue)
            g_options.bids = std::max(1, atoi(argv[++i]));
        else if (arg == "--rounds" && hasValue)
            g_options.rounds = std::max(1, atoi(argv[++i]));
        else if (arg == "--port" && hasValue)
            g_options.port = atoi(argv[++i]);
        else
            rest.push_back(argv[i]);
    }
    QCoreApplication application(argc, argv);
    if (g_options.flowOnly)
        return runFlowOnly();
    int restCount = int(rest.size());
    benchmark::Initialize(&restCount, rest.data());
    if (benchmark::ReportUnrecognizedArguments(restCount, rest.data()))
        return 1;
    PracticeSiteProcess site;
    g_site = &site;
    benchmark::RunSpecifiedBenchmarks();
    g_site = nullptr;
    benchmark::Shutdown();
    return 0;
}
