#pragma once

#include "sites/numericdatereader.h"
#include "sites/siteconventions.h"

#include <QString>
#include <QtGlobal>

// Auction end times as the sites write them, read into seconds since 1970 by the local
// time-zone rules (a zone name on the page is ignored; the site time is read the same
// way, so both share one scale). 0 means "not read".

// The first capture group of the site's end-time pattern, read as a numeric date and
// time ("15.03.06 18:25:30") in the site's date order.
qint64 ParseEndTimeByPattern(const QString& text, const SiteConventions& conventions);
// The same with the pattern and reader given. A pattern that does not compile gives 0 and
// a log line.
qint64 ParseEndTimeByPattern(const QString& text, const QString& pattern,
                             const NumericDateReader& reader);

// A date with one of the site's month names ("Mar-15-06 18:25:30 PST", "(15 Mar, 2006
// 18:25:30 GMT)") or, without one, the fixed-width numeric date of the site's order token
// ("15.03.06 18:25:30").
qint64 ParseEndTimeByMonths(const QString& text, const SiteConventions& conventions);
// The same with an Other_Months value (the order token and twelve month names) given.
qint64 ParseEndTimeByMonths(const QString& text, const QString& months,
                            const NumericDateReader& reader);

// "Mar 15, 2006, 18:25:30" in local time; empty when the time cannot be converted.
QString FormatEndTime(qint64 time);
