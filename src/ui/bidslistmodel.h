#pragma once

#include "model/bidcells.h"
#include "ui/bidssorter.h"

#include <QAbstractTableModel>
#include <QColor>
#include <QIcon>
#include <array>
#include <vector>

class CBidItem;
class CBidsDoc;
struct AppSettings;

// The rows of the bids list: the items of the folder selected in the tree, sorted by the
// list's keys. Each row remembers its item's index in the document's item array (the
// row's item data) and the item itself, so that a row whose item went away since the last
// rebuild shows nothing rather than another item's cells. Cells are read under the items
// lock when they are drawn; no row owns a widget, so lists of thousands stay quick.
class BidsListModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    static constexpr int kColumns = BidCells::kColumnCount;
    static constexpr int kItemIndexRole = Qt::UserRole;
    // The text of rows ending soon.
    static QColor hilightColor() { return QColor(192, 0, 0); }

    BidsListModel(CBidsDoc& doc, const AppSettings& settings, QObject* parent = nullptr);

    // The rows the rebuild pass listed (indexes into the item array), sorted. The caller
    // holds the items lock, on the thread that ran the pass.
    void setRows(const std::vector<int>& itemIndexes);
    // Lists the selected folder's items again, the way the rebuild pass does.
    void reload();
    void setSortKeys(const BidsSorter::Keys& keys);
    const BidsSorter::Keys& sortKeys() const { return m_keys; }
    void sort();

    // Index into the item array; -1 for a row out of range or whose item has gone.
    int itemIndex(int row) const;
    // The row's item if it is still in the document; the caller holds the items lock.
    CBidItem* itemAt(int row) const;
    int rowOfItem(int itemIndex) const;
    // One item's cells changed (its status image).
    void itemChanged(int itemIndex);
    // The site clock moved on: time left and the ending-soon colour.
    void refreshTimes();

    // With the background picture the rows are transparent: no alternating colour and no
    // sorted-column shade.
    void setBackgroundShown(bool shown);
    bool backgroundShown() const { return m_backgroundShown; }
    // The list's window colour, which the alternating rows are derived from.
    void setWindowColor(const QColor& color);
    // Every second row: the window colour less 5 green and 10 blue.
    static QColor alternateColor(const QColor& window);
    // Ends within `hours` from `siteNow` and has not ended yet.
    static bool endsWithin(qint64 endTime, qint64 siteNow, int hours);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    struct Row
    {
        int index;
        const CBidItem* item;
    };

    void sortRows();
    QVariant background(int row, int column) const;

    CBidsDoc& m_doc;
    const AppSettings& m_settings;
    std::vector<Row> m_rows;
    BidsSorter::Keys m_keys;
    BidCells::Context m_context;
    std::array<QIcon, 11> m_statusIcons;
    QColor m_window;
    bool m_backgroundShown = false;
};
