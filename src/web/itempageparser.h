#pragma once

#include <QString>

class CBidItem;
struct SiteProfile;

// Reads the rendered text of an item page into the site fields of `item`. Everything comes
// from `profile`: its keywords, and its conventions for prices and end times. The current
// site plays no part, so a page of any site reads with that site's profile.
//
// On failure `error` holds the reason and the item keeps what the steps before the failing
// one wrote. A page without the minimum-bid line still succeeds, with `error` set.
bool ParseItemPage(CBidItem& item, const QString& pageText, const SiteProfile& profile,
                   float& minBid, QString& error);
