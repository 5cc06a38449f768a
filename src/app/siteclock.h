#pragma once

#include <QtGlobal>
#include <atomic>
#include <functional>

// The program's one view of time: local seconds since 1970 and the site's official time
// (local minus the offset that time synchronisation measured). Tests replace the time
// source to drive whole auctions in simulated time.
class SiteClock
{
public:
    using TimeSource = std::function<qint64()>;

    SiteClock();

    qint64 localNow() const;
    qint64 siteNow() const { return localNow() - m_offset.load(); }
    qint64 localToSite(qint64 local) const { return local - m_offset.load(); }

    qint64 offset() const { return m_offset.load(); }
    bool isSynchronised() const { return m_synchronised.load(); }
    // Records a measured offset; from now on the log shows site time.
    void setOffset(qint64 seconds);
    void clearSynchronised() { m_synchronised.store(false); }

    // Not thread-safe: set before worker threads start.
    void setTimeSource(TimeSource source);

private:
    TimeSource m_source;
    std::atomic<qint64> m_offset{0};
    std::atomic<bool> m_synchronised{false};
};
