#pragma once

#include "sites/siteconventions.h"

#include <QString>
#include <optional>

// Reads the price of a result row ("US $1,234.50", "EUR 1.234,50", "12,50 EUR"): the first
// amount in the text, with the currency on either side left out.
//
// The amount is read in the site's shape (its decimal pointer, its groups divider between
// groups of three digits). A listing in another currency may be written in the other
// shape; an amount that does not fit the site's shape but fits the other one is read in
// that, so that "12,50 EUR" on a site with "." as the decimal pointer is 12.50 and never
// 1250. Nothing when no shape fits.
class SearchPrice
{
public:
    static std::optional<float> read(const QString& text, const SiteConventions& conventions);
    // The amount read with `decimal` and `group`; nothing when it does not fit that shape.
    static std::optional<double> readShape(const QString& amount, QChar decimal, QChar group);
};
