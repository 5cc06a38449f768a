#include "engine/precisesitetime.h"

#include "app/siteclock.h"

#include <QThread>

PreciseSiteTime::PreciseSiteTime(const SiteClock& clock, Fetch fetch, ReadSecond read, Pause pause)
    : m_clock(clock), m_fetch(std::move(fetch)), m_read(std::move(read)), m_pause(std::move(pause))
{
    if (!m_pause)
        m_pause = [](qint64 ms) { QThread::msleep(static_cast<unsigned long>(ms)); };
}

PreciseSiteTime::Result PreciseSiteTime::measure(const QString& url) const
{
    struct Read
    {
        qint64 sentMs;
        qint64 receivedMs;
        qint64 second;
        qint64 middle() const { return sentMs + (receivedMs - sentMs) / 2; }
    };

    Result result;
    bool havePrevious = false;
    Read previous{};
    const qint64 startMs = m_clock.localNowMs();
    for (int i = 0; i < kMaxReads; ++i) {
        // Reads keep to a fixed grid, so a slow answer does not stretch the gap between two.
        const qint64 wait = startMs + qint64(i) * kStepMs - m_clock.localNowMs();
        if (wait > 0)
            m_pause(wait);
        Read read{};
        read.sentMs = m_clock.localNowMs();
        const QString page = m_fetch(url);
        read.receivedMs = m_clock.localNowMs();
        read.second = m_read(page);
        ++result.reads;
        if (read.second == 0) {
            result.failure = QStringLiteral("the time page shows no time");
            return result;
        }
        if (havePrevious && read.second == previous.second + 1) {
            // The site read its clock somewhere within each request; the middle of each is
            // the best guess, and the tick lies between the two.
            const qint64 tickMs = previous.middle() + (read.middle() - previous.middle()) / 2;
            result.ok = true;
            result.offsetMs = tickMs - read.second * 1000;
            result.uncertaintyMs = (read.receivedMs - previous.sentMs + 1) / 2;
            return result;
        }
        // The same second, or a jump of more than one (reads too slow to bracket a tick).
        previous = read;
        havePrevious = true;
    }
    result.failure = QStringLiteral("the displayed second did not tick over between two reads");
    return result;
}
