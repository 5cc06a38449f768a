#include "engine/clockjumpdetector.h"

#include <QDateTime>
#include <QThread>

ClockJumpDetector::ClockJumpDetector(QObject* parent) : QObject(parent)
{
    m_elapsed.start();
    setClocks(nullptr, nullptr);
    connect(&m_timer, &QTimer::timeout, this, &ClockJumpDetector::check);
}

void ClockJumpDetector::setClocks(Clock wall, Clock steady)
{
    m_wall = wall ? std::move(wall) : Clock([] { return QDateTime::currentMSecsSinceEpoch(); });
    m_steady = steady ? std::move(steady) : Clock([this] { return m_elapsed.elapsed(); });
    rebase();
}

void ClockJumpDetector::start(int intervalMs)
{
    Q_ASSERT(QThread::currentThread() == thread());
    rebase();
    m_timer.start(intervalMs);
}

void ClockJumpDetector::stop()
{
    m_timer.stop();
}

void ClockJumpDetector::check()
{
    Q_ASSERT(QThread::currentThread() == thread());
    const qint64 wall = m_wall();
    const qint64 steady = m_steady();
    const qint64 delta = (wall - m_lastWall) - (steady - m_lastSteady);
    m_lastWall = wall;
    m_lastSteady = steady;
    // A late timer (a busy main thread) moves both clocks alike and counts for nothing.
    if (delta > m_thresholdMs || delta < -m_thresholdMs)
        Q_EMIT jumped(delta);
}

void ClockJumpDetector::rebase()
{
    m_lastWall = m_wall();
    m_lastSteady = m_steady();
}
