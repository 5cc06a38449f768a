#include "app/workerthread.h"

#include <QCoreApplication>
#include <QPointer>
#include <QThread>
#include <chrono>
#include <condition_variable>

namespace {

// The posting lock of the WorkerThread whose thread this is.
thread_local std::shared_ptr<std::mutex> t_posting;

// Detached threads whose worker still lives.
struct Detached
{
    std::mutex mutex;
    std::condition_variable ended;
    int running = 0;
};

Detached& detached()
{
    static Detached instance;
    return instance;
}

} // namespace

WorkerThread::WorkerThread(QString name) : m_name(std::move(name)) {}

WorkerThread::~WorkerThread()
{
    stop();
}

bool WorkerThread::isRunning() const
{
    return m_thread && m_thread->isRunning();
}

void WorkerThread::startWorker(QObject* worker)
{
    Q_ASSERT(worker && !worker->parent() && worker->thread() == QThread::currentThread());
    stop();
    m_thread = std::make_unique<QThread>();
    m_thread->setObjectName(m_name);
    worker->moveToThread(m_thread.get());
    // Emitted on the worker's thread as it ends; the deletion runs there before wait() returns.
    QObject::connect(m_thread.get(), &QThread::finished, worker, &QObject::deleteLater);
    // Direct: both run on the worker's thread, first and last. The lock taken last and again
    // by stop() after the wait orders what the worker did before stop() returns, as
    // ThreadSanitizer can see.
    std::shared_ptr<std::mutex> posting = m_posting;
    QObject::connect(m_thread.get(), &QThread::started, [posting] { t_posting = posting; });
    QObject::connect(worker, &QObject::destroyed, [posting] { std::lock_guard lock(*posting); });
    m_thread->start();
    std::lock_guard<std::mutex> lock(*m_posting);
    m_worker = worker;
}

QObject* WorkerThread::takeWorker()
{
    std::lock_guard<std::mutex> lock(*m_posting);
    return std::exchange(m_worker, nullptr);
}

void WorkerThread::stop()
{
    if (!m_thread)
        return;
    // Waiting for itself would never end.
    Q_ASSERT(QThread::currentThread() != m_thread.get());
    const QPointer<QObject> worker = takeWorker();
    m_thread->requestInterruption();
    m_thread->quit();
    m_thread->wait();
    {
        std::lock_guard<std::mutex> lock(*m_posting);
    }
    // A thread that never ran its loop has not deleted its worker.
    delete worker.data();
    m_thread.reset();
}

void WorkerThread::detach()
{
    if (!m_thread)
        return;
    Q_ASSERT(QThread::currentThread() != m_thread.get());
    QObject* worker = takeWorker();
    QThread* thread = m_thread.release();
    if (!thread->isRunning()) {
        // Nothing runs that could be waited for.
        delete worker;
        delete thread;
        return;
    }
    if (worker) {
        {
            std::lock_guard<std::mutex> lock(detached().mutex);
            ++detached().running;
        }
        // Direct: runs on the worker's thread as the worker is deleted, with or without a
        // living owner or event loop elsewhere.
        QObject::connect(worker, &QObject::destroyed, [] {
            std::lock_guard<std::mutex> lock(detached().mutex);
            --detached().running;
            detached().ended.notify_all();
        });
    }
    if (QCoreApplication* app = QCoreApplication::instance()) {
        // The owner's thread may end before this one; the main loop outlives both.
        thread->moveToThread(app->thread());
        QObject::connect(app, &QCoreApplication::aboutToQuit, thread,
                         [] { waitForDetached(kExitWaitMs); });
    }
    QObject::connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    thread->requestInterruption();
    thread->quit();
}

void WorkerThread::jobStarts()
{
    if (t_posting) {
        t_posting->lock();
        t_posting->unlock();
    }
}

bool WorkerThread::waitForDetached(int milliseconds)
{
    std::unique_lock<std::mutex> lock(detached().mutex);
    return detached().ended.wait_for(lock, std::chrono::milliseconds(milliseconds),
                                     [] { return detached().running == 0; });
}
