#pragma once

#include "app/workerthread.h"
#include "model/ibidworker.h"
#include "sites/siteprofile.h"

#include <QObject>
#include <QString>
#include <atomic>
#include <memory>

class AppContext;
class BidWorker;
class CBidsDoc;

// The thread messages of a bid thread, by the numbers the log and the tests speak of.
namespace BidThreadMessage {
enum : int
{
    Start = 0x465,
    Retract = 0x466,
    Timer = 0x0113, // WM_TIMER: poll
    Quit = 0x0012,  // WM_QUIT: stop
};
} // namespace BidThreadMessage

// The page a bid thread expects next.
enum BidStep : int
{
    ET_VIEWITEM = 1,
    ET_BIDDING_ON_ITEM = 2,
    ET_RETRACT = 10,
    ET_BIDRETRACTION = 11,
    ET_BIDRETRACTION_OK = 12,
    ET_CHECK_LOGIN = 20,
};

// What the handle and its worker share across threads.
struct BidThreadShared
{
    // Set once the thread is to end (by the owner or by the worker itself). Written and
    // read under the items lock where the item is concerned: once set, the worker never
    // touches the document again.
    std::atomic<bool> quit{false};
    // A poll is queued and not yet handled: further polls are dropped meanwhile.
    std::atomic<bool> pollQueued{false};
};

// One running bid: the owner-side handle of a worker that drives its own HeadlessBrowser
// through the site's bid, sign-in and retraction pages on a thread of its own.
//
// Threads: made, posted to and ended on the main thread; postQuit() and postRetract()
// (the IBidWorker calls) may come from any thread that holds the items lock. Each post
// queues one message and returns at once. The worker ends the thread itself when the
// auction is decided, the retraction is done or a step failed; the handle then clears the
// item's bidThread(), emits finished() and deletes itself (deleteLater). After postQuit()
// the item may be gone: the handle clears the reference at once and touches neither the
// item nor the document again.
class CBidThread : public QObject, public IBidWorker
{
    Q_OBJECT
public:
    // One per running item; the item's bidThread() points at it until the thread ends.
    CBidThread(AppContext& app, CBidsDoc& doc, const QString& itemId, QObject* parent = nullptr);
    ~CBidThread() override;

    const QString& itemId() const { return m_itemId; }

    void postStart(SiteProfile profile);                   // 0x465
    void postRetract(SiteProfile profile, bool forDelete); // 0x466 with parameters
    void postRetract() override;                           // 0x466 without
    void postPoll();                                       // WM_TIMER, dropped while busy
    void postQuit() override;                              // WM_QUIT

Q_SIGNALS:
    // On the main thread, after the item's bidThread() was cleared.
    void finished();
    // A page the thread loaded, for the user to watch (the item's showIE option).
    void pageShown(const QString& itemId, const QString& url, const QByteArray& source,
                   const QString& contentType);

private:
    void end(bool byOwner);

    AppContext& m_app;
    CBidsDoc& m_doc;
    const QString m_itemId;
    std::shared_ptr<BidThreadShared> m_shared;
    std::atomic<bool> m_quitByOwner{false};
    bool m_ended = false;
    WorkerThread m_thread;
    BidWorker* m_worker = nullptr;
};
