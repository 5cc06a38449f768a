#pragma once

#include <QString>

class CBidItem;
struct SiteProfile;

// Reads the rendered text of an item page into the site fields of `item`. Every label comes
// from `profile` (its keywords and its decimal pointer and groups divider); `viewItemUrl`
// only tells the French site, whose prices put the amount before the currency.
//
// On failure `error` holds the reason and the item keeps what the steps before the failing
// one wrote. A page without the minimum-bid line still succeeds, with `error` set.
bool ParseItemPage(CBidItem& item, const QString& viewItemUrl, const QString& pageText,
                   const SiteProfile& profile, float& minBid, QString& error);
