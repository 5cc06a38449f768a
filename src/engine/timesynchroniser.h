#pragma once

#include "engine/precisesitetime.h"

#include <QObject>
#include <QString>
#include <QtGlobal>
#include <functional>

class AppContext;
class IInternetAccess;

// Measures site time: reads the current site's official-time page ("%s_URL_TimeSync"),
// takes the time after "%s_KeyWord_TimeSync", corrects it by half the download time and
// records local minus site time in the application's SiteClock. With "Start at the exact
// moment" on, an accepted measurement is refined to the millisecond (PreciseSiteTime).
//
// Main thread only: a measurement blocks it for the download. Workers read the result
// through SiteClock, whose offset is atomic.
class TimeSynchroniser : public QObject
{
    Q_OBJECT
public:
    enum class Outcome
    {
        NoConnection,
        Maintenance,
        SiteUnavailable,
        Accepted,
        Rejected
    };
    // Downloads a page (default: getUrlSource(url), the raw HTML); tests may replace it.
    using Fetch = std::function<QString(const QString& url)>;

    // An offset of up to 24 h 59 min 59 s either way is believable (time zones, a clock a
    // day off); anything larger means the local clock or the page is wrong.
    static constexpr qint64 kPlausibleHours = 24;
    // A millisecond measurement further than this from the whole-second one is not used.
    static constexpr qint64 kPreciseToleranceMs = 3000;

    // `access` null: the network counts as present.
    TimeSynchroniser(AppContext& app, IInternetAccess* access, QObject* parent = nullptr);

    void setFetch(Fetch fetch);
    // The wait between the reads of a precise measurement; default: sleep.
    void setPause(PreciseSiteTime::Pause pause) { m_pause = std::move(pause); }

    // One measurement.
    Outcome synchronise();

    // The last measurement that reached a time, accepted or not: the page's site time less
    // half the download time, and local minus that.
    qint64 lastSiteTime() const { return m_lastSiteTime; }
    qint64 lastMeasuredOffset() const { return m_lastMeasuredOffset; }
    // What the last precise measurement found (ok false when none ran or it failed).
    PreciseSiteTime::Result lastPrecise() const { return m_lastPrecise; }

    // The status-bar clock: string 132 trimmed + " %b %d, %Y, %H:%M:%S" in local time.
    static QString siteClockText(qint64 siteNow);
    // The time text of a time page: after the first `keyword`, up to the first "</font>"
    // (nothing without one), trimmed.
    static QString cutTimeText(const QString& page, const QString& keyword);
    static bool isMaintenancePage(const QString& page, const QString& unavailableKeyword);
    static bool isPlausible(qint64 offsetSeconds);

Q_SIGNALS:
    // A measurement passed the plausibility test: restart the site clock display (timer 1)
    // and the automatic re-synchronisation (timer 5).
    void accepted();
    // The time page is the site's maintenance notice: the user may want to read it.
    void maintenancePage(const QString& url);

private:
    bool connected();
    qint64 readSiteSecond(const QString& page, const QString& keyword) const;
    void accept(qint64 offsetSeconds, const QString& url, const QString& keyword);
    void reject(qint64 offsetSeconds);

    AppContext& m_app;
    IInternetAccess* m_access;
    Fetch m_fetch;
    PreciseSiteTime::Pause m_pause;
    qint64 m_lastSiteTime = 0;
    qint64 m_lastMeasuredOffset = 0;
    PreciseSiteTime::Result m_lastPrecise;
};
