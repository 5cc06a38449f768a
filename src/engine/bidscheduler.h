#pragma once

#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QThreadPool>
#include <atomic>
#include <functional>

class AppContext;
class CBidsDoc;
class QTimer;

// Decides, once per engine tick, which bids must start: connects ahead of each auction's
// end and marks every due bid ready to start (CBidItem::kReadyMark), then asks the bids
// view to start the marked ones (command 32807). It never starts a bid thread itself.
//
// Threads: the scheduler object lives on the main thread. startScan() queues one short
// scan on the scheduler's own thread pool and returns at once; scans may overlap when one
// is slow. scan() runs one pass on the calling thread (tests call it directly). A scan
// reads the settings snapshot once, holds the items lock only while it looks at items and
// releases it around the connection routine and every log line. With precise start on, a
// scan that finds a bid due before the next tick hands it to the main thread, which arms a
// one-shot timer for the exact moment.
class BidScheduler : public QObject
{
    Q_OBJECT
public:
    // Connected now; may start dialling in the background (ConnectionManager).
    using EnsureConnection = std::function<bool()>;
    // Site time in milliseconds.
    using SiteNowMs = std::function<qint64()>;

    struct Pass
    {
        bool ran = false;       // false: not synchronised, or the lock was not had
        QStringList marked;     // ids marked ready to start, in list order
        QStringList connectFor; // ids inside their connect window
        QStringList stopped;    // due without credentials
        bool connectionFailed = false;
    };

    BidScheduler(AppContext& app, CBidsDoc& doc, EnsureConnection ensureConnection,
                 QObject* parent = nullptr);
    ~BidScheduler() override;

    // One scan on the pool; does not wait for it.
    void startScan();
    // One scan on the calling thread.
    Pass scan();
    // Waits for queued and running scans; false on time-out.
    bool waitForScans(int milliseconds);

    void setSiteNowMs(SiteNowMs clock) { m_siteNowMs = std::move(clock); }
    // How long a scan waits for the items lock (60 s; tests shorten it).
    void setLockWaitMs(int milliseconds) { m_lockWaitMs = milliseconds; }
    // The engine tick period: precise start arms a timer for bids due before the next one.
    void setTickMs(int milliseconds) { m_tickMs = milliseconds; }
    // Ids whose precise-start timer is armed.
    QStringList armedItems() const { return m_precise.keys(); }

Q_SIGNALS:
    // A precise-start timer fired and the bid was marked (tests watch it).
    void preciseStartFired(const QString& itemId);

private:
    void armPrecise(const QString& itemId, qint64 dueMs);
    void firePrecise(const QString& itemId);
    qint64 siteNowMs() const;

    AppContext& m_app;
    CBidsDoc& m_doc;
    EnsureConnection m_ensureConnection;
    SiteNowMs m_siteNowMs;
    std::atomic<int> m_lockWaitMs;
    std::atomic<int> m_tickMs;
    QThreadPool m_pool;
    QHash<QString, QTimer*> m_precise; // main thread only
};
