#include "engine/bidscheduler.h"

#include "app/appcontext.h"
#include "app/imainwindow.h"
#include "app/stringtable.h"
#include "engine/bidtexts.h"
#include "model/bidsdoc.h"

#include <QDateTime>
#include <QTimer>

namespace {

qint64 floorSeconds(qint64 ms)
{
    return ms >= 0 ? ms / 1000 : -((-ms + 999) / 1000);
}

void postToBidsView(AppContext& app, int command)
{
    if (IMainWindow* window = app.mainWindow())
        window->postBidsViewCommand(command);
}

} // namespace

BidScheduler::BidScheduler(AppContext& app, CBidsDoc& doc, EnsureConnection ensureConnection,
                           QObject* parent)
    : QObject(parent), m_app(app), m_doc(doc), m_ensureConnection(std::move(ensureConnection)),
      m_lockWaitMs(ItemsLock::kSchedulerWaitMs), m_tickMs(5000)
{
    // Scans are short and may overlap; a few threads are plenty.
    m_pool.setMaxThreadCount(2);
    m_pool.setObjectName(QStringLiteral("BidScheduler"));
}

BidScheduler::~BidScheduler()
{
    m_pool.waitForDone();
}

qint64 BidScheduler::siteNowMs() const
{
    if (m_siteNowMs)
        return m_siteNowMs();
    return m_app.clock().siteNowMs();
}

void BidScheduler::startScan()
{
    m_pool.start([this] { scan(); });
}

bool BidScheduler::waitForScans(int milliseconds)
{
    return m_pool.waitForDone(milliseconds);
}

BidScheduler::Pass BidScheduler::scan()
{
    Pass pass;
    // Without a measurement the end times cannot be compared with anything.
    if (!m_app.clock().isSynchronised())
        return pass;
    const std::shared_ptr<const AppSettings> settings = m_app.settingsSnapshot();
    const int startBefore = settings->startBefore;
    const qint64 connectLead = qint64(startBefore) + 60 * qint64(settings->connectTime);
    const bool credentials = !settings->login.isEmpty() && !settings->password.isEmpty();
    const bool precise = settings->preciseStart != 0;

    ItemsLockGuard guard(m_doc.itemsLock(), m_lockWaitMs.load());
    if (!guard.isHeld()) {
        m_app.log().write(QStringLiteral("Bid scheduler: the bid list stayed locked for %1 ms; "
                                         "this pass is skipped.")
                              .arg(m_lockWaitMs.load()),
                          ProgramLog::Warning);
        return pass;
    }
    pass.ran = true;

    // Ids, not pointers: the lock is released inside the walk and items may go meanwhile.
    QStringList ids;
    for (const auto& item : m_doc.items())
        ids << item->id();

    const auto relock = [&]() {
        if (guard.relock())
            return true;
        m_app.log().write(QStringLiteral("Bid scheduler: could not take the bid list back; "
                                         "this pass ends early."),
                          ProgramLog::Warning);
        return false;
    };
    const auto clearBusy = [&](const QString& id) {
        if (CBidItem* item = m_doc.itemById(id))
            item->setBusy(false);
    };

    for (const QString& id : ids) {
        CBidItem* item = m_doc.itemById(id);
        if (!item)
            continue;
        item->setBusy(true);
        const qint64 nowMs = siteNowMs();
        const qint64 siteNow = floorSeconds(nowMs);
        const quint32 status = item->status();

        // Buy It Now is bought at once, not at the end.
        if (item->isRefreshed() && status == StatusActive && item->isBuyItNow()) {
            item->setReadyMark(true);
            item->setBusy(false);
            pass.marked << id;
            postToBidsView(m_app, IMainWindow::CmdStartReadyBids);
            continue;
        }
        if ((status != StatusActive && status != StatusActiveOutbid) || !item->isRefreshed()) {
            item->setBusy(false);
            continue;
        }

        const qint64 plannedSite = item->endTime() - startBefore;
        if (!item->isStartDue(siteNow, startBefore)) {
            // Precise start: a bid due before the next tick gets a timer of its own.
            if (precise && credentials && plannedSite * 1000 < nowMs + m_tickMs.load()) {
                QMetaObject::invokeMethod(
                    this, [this, id, plannedSite] { armPrecise(id, plannedSite * 1000); },
                    Qt::QueuedConnection);
            }
            if (siteNow > item->endTime() - connectLead) {
                pass.connectFor << id;
                guard.unlock();
                if (m_ensureConnection && !m_ensureConnection()) {
                    pass.connectionFailed = true;
                    m_app.log().message(StringTable::text(186), ProgramLog::Error);
                }
                if (!relock())
                    return pass;
            }
            clearBusy(id);
            continue;
        }

        if (credentials) {
            item->setReadyMark(true);
            pass.marked << id;
            guard.unlock();
            postToBidsView(m_app, IMainWindow::CmdStartReadyBids);
            m_app.log().write(BidTexts::withId(522, id), ProgramLog::Warning);
            m_app.log().write(BidTexts::plannedStartLine(id, plannedSite * 1000, nowMs));
        } else {
            item->setStatus(StatusStopped);
            m_doc.setModified(true);
            pass.stopped << id;
            guard.unlock();
            m_app.log().message(BidTexts::withId(179, id) + StringTable::text(138),
                                ProgramLog::Warning);
            postToBidsView(m_app, IMainWindow::CmdRedisplay);
        }
        if (!relock())
            return pass;
        clearBusy(id);
    }
    return pass;
}

void BidScheduler::armPrecise(const QString& itemId, qint64 dueMs)
{
    if (m_precise.contains(itemId))
        return;
    auto* timer = new QTimer(this);
    timer->setSingleShot(true);
    timer->setTimerType(Qt::PreciseTimer);
    m_precise.insert(itemId, timer);
    connect(timer, &QTimer::timeout, this, [this, itemId, dueMs] {
        // Due strictly after the planned moment; a timer that woke early waits the rest.
        const qint64 left = dueMs - siteNowMs();
        if (left >= 0) {
            m_precise.value(itemId)->start(int(left) + 1);
            return;
        }
        firePrecise(itemId);
    });
    timer->start(int(qMax<qint64>(0, dueMs - siteNowMs())) + 1);
}

void BidScheduler::firePrecise(const QString& itemId)
{
    if (QTimer* timer = m_precise.take(itemId))
        timer->deleteLater();
    const std::shared_ptr<const AppSettings> settings = m_app.settingsSnapshot();
    const qint64 nowMs = siteNowMs();
    qint64 plannedMs = 0;
    {
        ItemsLockGuard guard(m_doc.itemsLock(), m_lockWaitMs.load());
        if (!guard.isHeld()) {
            m_app.log().write(QStringLiteral("Bid scheduler: the bid list stayed locked at the "
                                             "precise start of bid #%1; the next tick starts it.")
                                  .arg(itemId),
                              ProgramLog::Warning);
            return;
        }
        CBidItem* item = m_doc.itemById(itemId);
        // The tick may have started it already, or the user stopped or changed it.
        if (!item || !item->isRefreshed() || item->hasReadyMark() || item->bidThread() ||
            (item->status() != StatusActive && item->status() != StatusActiveOutbid) ||
            nowMs <= (item->endTime() - settings->startBefore) * 1000)
            return;
        if (settings->login.isEmpty() || settings->password.isEmpty())
            return; // the next scan reports it
        item->setReadyMark(true);
        plannedMs = (item->endTime() - settings->startBefore) * 1000;
    }
    postToBidsView(m_app, IMainWindow::CmdStartReadyBids);
    m_app.log().write(BidTexts::withId(522, itemId), ProgramLog::Warning);
    m_app.log().write(BidTexts::plannedStartLine(itemId, plannedMs, nowMs));
    Q_EMIT preciseStartFired(itemId);
}
