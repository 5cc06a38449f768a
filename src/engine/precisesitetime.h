#pragma once

#include <QString>
#include <QtGlobal>
#include <functional>

class SiteClock;

// The site-time offset to the millisecond: the official-time page is read about every
// 100 ms until its displayed second ticks over; the tick lies between the two reads that
// show different seconds, and the local moment of it, less the new second, is the offset.
// Runs on the caller's thread and blocks it for a second or two.
class PreciseSiteTime
{
public:
    using Fetch = std::function<QString(const QString& url)>;
    using Pause = std::function<void(qint64 milliseconds)>;
    // The site second a page shows, on the local clock's scale; 0 when it shows none.
    using ReadSecond = std::function<qint64(const QString& page)>;

    struct Result
    {
        bool ok = false;
        qint64 offsetMs = 0;      // local minus site time
        qint64 uncertaintyMs = 0; // the tick lies within offsetMs +- this
        int reads = 0;
        QString failure; // why no offset was found
    };

    static constexpr int kStepMs = 100;
    // Enough reads to see one tick even when each takes a good part of the step.
    static constexpr int kMaxReads = 30;

    // A null pause sleeps the calling thread.
    PreciseSiteTime(const SiteClock& clock, Fetch fetch, ReadSecond read, Pause pause = nullptr);

    Result measure(const QString& url) const;

private:
    const SiteClock& m_clock;
    Fetch m_fetch;
    ReadSecond m_read;
    Pause m_pause;
};
