#include "app/siteclock.h"

#include <ctime>

SiteClock::SiteClock() = default;

qint64 SiteClock::localNow() const
{
    if (m_source)
        return m_source();
    return static_cast<qint64>(std::time(nullptr));
}

void SiteClock::setOffset(qint64 seconds)
{
    m_offset.store(seconds);
    m_synchronised.store(true);
}

void SiteClock::setTimeSource(TimeSource source)
{
    m_source = std::move(source);
}
