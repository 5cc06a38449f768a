#pragma once

#include <QtGlobal>
#include <atomic>
#include <functional>

// The program's one view of time: local seconds since 1970 and the site's official time
// (local minus the offset that time synchronisation measured). Tests replace the time
// source to drive whole auctions in simulated time.
//
// The offset is kept in milliseconds so that a bid can start at the site's exact moment;
// the whole-second methods read the same value. Offset and flag are atomics: the window
// thread writes them, every worker reads them.
class SiteClock
{
public:
    using TimeSource = std::function<qint64()>;   // seconds since 1970
    using TimeSourceMs = std::function<qint64()>; // milliseconds since 1970

    SiteClock();

    qint64 localNow() const;
    qint64 localNowMs() const;
    qint64 siteNow() const;
    qint64 siteNowMs() const { return localNowMs() - m_offsetMs.load(); }
    qint64 localToSite(qint64 local) const;

    // Local minus site time, in whole seconds (rounded to the nearest) and in milliseconds.
    qint64 offset() const;
    qint64 offsetMs() const { return m_offsetMs.load(); }
    bool isSynchronised() const { return m_synchronised.load(); }
    // Records a measured offset; from now on the log shows site time.
    void setOffset(qint64 seconds) { setOffsetMs(seconds * 1000); }
    void setOffsetMs(qint64 milliseconds);
    void clearSynchronised() { m_synchronised.store(false); }

    // Not thread-safe: set before worker threads start. Each replaces the other; without
    // either the system clock is read.
    void setTimeSource(TimeSource source);
    void setTimeSourceMs(TimeSourceMs source);

private:
    TimeSource m_source;
    TimeSourceMs m_sourceMs;
    std::atomic<qint64> m_offsetMs{0};
    std::atomic<bool> m_synchronised{false};
};
