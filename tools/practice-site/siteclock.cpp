#include "siteclock.h"

#include <chrono>

SiteClock::SiteClock(Source source) : m_source(std::move(source))
{
    if (!m_source) {
        m_source = [] {
            using namespace std::chrono;
            return duration<double>(system_clock::now().time_since_epoch()).count();
        };
    }
    m_anchorMachine = m_source();
    m_anchorSite = m_anchorMachine;
}

double SiteClock::machineNow() const
{
    return m_source();
}

double SiteClock::now() const
{
    std::lock_guard lock(m_mutex);
    return m_anchorSite + (m_source() - m_anchorMachine) * m_speed;
}

double SiteClock::speed() const
{
    std::lock_guard lock(m_mutex);
    return m_speed;
}

void SiteClock::setOffset(double seconds)
{
    std::lock_guard lock(m_mutex);
    m_anchorMachine = m_source();
    m_anchorSite = m_anchorMachine + seconds;
}

void SiteClock::setSpeed(double factor)
{
    std::lock_guard lock(m_mutex);
    const double machine = m_source();
    m_anchorSite = m_anchorSite + (machine - m_anchorMachine) * m_speed;
    m_anchorMachine = machine;
    m_speed = factor;
}

void SiteClock::advance(double seconds)
{
    std::lock_guard lock(m_mutex);
    m_anchorSite += seconds;
}
