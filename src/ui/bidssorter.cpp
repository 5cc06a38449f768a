#include "ui/bidssorter.h"

#include "model/bidcells.h"
#include "model/biditem.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>

namespace {

enum class KeyKind
{
    None,
    Number,
    Real,
    Text,
};

KeyKind kindOf(int column)
{
    switch (column) {
    case BidCells::ColumnId:
    case BidCells::ColumnCount:
    case BidCells::ColumnEndTime:
    case BidCells::ColumnTimeLeft:
        return KeyKind::Number;
    case BidCells::ColumnCurrentPrice:
    case BidCells::ColumnMaxPrice:
        return KeyKind::Real;
    case BidCells::ColumnTitle:
    case BidCells::ColumnBidders:
    case BidCells::ColumnSeller:
    case BidCells::ColumnCategory:
        return KeyKind::Text;
    default:
        return KeyKind::None;
    }
}

qint64 numberKey(const CBidItem& item, int column)
{
    switch (column) {
    case BidCells::ColumnId:
        return BidsSorter::idNumber(item.id());
    case BidCells::ColumnCount:
        return item.quantity();
    default:
        return item.endTime();
    }
}

// A price read from a damaged list may be NaN, which no ordering can hold: it goes first.
double realKey(const CBidItem& item, int column)
{
    const float price =
        column == BidCells::ColumnCurrentPrice ? item.currentPrice() : item.maxPrice();
    return std::isnan(price) ? -std::numeric_limits<double>::infinity() : double(price);
}

const QString& textKey(const CBidItem& item, int column)
{
    switch (column) {
    case BidCells::ColumnTitle:
        return item.title();
    case BidCells::ColumnBidders:
        return item.highBidders();
    case BidCells::ColumnSeller:
        return item.seller();
    default:
        return item.category();
    }
}

template <typename Key>
void sortByKeys(std::vector<int>& order, const std::vector<Key>& keys, bool ascending)
{
    if (ascending) {
        std::stable_sort(order.begin(), order.end(),
                         [&keys](int a, int b) { return keys[size_t(a)] < keys[size_t(b)]; });
    } else {
        std::stable_sort(order.begin(), order.end(),
                         [&keys](int a, int b) { return keys[size_t(b)] < keys[size_t(a)]; });
    }
}

template <typename Key, typename Extract>
void sortBy(std::vector<int>& order, const std::vector<const CBidItem*>& items, bool ascending,
            Extract extract)
{
    std::vector<Key> keys;
    keys.reserve(items.size());
    for (const CBidItem* item : items)
        keys.push_back(extract(*item));
    sortByKeys(order, keys, ascending);
}

template <typename T> int threeWay(const T& a, const T& b)
{
    return a < b ? -1 : (b < a ? 1 : 0);
}

} // namespace

bool BidsSorter::isSortable(int column)
{
    return kindOf(column) != KeyKind::None;
}

qint64 BidsSorter::idNumber(const QString& id)
{
    qsizetype i = 0;
    while (i < id.size() && id.at(i).isSpace())
        ++i;
    bool negative = false;
    if (i < id.size() && (id.at(i) == u'+' || id.at(i) == u'-')) {
        negative = id.at(i) == u'-';
        ++i;
    }
    constexpr qint64 kMax = std::numeric_limits<qint64>::max();
    qint64 value = 0;
    for (; i < id.size() && id.at(i) >= u'0' && id.at(i) <= u'9'; ++i) {
        const int digit = id.at(i).unicode() - u'0';
        if (value > (kMax - digit) / 10)
            return negative ? std::numeric_limits<qint64>::min() : kMax;
        value = value * 10 + digit;
    }
    return negative ? -value : value;
}

int BidsSorter::compare(const CBidItem& a, const CBidItem& b, int column)
{
    switch (kindOf(column)) {
    case KeyKind::Number:
        return threeWay(numberKey(a, column), numberKey(b, column));
    case KeyKind::Real:
        return threeWay(realKey(a, column), realKey(b, column));
    case KeyKind::Text:
        return textKey(a, column).compare(textKey(b, column), Qt::CaseSensitive);
    case KeyKind::None:
        break;
    }
    return 0;
}

std::vector<int> BidsSorter::order(const std::vector<const CBidItem*>& items, const Keys& keys)
{
    std::vector<int> order(items.size());
    std::iota(order.begin(), order.end(), 0);
    const int column = keys.column;
    // Keys are taken once per row: the comparisons run n log n times on lists of thousands.
    switch (kindOf(column)) {
    case KeyKind::Number:
        sortBy<qint64>(order, items, keys.ascending,
                       [column](const CBidItem& item) { return numberKey(item, column); });
        break;
    case KeyKind::Real:
        sortBy<double>(order, items, keys.ascending,
                       [column](const CBidItem& item) { return realKey(item, column); });
        break;
    case KeyKind::Text:
        sortBy<QStringView>(order, items, keys.ascending, [column](const CBidItem& item) {
            return QStringView(textKey(item, column));
        });
        break;
    case KeyKind::None:
        break;
    }
    if (keys.byStatus) {
        sortBy<quint32>(order, items, true, [](const CBidItem& item) { return item.status(); });
    }
    return order;
}
