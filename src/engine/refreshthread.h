#pragma once

#include "sites/siteprofile.h"

#include <QObject>
#include <QString>
#include <atomic>
#include <memory>

class AppContext;
class CBidsDoc;
class ItemsLock;
class RefreshWorker;
struct RefreshState;
class WorkerThread;

namespace RefreshThreadMessage {
// Thread message that hands the worker its parameters (the site profile).
enum : int
{
    Parameters = 0x467
};
} // namespace RefreshThreadMessage

// Keeps the items of the bid list current between bids: on each poll (the engine tick) one
// pass walks the list, reads the page of every item that is due and decides the verdict
// of those that have ended.
//
// Threads: this owner-side object lives on the main thread and is called there only. The
// pass runs on a WorkerThread of its own; it reads settingsSnapshot() once per pass and
// holds the items lock except around downloads and messages. After a pass that refreshed
// something it posts the outbid scan and the redisplay to the bids view.
//
// stop() returns without waiting for a download: the pass notices the stop flag after it
// and touches no item or document again, so the document may be destroyed once stop() has
// returned. The items lock (the application's) must outlive every pass.
class CRefreshThread : public QObject
{
    Q_OBJECT
public:
    CRefreshThread(AppContext& app, CBidsDoc& doc, QObject* parent = nullptr);
    ~CRefreshThread() override;

    // 0x467: starts the thread with `profile` as its parameters; a running thread is
    // stopped first.
    void start(SiteProfile profile);
    // WM_TIMER: one pass. Dropped when one is already waiting or the thread is not running.
    void postPoll();
    // Sets the stop flag and ends the thread; returns at once (see above). Waits only for
    // the items lock, which a pass holds for in-memory work alone.
    void stop();
    bool isRunning() const;
    // The bids view's refresh-in-progress flag: a pass is under way.
    bool isPassRunning() const;

Q_SIGNALS:
    // After each poll the thread handled (not once stopped): whether its pass refreshed
    // something (false also for a pass that did not run: time not synchronised yet, items
    // lock not granted).
    void passFinished(bool refreshedSomething);

private:
    AppContext& m_app;
    CBidsDoc& m_doc;
    ItemsLock& m_lock;
    std::unique_ptr<WorkerThread> m_thread;
    RefreshWorker* m_worker = nullptr;
    std::shared_ptr<RefreshState> m_state;
};
