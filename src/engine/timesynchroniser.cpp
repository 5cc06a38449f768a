#include "engine/timesynchroniser.h"

#include "app/appcontext.h"
#include "app/stringtable.h"
#include "engine/connectionmanager.h"
#include "model/timespan.h"
#include "sites/endtimeparser.h"
#include "sites/siteaccess.h"
#include "web/iinternetaccess.h"
#include "web/urlsource.h"

#include <QThread>
#include <ctime>

namespace {

const char* const kEnglishMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                      "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

QString withArgument(int id, const QString& argument)
{
    return QString::asprintf(StringTable::text(id).toUtf8().constData(),
                             argument.toUtf8().constData());
}

} // namespace

TimeSynchroniser::TimeSynchroniser(AppContext& app, IInternetAccess* access, QObject* parent)
    : QObject(parent), m_app(app), m_access(access)
{
    setFetch(nullptr);
}

void TimeSynchroniser::setFetch(Fetch fetch)
{
    // The keywords are matched against the markup, so the page is read raw, not as text.
    m_fetch =
        fetch ? std::move(fetch) : Fetch([](const QString& url) { return getUrlSource(url); });
}

bool TimeSynchroniser::connected()
{
    if (!m_access)
        return true;
    // The connection test proper, which never dials; any other access is asked plainly.
    if (auto* manager = dynamic_cast<ConnectionManager*>(m_access))
        return manager->testConnection();
    return m_access->ensureConnection();
}

TimeSynchroniser::Outcome TimeSynchroniser::synchronise()
{
    Q_ASSERT(QThread::currentThread() == thread());
    // Without a line the connection test has said why; nothing more to say here.
    if (!connected())
        return Outcome::NoConnection;
    ProgramLog& log = m_app.log();
    log.message(StringTable::text(174), ProgramLog::Warning);

    const QString url = LookupSiteKey(QStringLiteral("%s_URL_TimeSync"));
    const QString keyword = LookupSiteKey(QStringLiteral("%s_KeyWord_TimeSync"));
    const SiteClock& clock = m_app.clock();
    const qint64 t0 = clock.localNow();
    const QString page = m_fetch(url);
    const QString unavailable = LookupSiteKey(QStringLiteral("%s_KeyWord_TimeU"));

    if (isMaintenancePage(page, unavailable)) {
        log.message(StringTable::text(214), ProgramLog::Error);
        Q_EMIT maintenancePage(url);
        return Outcome::Maintenance;
    }
    if (!page.contains(keyword)) {
        log.message(withArgument(195, url), ProgramLog::Error);
        return Outcome::SiteUnavailable;
    }

    const qint64 pageTime =
        ParseEndTimeByMonths(cutTimeText(page, keyword), BuildSiteConventions());
    const qint64 t1 = clock.localNow();
    m_lastSiteTime = pageTime - (t1 - t0) / 2;
    m_lastMeasuredOffset = t1 - m_lastSiteTime;
    if (isPlausible(m_lastMeasuredOffset)) {
        accept(m_lastMeasuredOffset, url, keyword);
        return Outcome::Accepted;
    }
    reject(m_lastMeasuredOffset);
    return Outcome::Rejected;
}

void TimeSynchroniser::accept(qint64 offsetSeconds, const QString& url, const QString& keyword)
{
    ProgramLog& log = m_app.log();
    SiteClock& clock = m_app.clock();
    qint64 offsetMs = offsetSeconds * 1000;
    m_lastPrecise = PreciseSiteTime::Result();
    if (m_app.settings().preciseStart) {
        const PreciseSiteTime precise(
            clock, m_fetch,
            [this, &keyword](const QString& page) { return readSiteSecond(page, keyword); },
            m_pause);
        m_lastPrecise = precise.measure(url);
        if (m_lastPrecise.ok && qAbs(m_lastPrecise.offsetMs - offsetMs) > kPreciseToleranceMs) {
            m_lastPrecise.ok = false;
            m_lastPrecise.failure = QStringLiteral("it is %1 ms away from the whole-second one")
                                        .arg(m_lastPrecise.offsetMs - offsetMs);
        }
        if (m_lastPrecise.ok)
            offsetMs = m_lastPrecise.offsetMs;
    }
    clock.setOffsetMs(offsetMs);

    log.message(StringTable::text(207), ProgramLog::Success);
    const qint64 o = offsetSeconds;
    const int hours = int(o / 3600 - (o / 86400) * 24);
    const int minutes = int(o / 60 - (o / 3600) * 60);
    const int seconds = int(o - (o / 60) * 60);
    log.write(
        QString::asprintf(StringTable::text(517).toUtf8().constData(), hours, minutes, seconds),
        ProgramLog::Info);
    if (m_app.settings().preciseStart) {
        if (m_lastPrecise.ok)
            log.write(QStringLiteral("Precise time span: %1 ms (within %2 ms, %3 page reads)")
                          .arg(m_lastPrecise.offsetMs)
                          .arg(m_lastPrecise.uncertaintyMs)
                          .arg(m_lastPrecise.reads),
                      ProgramLog::Info);
        else
            log.message(QStringLiteral("Precise time synchronization failed: %1. Bids start by "
                                       "the whole-second time.")
                            .arg(m_lastPrecise.failure),
                        ProgramLog::Warning);
    }
    Q_EMIT accepted();
}

void TimeSynchroniser::reject(qint64 offsetSeconds)
{
    ProgramLog& log = m_app.log();
    log.message(StringTable::text(213), ProgramLog::Error);
    log.write(FormatTimeSpan(offsetSeconds,
                             QStringLiteral("Time span: days %D, hours: %H, mins: %M, secs: %S")),
              ProgramLog::Info);
    // A page without a readable time gives an offset of decades. Storing it would leave
    // nothing due until the next good measurement and miss every bid meanwhile, so the
    // clock keeps the last accepted offset (or none).
    if (m_app.clock().isSynchronised())
        log.write(QStringLiteral("The site time of the last accepted synchronization is kept."),
                  ProgramLog::Info);
}

qint64 TimeSynchroniser::readSiteSecond(const QString& page, const QString& keyword) const
{
    if (page.isEmpty() || keyword.isEmpty() || !page.contains(keyword))
        return 0;
    return ParseEndTimeByMonths(cutTimeText(page, keyword), BuildSiteConventions());
}

QString TimeSynchroniser::siteClockText(qint64 siteNow)
{
    QString label = StringTable::text(132);
    while (!label.isEmpty() && label.back().isSpace())
        label.chop(1);
    const time_t t = static_cast<time_t>(siteNow);
    struct tm local
    {
    };
    if (!localtime_r(&t, &local))
        return label;
    return label + QString::asprintf(" %s %02d, %04d, %02d:%02d:%02d", kEnglishMonths[local.tm_mon],
                                     local.tm_mday, local.tm_year + 1900, local.tm_hour,
                                     local.tm_min, local.tm_sec);
}

QString TimeSynchroniser::cutTimeText(const QString& page, const QString& keyword)
{
    const qsizetype at = page.indexOf(keyword);
    if (at < 0)
        return QString();
    const QString after = page.mid(at + keyword.size());
    const qsizetype end = after.indexOf(QLatin1String("</font>"));
    return end < 0 ? QString() : after.left(end).trimmed();
}

bool TimeSynchroniser::isMaintenancePage(const QString& page, const QString& unavailableKeyword)
{
    // A profile without the key would otherwise find "" on every page and never measure.
    return page.contains(QLatin1String("unavailable")) ||
           (!unavailableKeyword.isEmpty() && page.contains(unavailableKeyword));
}

bool TimeSynchroniser::isPlausible(qint64 offsetSeconds)
{
    const qint64 hours = offsetSeconds / 3600;
    return hours >= -kPlausibleHours && hours <= kPlausibleHours;
}
