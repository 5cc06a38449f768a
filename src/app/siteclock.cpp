#include "app/siteclock.h"

#include <chrono>

namespace {

// Division that rounds toward minus infinity, so that a time just before 1970 or a
// negative offset falls into the right second.
qint64 floorDiv(qint64 value, qint64 divisor)
{
    const qint64 q = value / divisor;
    return (value % divisor != 0 && (value < 0) != (divisor < 0)) ? q - 1 : q;
}

} // namespace

SiteClock::SiteClock() = default;

qint64 SiteClock::localNow() const
{
    if (m_source)
        return m_source();
    return floorDiv(localNowMs(), 1000);
}

qint64 SiteClock::localNowMs() const
{
    if (m_sourceMs)
        return m_sourceMs();
    if (m_source)
        return m_source() * 1000;
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

qint64 SiteClock::siteNow() const
{
    return floorDiv(siteNowMs(), 1000);
}

qint64 SiteClock::localToSite(qint64 local) const
{
    return floorDiv(local * 1000 - m_offsetMs.load(), 1000);
}

qint64 SiteClock::offset() const
{
    const qint64 ms = m_offsetMs.load();
    return ms >= 0 ? (ms + 500) / 1000 : -((-ms + 500) / 1000);
}

void SiteClock::setOffsetMs(qint64 milliseconds)
{
    m_offsetMs.store(milliseconds);
    m_synchronised.store(true);
}

void SiteClock::setTimeSource(TimeSource source)
{
    m_source = std::move(source);
    m_sourceMs = nullptr;
}

void SiteClock::setTimeSourceMs(TimeSourceMs source)
{
    m_sourceMs = std::move(source);
    m_source = nullptr;
}
