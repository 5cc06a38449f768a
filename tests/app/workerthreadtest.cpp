#include "app/workerthread.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QPointer>
#include <QSemaphore>
#include <QThread>
#include <QTimer>
#include <atomic>

namespace {

void ensureApplication()
{
    static int argc = 1;
    static char name[] = "test_app";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance())
        new QCoreApplication(argc, argv);
}

// Runs the event loop until `quit` is called or ten seconds pass.
class Waiter
{
public:
    Waiter() { QTimer::singleShot(10000, &m_loop, &QEventLoop::quit); }
    void wait() { m_loop.exec(); }
    void quit() { m_loop.quit(); }

private:
    QEventLoop m_loop;
};

// A worker that tells where its jobs ran and on which thread it was deleted.
class Probe : public QObject
{
    Q_OBJECT
public:
    explicit Probe(std::atomic<QThread*>* deletedOn) : m_deletedOn(deletedOn) {}
    ~Probe() override { m_deletedOn->store(QThread::currentThread()); }

    void work(int job) { Q_EMIT done(job, QThread::currentThread()); }

Q_SIGNALS:
    void done(int job, QThread* ranOn);

private:
    std::atomic<QThread*>* m_deletedOn;
};

// An owner that ends its worker's blocked job before it stops the thread, as a browser
// aborts its transfer.
class Owner : public QObject
{
public:
    Owner(QSemaphore& release, std::atomic<QThread*>* deletedOn, int& received) : m_release(release)
    {
        auto worker = std::make_unique<Probe>(deletedOn);
        connect(
            worker.get(), &Probe::done, this, [&received] { ++received; }, Qt::QueuedConnection);
        probe = m_thread.start(std::move(worker));
    }
    ~Owner() override
    {
        m_release.release();
        m_thread.stop();
    }

    WorkerThread& thread() { return m_thread; }
    Probe* probe = nullptr;

private:
    QSemaphore& m_release;
    WorkerThread m_thread{QStringLiteral("owner")};
};

class WorkerThreadTest : public ::testing::Test
{
protected:
    void SetUp() override { ensureApplication(); }

    std::atomic<QThread*> deletedOn{nullptr};
};

} // namespace

TEST_F(WorkerThreadTest, JobsRunInOrderOnTheWorkersThreadAndResultsComeBackOnTheOwners)
{
    WorkerThread thread(QStringLiteral("probe"));
    EXPECT_FALSE(thread.post([] {})); // nothing to run on yet
    Probe* probe = thread.start(std::make_unique<Probe>(&deletedOn));
    QThread* workerThread = probe->thread();
    ASSERT_NE(workerThread, QThread::currentThread());
    EXPECT_EQ(workerThread->objectName(), "probe");
    EXPECT_TRUE(thread.isRunning());

    QObject owner;
    QList<int> jobs;
    QList<QThread*> ranOn;
    QList<QThread*> deliveredOn;
    Waiter waiter;
    QObject::connect(
        probe, &Probe::done, &owner,
        [&](int job, QThread* where) {
            jobs << job;
            ranOn << where;
            deliveredOn << QThread::currentThread();
            if (jobs.size() == 3)
                waiter.quit();
        },
        Qt::QueuedConnection);
    for (int job = 1; job <= 3; ++job)
        EXPECT_TRUE(thread.post([probe, job] { probe->work(job); }));
    waiter.wait();
    EXPECT_EQ(jobs, QList<int>({1, 2, 3}));
    EXPECT_EQ(ranOn, QList<QThread*>(3, workerThread));
    EXPECT_EQ(deliveredOn, QList<QThread*>(3, QThread::currentThread()));

    // The worker is deleted on its own thread before stop() returns.
    thread.stop();
    EXPECT_EQ(deletedOn.load(), workerThread);
    EXPECT_FALSE(thread.isRunning());
    EXPECT_FALSE(thread.post([] { ADD_FAILURE() << "ran after stop()"; }));
}

TEST_F(WorkerThreadTest, AnOwnerDestroyedDuringAJobGetsNothingAndLeavesNothing)
{
    QSemaphore started;
    QSemaphore release;
    int received = 0;
    auto* owner = new Owner(release, &deletedOn, received);
    Probe* probe = owner->probe;
    QThread* workerThread = probe->thread();
    ASSERT_TRUE(owner->thread().post([probe, &started, &release] {
        started.release();
        release.tryAcquire(1, 10000);
        probe->work(1); // the owner is being destroyed by now
    }));
    ASSERT_TRUE(started.tryAcquire(1, 10000));

    delete owner;
    EXPECT_EQ(deletedOn.load(), workerThread);
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(received, 0);
}

TEST_F(WorkerThreadTest, ADetachedThreadEndsItsJobAndCleansUpAfterItself)
{
    QSemaphore started;
    QSemaphore release;
    std::atomic<int> jobsRun{0};
    std::atomic<bool> interrupted{false};
    int received = 0;
    QPointer<QThread> workerThread;
    {
        auto owner = std::make_unique<QObject>();
        WorkerThread thread(QStringLiteral("detached"));
        Probe* probe = thread.start(std::make_unique<Probe>(&deletedOn));
        workerThread = probe->thread();
        QObject::connect(probe, &Probe::done, owner.get(), [&] { ++received; });
        ASSERT_TRUE(thread.post([&, probe] {
            ++jobsRun;
            started.release();
            release.tryAcquire(1, 10000);
            interrupted = QThread::currentThread()->isInterruptionRequested();
            probe->work(1);
        }));
        ASSERT_TRUE(thread.post([&] { ++jobsRun; }));
        ASSERT_TRUE(started.tryAcquire(1, 10000));
        // The owner goes while the job still runs, without waiting for it.
        thread.detach();
        EXPECT_FALSE(thread.isRunning());
        EXPECT_FALSE(thread.post([&] { ++jobsRun; }));
    }
    EXPECT_FALSE(WorkerThread::waitForDetached(0));
    release.release();
    EXPECT_TRUE(WorkerThread::waitForDetached(10000));
    EXPECT_EQ(deletedOn.load(), workerThread.data());
    EXPECT_TRUE(interrupted.load());
    EXPECT_EQ(jobsRun.load(), 1); // the queued job was dropped

    // The thread object goes through the main loop.
    if (workerThread) {
        Waiter waiter;
        QObject::connect(workerThread, &QObject::destroyed, [&] { waiter.quit(); });
        waiter.wait();
    }
    EXPECT_TRUE(workerThread.isNull());
    EXPECT_EQ(received, 0);
}

#include "workerthreadtest.moc"
