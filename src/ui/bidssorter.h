#pragma once

#include <QString>
#include <QtGlobal>
#include <vector>

class CBidItem;

// How the bids list orders its rows. Rows the column finds equal keep the order they had,
// so a column that does not sort (Bids, Shipping costs) leaves the list as it was, and the
// status pass keeps the column's order inside each status.
class BidsSorter
{
public:
    struct Keys
    {
        int column = -1; // -1: unsorted
        bool ascending = true;
        // Status code (ascending) first, the column inside each status.
        bool byStatus = false;
    };

    // The new order as positions into `items`; the caller holds the items lock.
    static std::vector<int> order(const std::vector<const CBidItem*>& items, const Keys& keys);
    // <0, 0 or >0 as the list compares two items by `column`; 0 for columns that do not sort.
    static int compare(const CBidItem& a, const CBidItem& b, int column);
    // The id as a decimal string-to-long conversion reads it (leading blanks, a sign,
    // digits up to the first other character; 0 when none; clamped on overflow).
    static qint64 idNumber(const QString& id);
    static bool isSortable(int column);
};
