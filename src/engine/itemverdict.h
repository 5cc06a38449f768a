#pragma once

#include <QString>
#include <atomic>
#include <optional>

class CBidsDoc;
class ItemsLockGuard;
struct SiteProfile;

enum class Verdict
{
    Won,
    Private,
    Lost
};

// The verdict of an ended auction, decided in one place for the refresh, the bid thread
// and the Start routine.
struct ItemVerdict
{
    // Decides the verdict of item `itemId` and sets its status (7, 9 or 8) and its ended
    // flag; Won also sets the high bidders text to the profile's login name. The user wins
    // when the item's high bidders name them or, for a multi-item auction, when the site's
    // page of winners lists them.
    //
    // Called with `guard` held. The winners' page is a download: the lock is released
    // around it and the item looked up again by id after. Nothing (and nothing changed)
    // when the item went meanwhile, or when the lock could not be had again: `guard` is
    // then no longer held (logged), so the caller checks guard.isHeld() before going on.
    //
    // `stop`, when given, is tested once the lock is had again: when set, nothing (the
    // guard held) and the document is not touched, as it may be gone.
    static std::optional<Verdict> decide(CBidsDoc& doc, const QString& itemId,
                                         const SiteProfile& profile, ItemsLockGuard& guard,
                                         const std::atomic<bool>* stop = nullptr);

    // "Message for bid #<id>. " and the verdict's text.
    static QString message(const QString& itemId, Verdict verdict);
    // The log level the verdict's message is shown with: success for Won, else information.
    static int severity(Verdict verdict);
    // Won, Private or Lost for a finished status; nothing for any other.
    static std::optional<Verdict> fromStatus(quint32 status);
};
