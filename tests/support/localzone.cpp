#include "support/localzone.h"

#include <QDateTime>
#include <QTimeZone>
#include <ctime>

LocalZone::LocalZone(const char* zone, const QLocale& locale)
    : m_hadZone(qEnvironmentVariableIsSet("TZ")), m_zone(qgetenv("TZ"))
{
    qputenv("TZ", zone);
    tzset();
    QLocale::setDefault(locale);
}

LocalZone::~LocalZone()
{
    if (m_hadZone)
        qputenv("TZ", m_zone);
    else
        qunsetenv("TZ");
    tzset();
    QLocale::setDefault(m_locale);
}

qint64 LocalZone::utc(int year, int month, int day, int hour, int minute, int second)
{
    return QDateTime(QDate(year, month, day), QTime(hour, minute, second), QTimeZone::utc())
        .toSecsSinceEpoch();
}
