#pragma once

#include "model/itemcommands.h"
#include "ui/listviewstate.h"

#include <QTableView>
#include <functional>
#include <vector>

class AppContext;
class BidsListModel;
class CBidsDoc;
class QAction;
class QTimer;

// The bids list: the items of the folder selected in the tree, one row each, with the
// columns, sorting and highlighting the user chose. It carries out the list's own
// commands; adding and editing an item are asked for through signals, since the item
// dialog belongs to the window.
class CBidsRightView : public QTableView
{
    Q_OBJECT
public:
    // The clipboard format of dragged rows.
    static constexpr auto kDragFormat = "BidItem";
    // Answers the "You are the high bidder..." question of a delete.
    using RetractChooser = std::function<ItemCommands::DeleteChoice(QWidget*, const QString&)>;
    // The list's access lock: false abandons a changing command.
    using AccessGate = std::function<bool()>;
    // The window's action of a command number, or null.
    using CommandLookup = std::function<QAction*(int)>;

    CBidsRightView(AppContext& app, CBidsDoc& doc, QWidget* parent = nullptr);
    // Stores the view state (Options\List).
    ~CBidsRightView() override;

    static QString emptyText();
    // The commands of the list's context menu, in its order.
    static const std::vector<int>& contextCommands();

    BidsListModel* listModel() const { return m_model; }
    // Order, hidden columns, widths (a hidden column keeps its remembered width) and the
    // sort keys as they are now.
    ListViewState viewState() const;
    // Shows and hides columns, gives them their widths and order, and sorts.
    void applyState(const ListViewState& state);
    void storeState();
    // Wide enough for the column's title and its usual contents; for the name, the least
    // it gets when the window leaves less over.
    int defaultWidth(int column) const;
    // The name has no stored width and takes what the other columns leave of the view.
    bool nameFitsWindow() const { return m_nameFitsWindow; }
    // A click on a column title: ascending on a new column, the other direction on the
    // sorted one.
    void sortByColumn(int column);

    void setCommandActions(CommandLookup lookup);
    void setAccessGate(AccessGate gate) { m_accessGate = std::move(gate); }
    void setRetractChooser(RetractChooser chooser);
    void setBackgroundShown(bool shown);
    bool backgroundShown() const;

    // Indexes into the item array of the selected rows, in row order.
    std::vector<int> selectedItemIndexes() const;
    // The focused row's item, else the first selected one; -1 when none.
    int focusedItemIndex() const;
    // That item's id; empty when none.
    QString focusedItemId() const;

    // The rebuild pass's rows; the caller holds the items lock on this view's thread.
    void showRows(const std::vector<int>& itemIndexes);
    // Lists the selected folder again (after a pass that ran on another thread).
    void reload();
    void itemRowChanged(int itemIndex);

public Q_SLOTS:
    void addItem();
    void deleteSelected();
    void editFocused();
    void refreshSelected();
    void selectAllRows();
    void openColumnsDialog();

Q_SIGNALS:
    // "Add item": the window opens the item dialog in add mode.
    void addItemRequested();
    // "Edit/View" or a double click on a row.
    void editItemRequested(int itemIndex);

protected:
    void paintEvent(QPaintEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    bool viewportEvent(QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void startDrag(Qt::DropActions supportedActions) override;
    void changeEvent(QEvent* event) override;
    void selectionChanged(const QItemSelection& selected,
                          const QItemSelection& deselected) override;

private:
    template <typename Update> void keepSelectionAcross(Update update);
    void updateSortIndicator();
    void updateCommandStates();
    bool accessGranted() const;
    QAction* command(int id) const;
    void rememberWidth(int column, int oldSize, int newSize);
    void fitNameColumn();

    AppContext& m_app;
    CBidsDoc& m_doc;
    BidsListModel* m_model = nullptr;
    QTimer* m_clock = nullptr;
    ListViewState m_state;
    CommandLookup m_commands;
    AccessGate m_accessGate;
    RetractChooser m_retractChooser;
    bool m_applying = false;
    bool m_nameFitsWindow = false;
};
