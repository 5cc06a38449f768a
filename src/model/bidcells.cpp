#include "model/bidcells.h"

#include "app/stringtable.h"
#include "model/biditem.h"
#include "model/modelclock.h"
#include "model/timespan.h"
#include "sites/endtimeparser.h"
#include "sites/siteaccess.h"
#include "sites/siteprice.h"

#include <limits>

namespace {

const QString kDays = QStringLiteral("day (s)");

} // namespace

BidCells::Context BidCells::Context::current()
{
    Context context;
    context.conventions = BuildSiteConventions();
    context.siteNow = ModelClock::siteNow();
    return context;
}

QString BidCells::columnTitle(int column)
{
    if (column < 0 || column >= kColumnCount)
        return QString();
    return StringTable::text(156 + column);
}

QString BidCells::timeLeft(qint64 endTime, qint64 siteNow)
{
    qint64 left = 0;
    if (__builtin_sub_overflow(endTime, siteNow, &left))
        left = endTime < siteNow ? -1 : std::numeric_limits<qint64>::max();
    if (left < 0)
        return QStringLiteral("0 %1 00:00:00").arg(kDays);
    return FormatTimeSpan(left, QStringLiteral("%D")) + QLatin1Char(' ') + kDays +
           QLatin1Char(' ') + FormatTimeSpan(left, QStringLiteral("%H:%M:%S"));
}

QString BidCells::text(const CBidItem& item, int column, const Context& context)
{
    switch (column) {
    case ColumnId:
        return item.id();
    case ColumnTitle:
        return item.title();
    case ColumnCount:
        if (item.isMultiItem() && item.quantity() >= 1)
            return QString::number(item.quantity());
        return QString();
    case ColumnCurrentPrice:
        if (item.isMultiItem() && !item.multiItemPriceText().isEmpty())
            return item.multiItemPriceText();
        return FormatSitePrice(item.currentPrice(), item.currency(), context.conventions);
    case ColumnMaxPrice:
        return FormatPlainPrice(item.maxPrice(), context.conventions);
    case ColumnBidders:
        return item.highBidders();
    case ColumnEndTime:
        return FormatEndTime(item.endTime());
    case ColumnTimeLeft:
        return timeLeft(item.endTime(), context.siteNow);
    case ColumnSeller:
        return QStringLiteral("%1 (%2/%3)")
            .arg(item.seller(), item.sellerRating1(), item.sellerRating2());
    case ColumnCategory:
        return item.category();
    case ColumnBids:
        return item.bids();
    case ColumnShipping:
        return item.shippingCosts();
    default:
        return QString();
    }
}
