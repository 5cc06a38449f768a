#pragma once

#include <QChar>
#include <QString>
#include <QStringView>

// Prices in the sites' national styles. Callers cut off whatever precedes the first
// digit (it is the currency text) before scanning.

// Scans digits from the start of `text`: `decimalPointer` becomes the decimal point, the
// `groupsDivider` is skipped, anything else ends the scan. A NUL pointer or divider (an
// empty site value) never matches. `end`, when given, receives the index where the scan
// stopped, which is where a currency written after the amount begins.
float ParseSitePrice(QStringView text, QChar decimalPointer, QChar groupsDivider,
                     qsizetype* end = nullptr);

// Two decimals, the currency after the amount on the French site and before it elsewhere,
// every "." replaced by the site's decimal pointer.
QString FormatSitePrice(float price, const QString& currency, QChar decimalPointer,
                        const QString& siteName);
// The same on the current site.
QString FormatSitePrice(float price, const QString& currency, QChar decimalPointer);
// An amount without currency (maximum price, Buy It Now price).
QString FormatPlainPrice(float price, QChar decimalPointer);

// A price the user typed: "," counts as ".", trailing text is ignored. Text that is not a
// finite number reads as 0.
float ParseUserPrice(const QString& text);
// Whether a typed maximum price may be accepted: above 0 and not below 0.001.
bool IsValidMaxPrice(float price);
