#include "engine/bidtexts.h"

#include "app/stringtable.h"

#include <QDateTime>

namespace BidTexts {

QString withId(int number, const QString& itemId)
{
    QString text = StringTable::text(number);
    text.replace(QLatin1String("%s"), itemId);
    return text;
}

QString quantityTooLarge(const QString& itemId, int lotSize)
{
    return withId(425, itemId).replace(QLatin1String("%d"), QString::number(lotSize));
}

QString siteTimeMs(qint64 siteMs)
{
    return QDateTime::fromMSecsSinceEpoch(siteMs).toString(
        QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"));
}

QString plannedStartLine(const QString& itemId, qint64 plannedSiteMs, qint64 nowSiteMs)
{
    return QStringLiteral("Bid #%1: planned start %2, marked %3 (site time)")
        .arg(itemId, siteTimeMs(plannedSiteMs), siteTimeMs(nowSiteMs));
}

} // namespace BidTexts
