#include "ui/bidslistmodel.h"

#include "app/appsettings.h"
#include "app/itemslock.h"
#include "model/bidsdoc.h"
#include "ui/uiicons.h"

#include <QGuiApplication>
#include <QHash>
#include <QPalette>

namespace {

constexpr qint64 kHour = 60 * 60;

} // namespace

BidsListModel::BidsListModel(CBidsDoc& doc, const AppSettings& settings, QObject* parent)
    : QAbstractTableModel(parent), m_doc(doc), m_settings(settings),
      m_context(BidCells::Context::current()),
      m_window(QGuiApplication::palette().color(QPalette::Base))
{
    // One icon per status, made once: a cell is drawn far more often than a status changes.
    for (size_t code = 0; code < m_statusIcons.size(); ++code)
        m_statusIcons[code] = UiIcons::status(int(code));
}

void BidsListModel::setRows(const std::vector<int>& itemIndexes)
{
    beginResetModel();
    m_context = BidCells::Context::current();
    m_rows.clear();
    m_rows.reserve(itemIndexes.size());
    for (int index : itemIndexes) {
        if (const CBidItem* item = m_doc.itemAt(index))
            m_rows.push_back({index, item});
    }
    sortRows();
    endResetModel();
}

void BidsListModel::reload()
{
    ItemsLockGuard guard(m_doc.itemsLock());
    std::vector<int> indexes;
    const CBidFolder* folder = m_doc.folderById(m_doc.selectedFolderId());
    if (folder) {
        for (int i = 0; i < m_doc.itemCount(); ++i) {
            if (m_doc.itemAt(i)->folder() == folder)
                indexes.push_back(i);
        }
    }
    setRows(indexes);
}

void BidsListModel::setSortKeys(const BidsSorter::Keys& keys)
{
    m_keys = keys;
}

void BidsListModel::sort()
{
    ItemsLockGuard guard(m_doc.itemsLock());
    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    std::vector<const CBidItem*> itemsBefore;
    for (const QModelIndex& index : before)
        itemsBefore.push_back(m_rows[size_t(index.row())].item);
    sortRows();
    // Selection and the current row follow their items to the new places.
    QHash<const CBidItem*, int> rowOf;
    rowOf.reserve(rowCount());
    for (int row = 0; row < rowCount(); ++row)
        rowOf.insert(m_rows[size_t(row)].item, row);
    QModelIndexList after;
    after.reserve(before.size());
    for (size_t i = 0; i < itemsBefore.size(); ++i)
        after << index(rowOf.value(itemsBefore[i]), before.at(int(i)).column());
    changePersistentIndexList(before, after);
    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void BidsListModel::sortRows()
{
    // Rows whose item has gone cannot be compared; they go last, as they came.
    std::vector<Row> live;
    std::vector<Row> gone;
    std::vector<const CBidItem*> items;
    live.reserve(m_rows.size());
    items.reserve(m_rows.size());
    for (const Row& row : m_rows) {
        if (m_doc.itemAt(row.index) == row.item) {
            live.push_back(row);
            items.push_back(row.item);
        } else {
            gone.push_back(row);
        }
    }
    const std::vector<int> order = BidsSorter::order(items, m_keys);
    m_rows.clear();
    for (int position : order)
        m_rows.push_back(live[size_t(position)]);
    m_rows.insert(m_rows.end(), gone.begin(), gone.end());
}

int BidsListModel::itemIndex(int row) const
{
    if (row < 0 || row >= rowCount())
        return -1;
    ItemsLockGuard guard(m_doc.itemsLock());
    return itemAt(row) ? m_rows[size_t(row)].index : -1;
}

CBidItem* BidsListModel::itemAt(int row) const
{
    if (row < 0 || row >= rowCount())
        return nullptr;
    const Row& entry = m_rows[size_t(row)];
    CBidItem* item = m_doc.itemAt(entry.index);
    return item == entry.item ? item : nullptr;
}

int BidsListModel::rowOfItem(int itemIndex) const
{
    for (int row = 0; row < rowCount(); ++row) {
        if (m_rows[size_t(row)].index == itemIndex)
            return row;
    }
    return -1;
}

void BidsListModel::itemChanged(int itemIndex)
{
    const int row = rowOfItem(itemIndex);
    if (row >= 0)
        Q_EMIT dataChanged(index(row, 0), index(row, kColumns - 1));
}

void BidsListModel::refreshTimes()
{
    m_context = BidCells::Context::current();
    if (rowCount() > 0)
        Q_EMIT dataChanged(index(0, 0), index(rowCount() - 1, kColumns - 1));
}

void BidsListModel::setBackgroundShown(bool shown)
{
    if (m_backgroundShown == shown)
        return;
    m_backgroundShown = shown;
    if (rowCount() > 0)
        Q_EMIT dataChanged(index(0, 0), index(rowCount() - 1, kColumns - 1), {Qt::BackgroundRole});
}

void BidsListModel::setWindowColor(const QColor& color)
{
    m_window = color;
}

QColor BidsListModel::alternateColor(const QColor& window)
{
    return QColor(window.red(), qMax(0, window.green() - 5), qMax(0, window.blue() - 10));
}

bool BidsListModel::endsWithin(qint64 endTime, qint64 siteNow, int hours)
{
    // An end time from a damaged list may lie at either end of the range.
    qint64 left = 0;
    if (__builtin_sub_overflow(endTime, siteNow, &left))
        return false;
    return left > 0 && left <= qint64(hours) * kHour;
}

int BidsListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int BidsListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : kColumns;
}

QVariant BidsListModel::background(int row, int column) const
{
    if (m_backgroundShown)
        return QVariant();
    QColor color = row % 2 ? alternateColor(m_window) : m_window;
    // The sorted column is shaded as the selected column.
    if (column == m_keys.column)
        color = color.darker(104);
    if (color == m_window)
        return QVariant();
    return color;
}

QVariant BidsListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return QVariant();
    if (role == Qt::BackgroundRole)
        return background(index.row(), index.column());
    if (role != Qt::DisplayRole && role != Qt::DecorationRole && role != Qt::ForegroundRole &&
        role != kItemIndexRole && role != Qt::ToolTipRole)
        return QVariant();

    ItemsLockGuard guard(m_doc.itemsLock());
    const CBidItem* item = itemAt(index.row());
    if (!item)
        return QVariant();
    switch (role) {
    case Qt::DisplayRole:
        return BidCells::text(*item, index.column(), m_context);
    case Qt::DecorationRole:
        if (index.column() == BidCells::ColumnId) {
            const quint32 status = item->status();
            return m_statusIcons[status < m_statusIcons.size() ? status : StatusError];
        }
        return QVariant();
    case Qt::ForegroundRole:
        if (m_settings.highlightEnding != 0 &&
            endsWithin(item->endTime(), m_context.siteNow, m_settings.highlightEndingHours))
            return hilightColor();
        return QVariant();
    case Qt::ToolTipRole:
        return index.column() == BidCells::ColumnId ? CBidItem::statusText(item->status())
                                                    : QVariant();
    default:
        return m_rows[size_t(index.row())].index;
    }
}

QVariant BidsListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return BidCells::columnTitle(section);
    return QAbstractTableModel::headerData(section, orientation, role);
}

Qt::ItemFlags BidsListModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled;
}
