#pragma once

#include "sites/siteconventions.h"

#include <QChar>
#include <QString>
#include <QStringView>

// Prices in the sites' national styles. Callers cut off whatever precedes the first
// digit (it is the currency text) before scanning.

// Scans digits from the start of `text`: the site's decimal pointer becomes the decimal
// point, its groups divider is skipped, anything else ends the scan. `end`, when given,
// receives the index where the scan stopped, which is where a currency written after the
// amount begins.
float ParseSitePrice(QStringView text, const SiteConventions& conventions,
                     qsizetype* end = nullptr);
// The same with the two characters given; a NUL one never matches.
float ParseSitePrice(QStringView text, QChar decimalPointer, QChar groupsDivider,
                     qsizetype* end = nullptr);

// Two decimals with the site's decimal pointer, the currency on the site's side of the
// amount.
QString FormatSitePrice(float price, const QString& currency, const SiteConventions& conventions);
// An amount without currency (maximum price, Buy It Now price).
QString FormatPlainPrice(float price, const SiteConventions& conventions);

// A price the user typed: "," counts as ".", trailing text is ignored. Text that is not a
// finite number reads as 0.
float ParseUserPrice(const QString& text);
// Whether a typed maximum price may be accepted: above 0 and not below 0.001.
bool IsValidMaxPrice(float price);
