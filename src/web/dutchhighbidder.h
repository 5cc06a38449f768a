#pragma once

#include <QString>

// Whether `userId` is among the high bidders of the multi-item auction `itemNumber`: the
// current site's high-bidder page contains the id as written or in lower case.
bool IsDutchHighBidder(const QString& userId, const QString& itemNumber);

// `pattern` with its first "%s" replaced by `value`; other '%' signs stay as they are.
QString FormatUrlPattern(const QString& pattern, const QString& value);
