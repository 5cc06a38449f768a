#pragma once

#include <QString>
#include <QtGlobal>

// The engine's numbered texts with an item id filled in. The id is put in as text, never
// used as a format, so a strange id from a page or a file cannot upset the formatting.
namespace BidTexts {

// String `number` with its "%s" replaced by `itemId`.
QString withId(int number, const QString& itemId);
// String 425 "#%s: Quantity must be %d or fewer."
QString quantityTooLarge(const QString& itemId, int lotSize);
// "Bid #<id>: planned start <site time>, marked <site time>" with milliseconds.
QString plannedStartLine(const QString& itemId, qint64 plannedSiteMs, qint64 nowSiteMs);
// Site time in milliseconds as the log shows it: "yyyy-MM-dd HH:mm:ss.zzz".
QString siteTimeMs(qint64 siteMs);

} // namespace BidTexts
