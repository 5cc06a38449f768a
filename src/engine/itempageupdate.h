#pragma once

#include <QString>
#include <atomic>

class CBidsDoc;
class ItemsLock;
struct SiteProfile;

// The item page read of the refresh, the bid thread and the Start routine: the page
// downloaded, then under the items lock the seller's description cut, the parse and the
// merge into the item.
//
// Threads: any. The download runs without the items lock; the parse and the merge take it
// (waiting up to ItemsLock::kDefaultWaitMs) and find the item by id, so an item deleted
// during the download is left alone. Messages are shown with the lock released (a caller
// that holds the recursive lock itself keeps it, of course).
struct ItemPageUpdate
{
    // Reads the page of `itemId` with `profile`. The page goes into a copy of the item
    // first: a page the parser cannot use leaves the item as it was (an invalid item
    // excepted, which the parser ends as Lost). On success the item takes the page's data
    // and the outbid rule moves Active and Running to their outbid states and back; a
    // Running item that has just been outbid is told with a warning. The parser's message
    // for the user is shown as an error.
    //
    // `stop`, when given, is tested before and after the download: once set, the read
    // gives up silently and touches no item. False on failure or when stopped.
    static bool read(CBidsDoc& doc, const QString& itemId, const SiteProfile& profile,
                     const std::atomic<bool>* stop = nullptr);
    // The same with the document's items lock given, for a caller whose document may be
    // destroyed once `stop` is set (the refresh thread): `doc` is then not even read
    // before the lock is held and `stop` found clear.
    static bool read(CBidsDoc& doc, ItemsLock& lock, const QString& itemId,
                     const SiteProfile& profile, const std::atomic<bool>* stop);
};
