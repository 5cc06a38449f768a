#include "engine/itemverdict.h"

#include "app/appcontext.h"
#include "app/itemslock.h"
#include "app/programlog.h"
#include "app/stringtable.h"
#include "model/bidsdoc.h"
#include "sites/siteprofile.h"
#include "web/dutchhighbidder.h"

std::optional<Verdict> ItemVerdict::decide(CBidsDoc& doc, const QString& itemId,
                                           const SiteProfile& profile, ItemsLockGuard& guard,
                                           const std::atomic<bool>* stop)
{
    Q_ASSERT(guard.isHeld());
    const CBidItem* item = doc.itemById(itemId);
    if (!item)
        return std::nullopt;
    const QString& user = profile.login;
    bool listedAsWinner = false;
    if (!item->isHighBidder(user) && item->isMultiItem()) {
        guard.unlock();
        listedAsWinner = IsDutchHighBidder(user, itemId);
        if (!guard.relock()) {
            AppContext::logWrite(QStringLiteral("Bid #%1: no verdict, the items lock was not "
                                                "granted after the winners' page.")
                                     .arg(itemId),
                                 ProgramLog::Error);
            return std::nullopt;
        }
        if (stop && stop->load())
            return std::nullopt;
    }
    // The item may have been deleted while the lock was free.
    CBidItem* current = doc.itemById(itemId);
    if (!current)
        return std::nullopt;
    current->decideVerdict(user, listedAsWinner);
    return fromStatus(current->status());
}

QString ItemVerdict::message(const QString& itemId, Verdict verdict)
{
    int text = 135;
    if (verdict == Verdict::Won)
        text = 136;
    else if (verdict == Verdict::Private)
        text = 218;
    return QString::asprintf(StringTable::text(179).toUtf8().constData(),
                             itemId.toUtf8().constData()) +
           StringTable::text(text);
}

int ItemVerdict::severity(Verdict verdict)
{
    return verdict == Verdict::Won ? ProgramLog::Success : ProgramLog::Info;
}

std::optional<Verdict> ItemVerdict::fromStatus(quint32 status)
{
    switch (status) {
    case StatusWon:
        return Verdict::Won;
    case StatusPrivate:
        return Verdict::Private;
    case StatusLost:
        return Verdict::Lost;
    default:
        return std::nullopt;
    }
}
