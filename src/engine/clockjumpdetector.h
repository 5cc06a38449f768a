#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <functional>

// Notices a change of the wall clock (the user or a time daemon set it, or the machine
// woke from suspend) by comparing how far the wall clock and the monotonic clock moved
// between two checks. Lives on the main thread; the main controller measures site time
// again when it fires.
class ClockJumpDetector : public QObject
{
    Q_OBJECT
public:
    using Clock = std::function<qint64()>; // milliseconds

    static constexpr int kDefaultIntervalMs = 1000;
    static constexpr qint64 kDefaultThresholdMs = 2000;

    explicit ClockJumpDetector(QObject* parent = nullptr);

    // `wall`: milliseconds since 1970; `steady`: any monotonic milliseconds. Null keeps the
    // system clock. Resets the comparison.
    void setClocks(Clock wall, Clock steady);
    void setThresholdMs(qint64 milliseconds) { m_thresholdMs = milliseconds; }
    qint64 thresholdMs() const { return m_thresholdMs; }

    void start(int intervalMs = kDefaultIntervalMs);
    void stop();
    bool isActive() const { return m_timer.isActive(); }

    // One comparison, as the timer makes it: emits jumped() when the wall clock moved more
    // than the threshold away from the monotonic clock since the last check.
    void check();

Q_SIGNALS:
    // `deltaMs`: how far the wall clock moved beyond the monotonic one (negative: back).
    void jumped(qint64 deltaMs);

private:
    void rebase();

    QTimer m_timer;
    QElapsedTimer m_elapsed;
    Clock m_wall;
    Clock m_steady;
    qint64 m_thresholdMs = kDefaultThresholdMs;
    qint64 m_lastWall = 0;
    qint64 m_lastSteady = 0;
};
