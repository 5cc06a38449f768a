#pragma once

#include <functional>
#include <mutex>

// The site's official clock: the machine's clock plus a settable offset, optionally running
// faster than real time so that tests can let an auction run out in seconds.
class SiteClock
{
public:
    using Source = std::function<double()>;

    // `source` gives the machine time in seconds since 1970; the default reads the system.
    explicit SiteClock(Source source = {});

    double now() const;
    double machineNow() const;
    double offset() const { return now() - machineNow(); }
    double speed() const;

    // Site time becomes machine time + seconds, from now on.
    void setOffset(double seconds);
    // Simulated seconds per real second, from now on; must be positive.
    void setSpeed(double factor);
    void advance(double seconds);

private:
    Source m_source;
    mutable std::mutex m_mutex;
    double m_anchorMachine = 0;
    double m_anchorSite = 0;
    double m_speed = 1;
};
