#pragma once

#include <QMetaObject>
#include <QObject>
#include <QString>
#include <QThread>
#include <memory>
#include <mutex>
#include <utility>

// One QObject worker on a thread of its own with an event loop: how every background job of
// the program runs (browser loads, dialling, item fetches, the bid and refresh threads).
//
// The owner makes, starts, stops, detaches and destroys a WorkerThread on its own thread,
// never on the worker's. start() moves the worker to the new thread; from then on only that
// thread touches it. Work reaches it as a queued invocation (post()) or a queued signal,
// never as a direct call, and a worker never quits its thread itself. Results go back as
// signals of the worker, connected with the receiving object as context: Qt queues them to
// the receiver's thread and drops them once the receiver is gone, so nothing is delivered
// to a dead owner.
//
// stop() (and the destructor) requests interruption, ends the event loop after the job in
// progress and waits for the thread; posted jobs that have not started by then are dropped,
// and the worker is deleted on its own thread (QThread::finished -> deleteLater) before
// stop() returns. A job that may block longer than its owner can wait either watches an
// abort flag that the owner sets before stopping, or checks
// QThread::isInterruptionRequested() between its steps, or is let go with detach().
class WorkerThread
{
public:
    // `name` names the thread (and the system thread, for debuggers and `top -H`).
    explicit WorkerThread(QString name);
    ~WorkerThread();

    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;

    // Moves `worker` (made on this thread, without parent, its signals already connected)
    // to a new thread and starts the thread's event loop. A worker already running is
    // stopped first.
    template <class Worker> Worker* start(std::unique_ptr<Worker> worker)
    {
        Worker* raw = worker.get();
        startWorker(worker.release());
        return raw;
    }

    bool isRunning() const;

    // Runs `job` on the worker's thread after the jobs posted before it. Any thread may post
    // while this object exists; false (and nothing runs) before start() and after stop() or
    // detach().
    template <class Job> bool post(Job&& job)
    {
        auto unlessStopped = [job = std::forward<Job>(job)]() mutable {
            jobStarts();
            if (!QThread::currentThread()->isInterruptionRequested())
                job();
        };
        std::lock_guard<std::mutex> lock(*m_posting);
        return m_worker &&
               QMetaObject::invokeMethod(m_worker, std::move(unlessStopped), Qt::QueuedConnection);
    }

    // See above. Does nothing when not running.
    void stop();

    // For an owner that goes away while a job it cannot cut short (a download without an
    // abort flag) still runs: the thread quits once that job returns, then deletes the
    // worker and itself. Posted jobs not yet started are dropped, results have nowhere to
    // go. The application waits for such threads when its event loop ends (see
    // waitForDetached()).
    void detach();

    // Waits until every detached thread has deleted its worker; false on time-out.
    static bool waitForDetached(int milliseconds);
    // How long the end of the application's event loop waits for detached threads: a
    // stuck job cannot hold the exit for ever.
    static constexpr int kExitWaitMs = 60000;

private:
    void startWorker(QObject* worker);
    QObject* takeWorker();
    // Takes the lock a poster holds until its job is queued: the job is then ordered after
    // all the poster did in a way ThreadSanitizer sees, as it cannot see the locks inside
    // Qt's event queue.
    static void jobStarts();

    QString m_name;
    std::unique_ptr<QThread> m_thread;
    // Guards m_worker, which post() reads from any thread; shared with the worker's thread,
    // which may outlive this object once detached.
    std::shared_ptr<std::mutex> m_posting = std::make_shared<std::mutex>();
    QObject* m_worker = nullptr;
};
