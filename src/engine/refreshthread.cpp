#include "engine/refreshthread.h"

#include "app/appcontext.h"
#include "app/imainwindow.h"
#include "app/itemslock.h"
#include "app/stringtable.h"
#include "app/workerthread.h"
#include "engine/itempageupdate.h"
#include "engine/itemverdict.h"
#include "model/bidsdoc.h"
#include "model/idocumentevents.h"

#include <QStringList>
#include <QThread>

// What the owner and the worker share. The worker keeps it after the owner has let the
// thread go, so it outlives both.
struct RefreshState
{
    std::atomic<bool> stop{false};
    std::atomic<bool> passRunning{false};
    std::atomic<bool> pollPending{false};
    // The item the pass has marked busy; read and written under the items lock only.
    QString busyItemId;
};

namespace {

QString formatted(int text, const QString& id)
{
    return QString::asprintf(StringTable::text(text).toUtf8().constData(), id.toUtf8().constData());
}

// Whether a refreshed item is left alone because of when it ends: never refreshed
// automatically when the inactive limit is within the start time, and (refreshCheck) not
// while its end is more than that limit away.
bool endsTooFarAway(const AppSettings& settings, qint64 endTime, qint64 siteNow)
{
    const qint64 limit = 60 * qint64(settings.refreshInactive);
    if (limit <= settings.startBefore)
        return true;
    return settings.refreshCheck != 0 && endTime - siteNow > limit;
}

} // namespace

// The pass, on the refresh thread.
class RefreshWorker : public QObject
{
    Q_OBJECT
public:
    RefreshWorker(AppContext& app, CBidsDoc& doc, ItemsLock& lock,
                  std::shared_ptr<RefreshState> state)
        : m_app(app), m_doc(doc), m_lock(lock), m_state(std::move(state))
    {
    }

    void setParameters(SiteProfile profile) { m_profile = std::move(profile); }
    // WM_TIMER.
    void poll();

Q_SIGNALS:
    void passFinished(bool refreshedSomething);

private:
    // Whether the pass refreshed something.
    bool runPass();
    bool stopped() const { return m_state->stop.load(); }
    // Whether the item, busy and looked at under the lock, is due for a read now.
    bool isDue(const CBidItem& item, const AppSettings& settings) const;
    // The lock could not be had: the pass logs it and ends.
    void lockRefused();
    void clearBusy(CBidItem& item);

    AppContext& m_app;
    CBidsDoc& m_doc;
    ItemsLock& m_lock;
    std::shared_ptr<RefreshState> m_state;
    SiteProfile m_profile;
};

bool RefreshWorker::isDue(const CBidItem& item, const AppSettings& settings) const
{
    const qint64 siteNow = m_app.clock().siteNow();
    const qint64 localNow = m_app.clock().localNow();
    switch (item.status()) {
    case StatusNotActive:
    case StatusActive:
    case StatusActiveOutbid:
    case StatusStopped:
    case StatusRetracted:
        break;
    case StatusRunning:
    case StatusRunningOutbid:
        // The bid thread reads the page while the auction runs; its result is wanted here
        // only once the auction is surely over.
        if (!(item.endTime() + 30 < siteNow))
            return false;
        break;
    default:
        return false;
    }
    if (!item.isRefreshed())
        return true; // read once even with automatic refresh off
    if (!settings.enableRefresh)
        return false;
    if (localNow - item.lastRefreshTime() <= 60 * qint64(settings.refreshEvery))
        return false;
    return !endsTooFarAway(settings, item.endTime(), siteNow);
}

void RefreshWorker::lockRefused()
{
    m_state->passRunning.store(false);
    m_app.log().write(QStringLiteral("Refresh: the items lock was not granted within %1 ms; "
                                     "the pass is skipped.")
                          .arg(ItemsLock::kDefaultWaitMs),
                      ProgramLog::Error);
}

void RefreshWorker::clearBusy(CBidItem& item)
{
    item.setBusy(false);
    m_state->busyItemId.clear();
}

void RefreshWorker::poll()
{
    Q_ASSERT(QThread::currentThread() == thread());
    m_state->pollPending.store(false);
    const bool refreshedSomething = runPass();
    if (!stopped())
        Q_EMIT passFinished(refreshedSomething);
}

bool RefreshWorker::runPass()
{
    // Nothing is read before the site's time is known: end times are in site time.
    if (stopped() || !m_app.clock().isSynchronised())
        return false;
    const std::shared_ptr<const AppSettings> settings = m_app.settingsSnapshot();

    ItemsLockGuard guard(m_lock);
    if (!guard.isHeld()) {
        lockRefused();
        return false;
    }
    // Once stopped, the document may be gone: it is read only with the lock held and the
    // stop flag clear (stop() takes the lock after setting the flag).
    if (stopped())
        return false;
    m_state->passRunning.store(true);
    QStringList ids;
    for (const auto& item : m_doc.items())
        ids << item->id();

    bool refreshedSomething = false;
    for (const QString& id : ids) {
        if (stopped())
            return false;
        m_state->busyItemId.clear();
        CBidItem* item = m_doc.itemById(id);
        if (!item)
            continue; // deleted while the lock was free
        item->setBusy(true);
        m_state->busyItemId = id;
        if (!isDue(*item, *settings)) {
            clearBusy(*item);
            continue;
        }

        guard.unlock();
        m_app.log().message(formatted(211, id), ProgramLog::Success);
        const bool read = ItemPageUpdate::read(m_doc, m_lock, id, m_profile, &m_state->stop);
        if (stopped())
            return false; // stop() clears the busy flag: this thread touches nothing more
        if (!guard.relock()) {
            lockRefused();
            return false;
        }
        if (stopped())
            return false;
        item = m_doc.itemById(id);
        if (!item)
            continue;
        if (item->isEnded()) {
            // No message here: the verdict shows in the list and in the mail notice.
            ItemVerdict::decide(m_doc, id, m_profile, guard, &m_state->stop);
            if (!guard.isHeld()) {
                lockRefused();
                return false;
            }
            if (stopped())
                return false;
            item = m_doc.itemById(id);
            if (!item)
                continue;
        }
        item->setLastRefreshTime(m_app.clock().localNow());
        refreshedSomething = true;
        if (read) {
            item->setRefreshed(true);
            m_doc.events().itemRowChanged(m_doc.indexOf(item));
            guard.unlock();
            m_app.log().message(formatted(229, id), ProgramLog::Success);
            if (!guard.relock()) {
                lockRefused();
                return false;
            }
            if (stopped())
                return false;
            item = m_doc.itemById(id);
            if (!item)
                continue;
        }
        clearBusy(*item);
    }
    m_state->passRunning.store(false);
    guard.unlock();

    if (refreshedSomething) {
        if (IMainWindow* window = m_app.mainWindow()) {
            window->postBidsViewCommand(IMainWindow::CmdOutbidScan);
            window->postBidsViewCommand(IMainWindow::CmdRedisplay);
        }
    }
    return refreshedSomething;
}

CRefreshThread::CRefreshThread(AppContext& app, CBidsDoc& doc, QObject* parent)
    : QObject(parent), m_app(app), m_doc(doc), m_lock(doc.itemsLock())
{
}

CRefreshThread::~CRefreshThread()
{
    stop();
}

void CRefreshThread::start(SiteProfile profile)
{
    Q_ASSERT(QThread::currentThread() == thread());
    stop();
    m_state = std::make_shared<RefreshState>();
    auto worker = std::make_unique<RefreshWorker>(m_app, m_doc, m_lock, m_state);
    connect(worker.get(), &RefreshWorker::passFinished, this, &CRefreshThread::passFinished);
    m_thread = std::make_unique<WorkerThread>(QStringLiteral("refresh"));
    m_worker = m_thread->start(std::move(worker));
    RefreshWorker* target = m_worker;
    m_thread->post(
        [target, profile = std::move(profile)]() mutable { target->setParameters(profile); });
}

void CRefreshThread::postPoll()
{
    Q_ASSERT(QThread::currentThread() == thread());
    if (!m_thread || m_state->pollPending.exchange(true))
        return;
    RefreshWorker* target = m_worker;
    if (!m_thread->post([target] { target->poll(); }))
        m_state->pollPending.store(false);
}

void CRefreshThread::stop()
{
    Q_ASSERT(QThread::currentThread() == thread());
    if (!m_thread)
        return;
    m_state->stop.store(true);
    {
        // Waits for a pass that is inside the document to leave it: from then on the pass
        // sees the flag before it reads the document again. The busy flag of an item whose
        // page is still downloading is cleared here, on the pass's behalf.
        ItemsLockGuard guard(m_lock);
        if (guard.isHeld()) {
            if (!m_state->busyItemId.isEmpty()) {
                if (CBidItem* item = m_doc.itemById(m_state->busyItemId))
                    item->setBusy(false);
                m_state->busyItemId.clear();
            }
        } else {
            m_app.log().write(QStringLiteral("Refresh: stopped without the items lock."),
                              ProgramLog::Error);
        }
        m_state->passRunning.store(false);
    }
    // A download cannot be cut short: the thread ends once it returns.
    m_thread->detach();
    m_thread.reset();
    m_worker = nullptr;
}

bool CRefreshThread::isRunning() const
{
    return m_thread && m_thread->isRunning();
}

bool CRefreshThread::isPassRunning() const
{
    return m_state && m_state->passRunning.load();
}

#include "refreshthread.moc"
