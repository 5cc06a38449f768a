#pragma once

#include "sites/siteprofile.h"

#include <QString>

class CBidItem;
class ItemsLock;

// How one read of an item page went.
struct ItemPageResult
{
    bool success = false;
    float minBid = 0.0f;
    // The parser's text; on failure an empty text stands for the page-format message alone
    // (see message()). On success it may still say that the minimum bid was not found.
    QString error;
    // The address the page was read from.
    QString url;
    // Why the download gave no page; empty when it came.
    QString downloadFailure;

    // The text to show or log for a failure: `error`, or the page-format message when empty,
    // followed by the address and the reason when the download failed.
    QString message() const;
};

// The one way every part of the program reads an item page: the current site's profile and
// its description keywords, the page as text, the seller's description cut out, then the
// parser. Callers differ only in where the item lives.
//
// A reader is used by one thread at a time: it remembers why its last download failed, so
// that parse() of that download can say so.
class ItemPageReader
{
public:
    // Takes the current site's profile, "Description" and "Ready to bid" keywords now; a
    // reader made for another site (or a test) can set them.
    ItemPageReader();
    ItemPageReader(SiteProfile profile, QString descriptionKeyword, QString readyBidKeyword);

    const SiteProfile& profile() const { return m_profile; }
    QString viewItemUrl(const QString& id) const;

    // The seller's description removed: from the first description keyword up to, not
    // including, the first ready-to-bid keyword (the end of the text when absent). Nothing
    // is removed when the ready-to-bid keyword comes first.
    static QString cutDescription(const QString& text, const QString& descriptionKeyword,
                                  const QString& readyBidKeyword);

    // Downloads the page of item `id` as text. Empty on failure (logged by the download;
    // `failure`, when given, says why).
    QString download(const QString& id, QString* url = nullptr, QString* failure = nullptr) const;

    // Cuts the description from `pageText` and parses it into `item`. When `lock` is given
    // it is held (waiting up to `lockWaitMs`) while the item is written; a lock that cannot
    // be had fails the read without touching the item.
    ItemPageResult parse(CBidItem& item, const QString& url, const QString& pageText,
                         ItemsLock* lock = nullptr, int lockWaitMs = 600000) const;

    // download() and parse() in one: the page of `id` read into `item`.
    ItemPageResult read(CBidItem& item, const QString& id, ItemsLock* lock = nullptr,
                        int lockWaitMs = 600000) const;

private:
    SiteProfile m_profile;
    QString m_descriptionKeyword;
    QString m_readyBidKeyword;
    // The last download that gave no page: its address and why.
    mutable QString m_failedUrl;
    mutable QString m_failure;
};
