#pragma once

#include <QString>

// The amount by which the next bid must exceed `price` on `siteName` (exact name), by the
// site's increment bands; 0.50 where no band applies. Prices are compared in whole cents,
// so a price equal to a band's upper limit falls in that band.
float BidIncrement(float price, const QString& siteName);
// The same on the current site.
float BidIncrement(float price);
