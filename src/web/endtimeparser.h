#pragma once

#include "web/numericdatereader.h"

#include <QString>
#include <QtGlobal>

// Auction end times as the sites write them, read into seconds since 1970 by the local
// time-zone rules (a zone name on the page is ignored; the site time is read the same
// way, so both share one scale). 0 means "not read".

// The first capture group of the site's end-time pattern, read as a numeric date and
// time ("15.03.06 18:25:30"). A pattern that does not compile gives 0 and a log line.
qint64 ParseEndTimeByPattern(const QString& text, const QString& pattern,
                             const NumericDateReader& reader);
// The same with the current site's pattern and the user's date order.
qint64 ParseEndTimeByPattern(const QString& text);

// A date with a month name ("Mar-15-06 18:25:30 PST", "(15 Mar, 2006 18:25:30 GMT)") or,
// without one, the fixed-width numeric date of the order token ("15.03.06 18:25:30").
// `months` is the Other_Months value: the order token and twelve month names.
qint64 ParseEndTimeByMonths(const QString& text, const QString& months,
                            const NumericDateReader& reader);
// The same with the current site's months and the user's locale.
qint64 ParseEndTimeByMonths(const QString& text);

// "Mar 15, 2006, 18:25:30" in local time; empty when the time cannot be converted.
QString FormatEndTime(qint64 time);
