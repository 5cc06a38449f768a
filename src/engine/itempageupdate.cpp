#include "engine/itempageupdate.h"

#include "app/appcontext.h"
#include "app/itemslock.h"
#include "app/programlog.h"
#include "app/stringtable.h"
#include "model/bidsdoc.h"
#include "sites/sitesettings.h"
#include "web/itempagereader.h"

#include <utility>
#include <vector>

namespace {

bool stopped(const std::atomic<bool>* stop)
{
    return stop && stop->load();
}

// A value of the profile's own site, so that the description is cut with the keywords of
// the site the page comes from.
QString siteValue(const SiteProfile& profile, const char* key)
{
    const SiteSettings* sites = SiteSettings::current();
    return sites ? sites->value(profile.siteName + QLatin1Char('_') + QLatin1String(key))
                 : QString();
}

QString messageFor(const QString& itemId, const QString& text)
{
    return QString::asprintf(StringTable::text(179).toUtf8().constData(),
                             itemId.toUtf8().constData()) +
           QLatin1Char(' ') + text;
}

} // namespace

bool ItemPageUpdate::read(CBidsDoc& doc, const QString& itemId, const SiteProfile& profile,
                          const std::atomic<bool>* stop)
{
    return read(doc, doc.itemsLock(), itemId, profile, stop);
}

bool ItemPageUpdate::read(CBidsDoc& doc, ItemsLock& lock, const QString& itemId,
                          const SiteProfile& profile, const std::atomic<bool>* stop)
{
    if (stopped(stop))
        return false;
    const ItemPageReader reader(profile, siteValue(profile, "KeyWord_Description"),
                                siteValue(profile, "KeyWord_ReadyBid"));
    QString url;
    const QString text = reader.download(itemId, &url);
    if (stopped(stop))
        return false;

    // Shown once the lock is free: text and level.
    std::vector<std::pair<QString, int>> messages;
    bool success = false;
    {
        ItemsLockGuard guard(lock);
        if (!guard.isHeld()) {
            AppContext::logWrite(QStringLiteral("Bid #%1: the items lock was not granted; the "
                                                "item page was not read.")
                                     .arg(itemId),
                                 ProgramLog::Error);
            return false;
        }
        if (stopped(stop))
            return false;
        CBidItem* item = doc.itemById(itemId);
        if (!item)
            return false;
        CBidItem page(*item);
        const ItemPageResult result = reader.parse(page, url, text);
        success = result.success;
        if (success) {
            *item = page;
            if (!result.error.isEmpty())
                messages.emplace_back(messageFor(itemId, result.error), ProgramLog::Error);
            const QString outbid = item->applyOutbidRule(profile.login);
            if (!outbid.isEmpty())
                messages.emplace_back(outbid, ProgramLog::Warning);
        } else {
            // The site says there is no such item: the auction is over for good.
            if (result.error == StringTable::text(232)) {
                item->setEnded(true);
                item->setStatus(StatusLost);
            }
            messages.emplace_back(messageFor(itemId, result.message()), ProgramLog::Error);
        }
    }
    for (const auto& [line, level] : messages)
        AppContext::logMessage(line, level);
    return success;
}
