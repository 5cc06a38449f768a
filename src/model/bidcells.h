#pragma once

#include "sites/siteconventions.h"

#include <QString>
#include <QtGlobal>

class CBidItem;

// The twelve cells of an item's row in the bids list.
class BidCells
{
public:
    enum Column
    {
        ColumnId = 0,
        ColumnTitle,
        ColumnCount,
        ColumnCurrentPrice,
        ColumnMaxPrice,
        ColumnBidders,
        ColumnEndTime,
        ColumnTimeLeft,
        ColumnSeller,
        ColumnCategory,
        ColumnBids,
        ColumnShipping,
    };
    static constexpr int kColumnCount = 12;

    // What every cell of one redraw shares; take it once per redraw, not per cell.
    struct Context
    {
        SiteConventions conventions;
        qint64 siteNow = 0;

        // The current site's conventions and the site time now.
        static Context current();
    };

    // The column's title (strings 156 to 167); empty for a column out of range.
    static QString columnTitle(int column);
    // The cell text; empty for a column out of range.
    static QString text(const CBidItem& item, int column, const Context& context);
    // "0 day (s) 00:00:00" for a past end, else days, "day (s)" and "%H:%M:%S".
    static QString timeLeft(qint64 endTime, qint64 siteNow);
};
