#pragma once

#include <QString>
#include <QtGlobal>

// A span of seconds written by `format`: "%D" whole days, "%H" hours of the day, "%M"
// minutes and "%S" seconds (two digits each), "%%" a percent sign; anything else is
// copied. A negative span is written as its absolute value.
QString FormatTimeSpan(qint64 seconds, const QString& format);
