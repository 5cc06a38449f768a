// How close "Start at the exact moment" sends the bid form to its planned moment. The
// practice site's clock runs 3.37 s ahead of the machine; the time synchronisation measures
// it with the option on; 100 auctions end one site second after another (K to a second with
// --together K). The engine tick scans every 5 s, the scheduler arms its one-shot timer for
// each bid due before the next tick, and the Start routine (command 32807, as gavelind runs
// it) reads the item page and starts the bid thread, which loads the page and sends the form.
//
// Figures, in milliseconds after the planned moment (end time less "start before"):
//   sent_*    "bid form sent at" in the log, by Gavelin's own site clock
//   site_*    the site time at which the site received that form (its request log): what
//             the auction sees, the error of the measured offset included
//   timer_*   when the timer marked the bid ("marked" of the "planned start" line)
// and offset_error_ms, the measured offset against the site's true one.
//
//   bench_precisestart [--bids N] [--together K] [--offset-ms MS] [--timeline]
//                      [benchmark flags]

#include "app/appcontext.h"
#include "app/workerthread.h"
#include "engine/bidscheduler.h"
#include "engine/bidstarter.h"
#include "engine/bidthread.h"
#include "engine/headlessmainwindow.h"
#include "engine/itempageupdate.h"
#include "engine/timesynchroniser.h"
#include "model/bidfolder.h"
#include "model/biditem.h"
#include "model/bidsdoc.h"
#include "sites/siteaccess.h"
#include "sites/sitesettings.h"
#include "support/practicesiteprocess.h"
#include "support/temphome.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPointer>
#include <QRegularExpression>
#include <QTimer>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <cmath>
#include <memory>
#include <string>

namespace {

const QString kUser = QStringLiteral("precise_pat");
const QString kPassword = QStringLiteral("Pp-7-secret");
constexpr int kTickMs = 5000;    // the engine tick
constexpr int kStartBefore = 8;  // seconds before the end
constexpr int kLeadSeconds = 15; // from the set-up to the first planned moment

struct Options
{
    int bids = 100;
    int together = 1;
    int offsetMs = 3370;
    bool timeline = false; // print each bid's requests up to its bid form
};
Options g_options;

struct Spread
{
    double mean = 0, p95 = 0, max = 0;
    int count = 0;
};
Spread spreadOf(QList<double> values)
{
    Spread s;
    s.count = int(values.size());
    if (values.isEmpty())
        return s;
    for (double& v : values)
        v = std::abs(v);
    std::sort(values.begin(), values.end());
    for (double v : values)
        s.mean += v;
    s.mean /= double(values.size());
    s.p95 = values[qsizetype(std::ceil(0.95 * double(values.size()))) - 1];
    s.max = values.last();
    return s;
}

qint64 siteMsOf(const QString& text)
{
    return QDateTime::fromString(text, QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"))
        .toMSecsSinceEpoch();
}

// The site, the program with precise start on and its list, wired as gavelind wires them.
class PreciseStartBench
{
public:
    PreciseStartBench()
    {
        m_app = std::make_unique<AppContext>(m_home.paths());
        m_app->log().open(m_home.paths().logFile(), qint64(1) << 30);
        for (const QString& line : m_site.profileLines()) {
            const qsizetype equals = line.indexOf('=');
            m_app->machineRegistry().writeStr("Sites", line.left(equals), line.mid(equals + 1));
        }
        control(
            "POST", "/accounts",
            QStringLiteral(R"({"userid":"%1","password":"%2"})").arg(kUser, kPassword).toUtf8());
        AppSettings& settings = m_app->settings();
        settings.currentSite = QStringLiteral("www.ebay.com");
        settings.login = kUser;
        settings.password = kPassword;
        settings.preciseStart = 1;
        settings.startBefore = kStartBefore;
        m_app->publishSettings();
        m_sites.load(m_app->machineRegistry(), settings.currentSite);

        m_doc = std::make_unique<CBidsDoc>(ListEnvironment::of(*m_app));
        m_doc->newDocument();
        m_starter = std::make_unique<BidStarter>(*m_app, *m_doc);
        m_starter->hooks().createThread = [this](const QString& id) -> IBidWorker* {
            auto* thread = new CBidThread(*m_app, *m_doc, id);
            m_threads << thread;
            return thread;
        };
        m_starter->hooks().postStart = [](IBidWorker* worker, SiteProfile profile) {
            if (auto* thread = dynamic_cast<CBidThread*>(worker))
                thread->postStart(std::move(profile));
        };
        m_scheduler = std::make_unique<BidScheduler>(*m_app, *m_doc, [] { return true; });
        m_scheduler->setTickMs(kTickMs);
        QObject::connect(m_scheduler.get(), &BidScheduler::preciseStartFired,
                         [this](const QString&) { ++m_byTimer; });
        m_window.setBidsViewHandler([this](int command) {
            if (command == IMainWindow::CmdStartReadyBids)
                m_starter->startReadyBids();
            else if (command == IMainWindow::CmdRedisplay)
                m_doc->rebuild();
        });
        m_app->setMainWindow(&m_window);
    }
    ~PreciseStartBench()
    {
        quitThreads();
        m_scheduler->waitForScans(30000);
        m_app->setMainWindow(nullptr);
        m_scheduler.reset();
        m_starter.reset();
        m_doc.reset();
    }

    bool siteRunning() const { return m_site.isRunning(); }

    // The site's clock set ahead, then measured as the program measures it.
    bool synchronise(double* errorMs)
    {
        control("POST", "/clock",
                QStringLiteral(R"({"offsetMs":%1})").arg(g_options.offsetMs).toUtf8());
        TimeSynchroniser sync(*m_app, nullptr);
        sync.synchronise();
        *errorMs = double(m_app->clock().offsetMs() + g_options.offsetMs);
        return m_app->clock().isSynchronised() && sync.lastPrecise().ok;
    }

    // Auctions ending one site second after another, their items read and waiting.
    void addAuctions()
    {
        const double siteNow = control("GET", "/clock").toObject()["siteTime"].toDouble();
        const qint64 first = qint64(std::floor(siteNow)) + kLeadSeconds;
        for (int i = 0; i < g_options.bids; ++i) {
            const qint64 planned = first + i / g_options.together;
            const QString id = control("POST", "/auctions",
                                       QStringLiteral(R"({"site":"us","title":"Precise clock",)"
                                                      R"("startPrice":5,"endTime":%1})")
                                           .arg(planned + kStartBefore)
                                           .toUtf8())
                                   .toObject()["item"]
                                   .toString();
            if (id.isEmpty())
                continue;
            {
                ItemsLockGuard guard(m_app->itemsLock());
                auto item = std::make_unique<CBidItem>();
                item->setId(id);
                item->setMaxPrice(20.0f);
                item->setQuantity(1);
                m_doc->appendItem(std::move(item), m_doc->folderById(CBidFolder::OpenAuctionsId));
            }
            // As the refresh thread leaves an item it has read.
            ItemPageUpdate::read(*m_doc, id, BuildSiteProfile());
            ItemsLockGuard guard(m_app->itemsLock());
            CBidItem* item = m_doc->itemById(id);
            item->setRefreshed(true);
            item->setStatus(StatusActive);
            m_ids << id;
            m_lastEndMs = (planned + kStartBefore) * 1000;
        }
    }

    // The engine tick until every auction is over and its bid thread has seen it.
    void run()
    {
        QEventLoop loop;
        QTimer tick;
        const auto engineTick = [&] {
            m_scheduler->startScan();
            ItemsLockGuard guard(m_app->itemsLock());
            bool running = false;
            for (const auto& item : m_doc->items()) {
                if (auto* thread = dynamic_cast<CBidThread*>(item->bidThread())) {
                    thread->postPoll();
                    running = true;
                }
            }
            if (!running && m_app->clock().siteNowMs() > m_lastEndMs)
                loop.quit();
        };
        QObject::connect(&tick, &QTimer::timeout, engineTick);
        tick.start(kTickMs);
        QTimer deadline;
        deadline.setSingleShot(true);
        QObject::connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
        deadline.start(int(m_lastEndMs - m_app->clock().siteNowMs()) + 4 * kTickMs);
        engineTick();
        loop.exec();
        quitThreads();
    }

    void report(benchmark::State& state)
    {
        QFile file(m_home.paths().logFile());
        file.open(QIODevice::ReadOnly);
        const QString log = QString::fromUtf8(file.readAll());
        static const QRegularExpression plannedLine(
            QStringLiteral(R"(Bid #(\d+): planned start (\S+ \S+), marked (\S+ \S+) \(site)"));
        static const QRegularExpression sentLine(
            QStringLiteral(R"(Bid #(\d+): bid form sent at (\S+ \S+) \(site)"));
        QHash<QString, qint64> planned, marked, sent;
        for (auto it = plannedLine.globalMatch(log); it.hasNext();) {
            const QRegularExpressionMatch m = it.next();
            planned.insert(m.captured(1), siteMsOf(m.captured(2)));
            marked.insert(m.captured(1), siteMsOf(m.captured(3)));
        }
        for (auto it = sentLine.globalMatch(log); it.hasNext();) {
            const QRegularExpressionMatch m = it.next();
            if (!sent.contains(m.captured(1)))
                sent.insert(m.captured(1), siteMsOf(m.captured(2)));
        }
        // The site's requests of each item, in its own time: the first bid form, and the item
        // page reads of the second before the planned moment up to that form (the measured
        // offset may put the start a little before the moment by the site's clock).
        QHash<QString, double> arrived;
        QHash<QString, QStringList> timeline;
        int readsBeforeForm = 0;
        for (const QJsonValue entry : control("GET", "/log").toObject()["entries"].toArray()) {
            const QJsonObject e = entry.toObject();
            const QString id = e["item"].toString();
            const QString page = e["page"].toString();
            const double at = e["siteTime"].toDouble() * 1000.0;
            if (!planned.contains(id) || arrived.contains(id) || at < double(planned[id] - 1000))
                continue;
            timeline[id] << page + QString::asprintf(" %+.1f", at - double(planned[id]));
            if (page == QLatin1String("MakeBid"))
                arrived.insert(id, at);
            else if (page == QLatin1String("ViewItem"))
                ++readsBeforeForm;
        }
        if (g_options.timeline) {
            for (const QString& id : m_ids)
                std::printf("bid %s, ms after the planned moment by the site's clock: %s\n",
                            qPrintable(id), qPrintable(timeline.value(id).join(", ")));
        }

        QList<double> sentMs, siteMs, timerMs;
        int placed = 0, within50 = 0;
        for (const QString& id : m_ids) {
            if (!planned.contains(id))
                continue;
            timerMs << double(marked[id] - planned[id]);
            if (sent.contains(id))
                sentMs << double(sent[id] - planned[id]);
            if (arrived.contains(id)) {
                const double late = arrived[id] - double(planned[id]);
                siteMs << late;
                within50 += std::abs(late) <= 50.0 ? 1 : 0;
            }
            placed += control("GET", "/auctions/" + id).toObject()["bids"].toArray().size() > 0;
        }
        const Spread s = spreadOf(sentMs), site = spreadOf(siteMs), timer = spreadOf(timerMs);
        state.counters["bids"] = double(m_ids.size());
        state.counters["started_by_timer"] = m_byTimer;
        state.counters["forms_sent"] = s.count;
        state.counters["bids_placed"] = placed;
        state.counters["sent_ms_mean"] = s.mean;
        state.counters["sent_ms_p95"] = s.p95;
        state.counters["sent_ms_max"] = s.max;
        state.counters["site_ms_mean"] = site.mean;
        state.counters["site_ms_p95"] = site.p95;
        state.counters["site_ms_max"] = site.max;
        state.counters["site_within_50ms"] = within50;
        state.counters["timer_ms_mean"] = timer.mean;
        state.counters["timer_ms_max"] = timer.max;
        state.counters["item_reads_before_form"] = double(readsBeforeForm) / std::max(1, s.count);
    }

private:
    QJsonValue control(const QByteArray& method, const QString& path, const QByteArray& json = {})
    {
        const PracticeSiteProcess::Reply reply = m_site.control(method, path, json);
        if (!reply.ok())
            std::fprintf(stderr, "control %s %s: %d %s\n", method.constData(), qPrintable(path),
                         reply.status, reply.body.left(200).constData());
        const QJsonDocument doc = QJsonDocument::fromJson(reply.body);
        return doc.isArray() ? QJsonValue(doc.array()) : QJsonValue(doc.object());
    }

    void quitThreads()
    {
        {
            ItemsLockGuard guard(m_app->itemsLock());
            for (const QPointer<CBidThread>& thread : m_threads) {
                if (thread)
                    thread->postQuit();
            }
        }
        QElapsedTimer wait;
        wait.start();
        while (wait.elapsed() < 30000 && std::any_of(m_threads.begin(), m_threads.end(),
                                                     [](const auto& t) { return !t.isNull(); }))
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
        WorkerThread::waitForDetached(30000);
    }

    TempHome m_home;
    PracticeSiteProcess m_site;
    std::unique_ptr<AppContext> m_app;
    SiteSettings m_sites;
    HeadlessMainWindow m_window{false};
    std::unique_ptr<CBidsDoc> m_doc;
    std::unique_ptr<BidStarter> m_starter;
    std::unique_ptr<BidScheduler> m_scheduler;
    QList<QPointer<CBidThread>> m_threads;
    QStringList m_ids;
    qint64 m_lastEndMs = 0;
    int m_byTimer = 0;
};

void PreciseStart(benchmark::State& state)
{
    for (auto _ : state) {
        PreciseStartBench bench;
        if (!bench.siteRunning()) {
            state.SkipWithError("the practice site did not start");
            return;
        }
        double offsetError = 0;
        if (!bench.synchronise(&offsetError)) {
            state.SkipWithError("the precise time measurement failed");
            return;
        }
        state.counters["offset_error_ms"] = offsetError;
        bench.addAuctions();
        bench.run();
        bench.report(state);
    }
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<char*> rest{argv[0]};
    for (int i = 1; i < argc; ++i) {
        const QByteArray arg(argv[i]);
        const bool hasValue = i + 1 < argc;
        if (arg == "--bids" && hasValue)
            g_options.bids = std::max(1, atoi(argv[++i]));
        else if (arg == "--together" && hasValue)
            g_options.together = std::max(1, atoi(argv[++i]));
        else if (arg == "--offset-ms" && hasValue)
            g_options.offsetMs = atoi(argv[++i]);
        else if (arg == "--timeline")
            g_options.timeline = true;
        else
            rest.push_back(argv[i]);
    }
    QCoreApplication application(argc, argv);
    int restCount = int(rest.size());
    benchmark::Initialize(&restCount, rest.data());
    if (benchmark::ReportUnrecognizedArguments(restCount, rest.data()))
        return 1;
    const std::string name = "PreciseStart/bids:" + std::to_string(g_options.bids) +
                             "/together:" + std::to_string(g_options.together) +
                             "/offset_ms:" + std::to_string(g_options.offsetMs);
    benchmark::RegisterBenchmark(name.c_str(), PreciseStart)
        ->Iterations(1)
        ->Unit(benchmark::kSecond);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
