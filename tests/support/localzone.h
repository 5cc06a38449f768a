#pragma once

#include <QByteArray>
#include <QLocale>

// Central European rules without any zone database: UTC+1, daylight saving (UTC+2) from
// the last Sunday of March to the last Sunday of October.
inline constexpr const char* kCentralEurope = "CET-1CEST,M3.5.0,M10.5.0/3";

// Sets TZ and the default locale for one test and puts both back afterwards, so that the
// results do not depend on the machine.
class LocalZone
{
public:
    explicit LocalZone(const char* zone = kCentralEurope,
                       const QLocale& locale = QLocale(QLocale::German, QLocale::Germany));
    ~LocalZone();

    LocalZone(const LocalZone&) = delete;
    LocalZone& operator=(const LocalZone&) = delete;

    // Seconds since 1970 of a UTC date and time, to state expectations independently.
    static qint64 utc(int year, int month, int day, int hour, int minute, int second);

private:
    bool m_hadZone;
    QByteArray m_zone;
    QLocale m_locale;
};
