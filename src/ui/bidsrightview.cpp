#include "ui/bidsrightview.h"

#include "app/appcontext.h"
#include "app/itemslock.h"
#include "app/stringtable.h"
#include "model/bideditform.h"
#include "model/bidsdoc.h"
#include "model/modelclock.h"
#include "sites/endtimeparser.h"
#include "sites/siteaccess.h"
#include "sites/siteprice.h"
#include "ui/bidslistmodel.h"
#include "ui/columnsdlg.h"
#include "ui/commandid.h"
#include "ui/uiicons.h"
#include "ui/userprompt.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QDateTime>
#include <QDrag>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QSet>
#include <QStyle>
#include <QTimer>

namespace {

constexpr int kClockMs = 1000;
// Room for a name when the window leaves none over, in average characters.
constexpr int kNameChars = 28;

// What a typical cell of the column holds, wide enough for the common case; the title,
// and the Name column's spare width, are dealt with by the caller.
QString sampleText(int column)
{
    const SiteConventions conventions = BuildSiteConventions();
    switch (column) {
    case BidCells::ColumnId:
        return QStringLiteral("0000000000");
    case BidCells::ColumnCount:
    case BidCells::ColumnBids:
        return QStringLiteral("000");
    case BidCells::ColumnCurrentPrice:
        return FormatSitePrice(9999.99f, QStringLiteral("EUR "), conventions);
    case BidCells::ColumnMaxPrice:
        return FormatPlainPrice(9999.99f, conventions);
    case BidCells::ColumnShipping:
        return FormatSitePrice(99.99f, QStringLiteral("EUR "), conventions);
    case BidCells::ColumnBidders:
        return QStringLiteral("bidder_name");
    case BidCells::ColumnEndTime:
        // A two-digit day in a wide month, in the list's own format.
        return FormatEndTime(QDateTime(QDate(2030, 9, 28), QTime(23, 58, 58)).toSecsSinceEpoch());
    case BidCells::ColumnTimeLeft:
        return BidCells::timeLeft(10 * 86400 + 86399, 0);
    // Names and categories run long; the start of them tells them apart.
    case BidCells::ColumnSeller:
        return QStringLiteral("seller (123/99%)");
    case BidCells::ColumnCategory:
        return QStringLiteral("Coins > World");
    default:
        return QString();
    }
}

ItemCommands::DeleteChoice askRetract(QWidget* parent, const QString& question)
{
    QMessageBox box(QMessageBox::Question, AppContext::applicationTitle(), question,
                    QMessageBox::NoButton, parent);
    QPushButton* deleteOnly = box.addButton(QObject::tr("Delete only"), QMessageBox::AcceptRole);
    QPushButton* retract =
        box.addButton(QObject::tr("Retract bids && Delete"), QMessageBox::AcceptRole);
    box.addButton(QMessageBox::Cancel);
    box.setDefaultButton(deleteOnly);
    box.exec();
    if (box.clickedButton() == deleteOnly)
        return ItemCommands::DeleteChoice::DeleteOnly;
    if (box.clickedButton() == retract)
        return ItemCommands::DeleteChoice::RetractAndDelete;
    return ItemCommands::DeleteChoice::Cancel;
}

} // namespace

CBidsRightView::CBidsRightView(AppContext& app, CBidsDoc& doc, QWidget* parent)
    : QTableView(parent), m_app(app), m_doc(doc), m_retractChooser(askRetract)
{
    setAccessibleName(tr("Bids"));
    m_model = new BidsListModel(doc, app.settings(), this);
    m_model->setWindowColor(palette().color(QPalette::Base));
    m_model->setBackgroundShown(app.settings().listBackground != 0);
    setModel(m_model);

    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setShowGrid(false);
    setWordWrap(false);
    setAlternatingRowColors(false);
    setIconSize(QSize(16, 16));
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setDragEnabled(true);
    setDragDropMode(QAbstractItemView::DragOnly);
    setDefaultDropAction(Qt::MoveAction);

    QHeaderView* rows = verticalHeader();
    rows->hide();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(qMax(18, fontMetrics().height() + 4));

    QHeaderView* columns = horizontalHeader();
    columns->setSectionsMovable(true);
    columns->setSectionsClickable(true);
    columns->setHighlightSections(false);
    columns->setStretchLastSection(false);
    columns->setSortIndicatorShown(true);
    columns->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    columns->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(columns, &QHeaderView::sectionClicked, this, &CBidsRightView::sortByColumn);
    connect(columns, &QHeaderView::customContextMenuRequested, this,
            &CBidsRightView::openColumnsDialog);
    connect(columns, &QHeaderView::sectionResized, this, &CBidsRightView::rememberWidth);
    connect(this, &QAbstractItemView::doubleClicked, this, &CBidsRightView::editFocused);
    connect(m_model, &QAbstractItemModel::modelReset, this, &CBidsRightView::updateCommandStates);
    // A status that changes under a selected row changes what Start and Stop may do.
    connect(m_model, &QAbstractItemModel::dataChanged, this, &CBidsRightView::updateCommandStates);

    applyState(ListViewState::fromSettings(app.settings()));

    // Time left and the ending-soon colour follow the site clock.
    m_clock = new QTimer(this);
    connect(m_clock, &QTimer::timeout, m_model, &BidsListModel::refreshTimes);
    m_clock->start(kClockMs);
}

CBidsRightView::~CBidsRightView()
{
    storeState();
}

QString CBidsRightView::emptyText()
{
    return QStringLiteral("There are no items to show in this view.");
}

const std::vector<int>& CBidsRightView::contextCommands()
{
    static const std::vector<int> commands = {
        CmdAddItem,  CmdDeleteBid,    CmdEditView, CmdEmailToSeller, CmdRefresh,
        CmdSavePage, CmdViewItemPage, CmdStart,    CmdStop,
    };
    return commands;
}

int CBidsRightView::defaultWidth(int column) const
{
    const QStyle* look = style();
    // The title with room for the sort arrow beside it.
    const int title =
        horizontalHeader()->fontMetrics().horizontalAdvance(BidCells::columnTitle(column)) +
        2 * look->pixelMetric(QStyle::PM_HeaderMargin, nullptr, this) +
        look->pixelMetric(QStyle::PM_HeaderMarkSize, nullptr, this) / 2 + 2;
    const int margins =
        2 * (look->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1) + 6;
    int content = 0;
    if (column == BidCells::ColumnTitle)
        content = fontMetrics().averageCharWidth() * kNameChars;
    else if (!sampleText(column).isEmpty())
        content = fontMetrics().horizontalAdvance(sampleText(column)) + margins;
    if (column == BidCells::ColumnId)
        content += iconSize().width() + 4;
    return qMax(title, content);
}

void CBidsRightView::fitNameColumn()
{
    QHeaderView* columns = horizontalHeader();
    const int name = BidCells::ColumnTitle;
    if (!m_nameFitsWindow || columns->isSectionHidden(name))
        return;
    int others = 0;
    for (int column = 0; column < ListViewState::kColumns; ++column) {
        if (column != name && !columns->isSectionHidden(column))
            others += columns->sectionSize(column);
    }
    const int width = qMax(defaultWidth(name), viewport()->width() - others);
    if (columns->sectionSize(name) == width)
        return;
    const bool applying = m_applying;
    m_applying = true;
    columns->resizeSection(name, width);
    m_applying = applying;
}

ListViewState CBidsRightView::viewState() const
{
    ListViewState state = m_state;
    const QHeaderView* columns = horizontalHeader();
    for (int position = 0; position < ListViewState::kColumns; ++position)
        state.order[size_t(position)] = columns->logicalIndex(position);
    for (int column = 0; column < ListViewState::kColumns; ++column) {
        const size_t at = size_t(column);
        state.hidden[at] = columns->isSectionHidden(column);
        if (column == BidCells::ColumnTitle && m_nameFitsWindow)
            state.widths[at] = 0; // it goes on taking what the window leaves over
        else if (!state.hidden[at])
            state.widths[at] = columns->sectionSize(column);
        else if (state.widths[at] <= 0)
            state.widths[at] = defaultWidth(column);
    }
    return state;
}

void CBidsRightView::applyState(const ListViewState& state)
{
    m_applying = true;
    m_state = state;
    // Without a width of its own the name takes the room the other columns leave.
    m_nameFitsWindow = state.widths[size_t(BidCells::ColumnTitle)] <= 0;
    QHeaderView* columns = horizontalHeader();
    for (int position = 0; position < ListViewState::kColumns; ++position) {
        const int column = state.order[size_t(position)];
        columns->moveSection(columns->visualIndex(column), position);
    }
    for (int column = 0; column < ListViewState::kColumns; ++column) {
        const int width = state.widths[size_t(column)];
        if (state.hidden[size_t(column)]) {
            columns->hideSection(column);
        } else {
            columns->showSection(column);
            columns->resizeSection(column, width > 0 ? width : defaultWidth(column));
        }
    }
    m_applying = false;
    fitNameColumn();
    m_model->setSortKeys({state.sortColumn, state.sortAscending, state.sortByStatus});
    m_model->sort();
    updateSortIndicator();
    viewport()->update();
}

void CBidsRightView::storeState()
{
    viewState().store(m_app);
}

void CBidsRightView::rememberWidth(int column, int, int newSize)
{
    if (m_applying || column < 0 || column >= ListViewState::kColumns)
        return;
    // A hidden column keeps the width it had when it was shown.
    if (newSize > 0)
        m_state.widths[size_t(column)] = newSize;
    // The user's own width for the name ends its following the window.
    if (column == BidCells::ColumnTitle)
        m_nameFitsWindow = false;
    else
        fitNameColumn();
}

void CBidsRightView::sortByColumn(int column)
{
    if (column < 0 || column >= ListViewState::kColumns)
        return;
    if (m_state.sortColumn == column) {
        m_state.sortAscending = !m_state.sortAscending;
    } else {
        m_state.sortColumn = column;
        m_state.sortAscending = true;
    }
    m_model->setSortKeys({m_state.sortColumn, m_state.sortAscending, m_state.sortByStatus});
    m_model->sort();
    updateSortIndicator();
    viewport()->update();
}

void CBidsRightView::updateSortIndicator()
{
    // Qt's header points its arrow down for an ascending sort; the list shows an up arrow
    // when ascending, so the header is told the other direction.
    horizontalHeader()->setSortIndicator(
        m_state.sortColumn, m_state.sortAscending ? Qt::DescendingOrder : Qt::AscendingOrder);
}

void CBidsRightView::setCommandActions(CommandLookup lookup)
{
    m_commands = std::move(lookup);
    updateCommandStates();
}

QAction* CBidsRightView::command(int id) const
{
    return m_commands ? m_commands(id) : nullptr;
}

void CBidsRightView::updateCommandStates()
{
    const bool anySelected = selectionModel() && selectionModel()->hasSelection();
    for (int id : {CmdDeleteBid, CmdEditView, CmdRefresh}) {
        if (QAction* action = command(id))
            action->setEnabled(anySelected);
    }
    for (int id : {CmdAddItem, CmdSelectAll, CmdViewColumns}) {
        if (QAction* action = command(id))
            action->setEnabled(true);
    }
    // Start: one item that may bid and has a maximum. Stop: an item that is bidding.
    bool canStart = false;
    bool canStop = false;
    const int focused = anySelected ? focusedItemIndex() : -1;
    if (focused >= 0 && (command(CmdStart) || command(CmdStop))) {
        ItemsLockGuard guard(m_doc.itemsLock());
        const auto& items = m_doc.items();
        if (guard.isHeld() && focused < int(items.size())) {
            const CBidItem& item = *items[size_t(focused)];
            const quint32 status = item.status();
            canStart = selectionModel()->selectedRows().size() == 1 &&
                       (status <= StatusActiveOutbid || status == StatusStopped ||
                        status == StatusRetracted) &&
                       item.maxPrice() != 0.0f;
            canStop = status == StatusRunning || status == StatusRunningOutbid;
        }
    }
    if (QAction* action = command(CmdStart))
        action->setEnabled(canStart);
    if (QAction* action = command(CmdStop))
        action->setEnabled(canStop);
}

QString CBidsRightView::focusedItemId() const
{
    const int index = focusedItemIndex();
    ItemsLockGuard guard(m_doc.itemsLock());
    const auto& items = m_doc.items();
    if (!guard.isHeld() || index < 0 || index >= int(items.size()))
        return {};
    return items[size_t(index)]->id();
}

void CBidsRightView::setRetractChooser(RetractChooser chooser)
{
    m_retractChooser = chooser ? std::move(chooser) : RetractChooser(askRetract);
}

void CBidsRightView::setBackgroundShown(bool shown)
{
    m_model->setBackgroundShown(shown);
    viewport()->update();
}

bool CBidsRightView::backgroundShown() const
{
    return m_model->backgroundShown();
}

std::vector<int> CBidsRightView::selectedItemIndexes() const
{
    std::vector<int> indexes;
    if (!selectionModel())
        return indexes;
    QModelIndexList rows = selectionModel()->selectedRows();
    std::sort(rows.begin(), rows.end(),
              [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
    for (const QModelIndex& row : rows) {
        const int index = m_model->itemIndex(row.row());
        if (index >= 0)
            indexes.push_back(index);
    }
    return indexes;
}

int CBidsRightView::focusedItemIndex() const
{
    const QModelIndex current = currentIndex();
    if (current.isValid() && selectionModel()->isRowSelected(current.row(), QModelIndex()))
        return m_model->itemIndex(current.row());
    const std::vector<int> selected = selectedItemIndexes();
    return selected.empty() ? -1 : selected.front();
}

template <typename Update> void CBidsRightView::keepSelectionAcross(Update update)
{
    // The rows are made anew: the selected items, the focused one and the scroll position
    // are found again among them.
    QSet<const CBidItem*> selected;
    const CBidItem* focused = nullptr;
    {
        ItemsLockGuard guard(m_doc.itemsLock());
        for (const QModelIndex& row : selectionModel()->selectedRows())
            selected.insert(m_model->itemAt(row.row()));
        if (currentIndex().isValid())
            focused = m_model->itemAt(currentIndex().row());
    }
    selected.remove(nullptr);
    const int scroll = verticalScrollBar()->value();
    const int focusColumn = currentIndex().isValid() ? currentIndex().column() : 0;

    update();

    QItemSelection selection;
    int focusRow = -1;
    {
        ItemsLockGuard guard(m_doc.itemsLock());
        int first = -1;
        const int count = m_model->rowCount();
        for (int row = 0; row <= count; ++row) {
            const CBidItem* item = row < count ? m_model->itemAt(row) : nullptr;
            if (item && item == focused)
                focusRow = row;
            const bool in = item && selected.contains(item);
            if (in && first < 0)
                first = row;
            if (!in && first >= 0) {
                selection.select(m_model->index(first, 0),
                                 m_model->index(row - 1, BidsListModel::kColumns - 1));
                first = -1;
            }
        }
    }
    if (focusRow >= 0)
        selectionModel()->setCurrentIndex(m_model->index(focusRow, focusColumn),
                                          QItemSelectionModel::NoUpdate);
    if (!selection.isEmpty())
        selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    verticalScrollBar()->setValue(scroll);
    updateCommandStates();
}

void CBidsRightView::showRows(const std::vector<int>& itemIndexes)
{
    keepSelectionAcross([this, &itemIndexes] { m_model->setRows(itemIndexes); });
}

void CBidsRightView::reload()
{
    keepSelectionAcross([this] { m_model->reload(); });
}

void CBidsRightView::itemRowChanged(int itemIndex)
{
    m_model->itemChanged(itemIndex);
}

bool CBidsRightView::accessGranted() const
{
    return !m_accessGate || m_accessGate();
}

void CBidsRightView::addItem()
{
    if (accessGranted())
        Q_EMIT addItemRequested();
}

void CBidsRightView::editFocused()
{
    const int index = focusedItemIndex();
    if (index < 0)
        return;
    bool readOnly = false;
    {
        ItemsLockGuard guard(m_doc.itemsLock());
        const CBidItem* item = m_doc.itemAt(index);
        readOnly = item && BidEditForm::isReadOnlyFor(*item);
    }
    // Looking at a finished bid changes nothing, so it needs no password.
    if (readOnly || accessGranted())
        Q_EMIT editItemRequested(index);
}

void CBidsRightView::deleteSelected()
{
    const std::vector<int> indexes = selectedItemIndexes();
    if (indexes.empty() || !accessGranted())
        return;
    ItemCommands commands(m_doc);
    const QString confirmation = commands.deleteConfirmation();
    if (!confirmation.isEmpty() && !UserPrompt::askYesNo(this, confirmation))
        return;
    std::vector<CBidItem*> items;
    {
        ItemsLockGuard guard(m_doc.itemsLock());
        for (int index : indexes)
            items.push_back(m_doc.itemAt(index));
    }
    // The document checks each item is still there; questions are asked without the lock.
    for (CBidItem* item : items) {
        if (commands.deleteItem(item) == ItemCommands::DeleteOutcome::NeedsChoice)
            commands.deleteItem(item, m_retractChooser(this, ItemCommands::retractQuestion()));
    }
    commands.finishDelete();
}

void CBidsRightView::refreshSelected()
{
    if (!m_app.clock().isSynchronised()) {
        UserPrompt::inform(this, StringTable::text(169), IMainWindow::Icon::Warning);
        return;
    }
    ItemsLockGuard guard(m_doc.itemsLock());
    const qint64 now = ModelClock::localNow();
    for (const QModelIndex& row : selectionModel()->selectedRows()) {
        if (CBidItem* item = m_model->itemAt(row.row())) {
            // The refresh thread reads the item again on its next round.
            item->setLastRefreshTime(now);
            item->setRefreshed(false);
        }
    }
}

void CBidsRightView::selectAllRows()
{
    selectAll();
    if (m_model->rowCount() > 0) {
        const int first = horizontalHeader()->logicalIndex(0);
        selectionModel()->setCurrentIndex(m_model->index(0, qMax(0, first)),
                                          QItemSelectionModel::NoUpdate);
    }
}

void CBidsRightView::openColumnsDialog()
{
    CColumnsDlg dialog(viewState(), this);
    if (dialog.exec() == QDialog::Accepted) {
        applyState(dialog.result());
        storeState();
    }
}

void CBidsRightView::scrollContentsBy(int dx, int dy)
{
    QTableView::scrollContentsBy(dx, dy);
    // Scrolling moves the pixels on screen, the picture with them; it belongs to the
    // viewport's corner, so the whole view is painted again.
    if (backgroundShown())
        viewport()->update();
}

bool CBidsRightView::viewportEvent(QEvent* event)
{
    // The viewport narrows without a resize of the view when the vertical bar appears.
    if (event->type() == QEvent::Resize)
        fitNameColumn();
    return QTableView::viewportEvent(event);
}

void CBidsRightView::paintEvent(QPaintEvent* event)
{
    if (backgroundShown()) {
        // The picture sits behind transparent rows, in the lower right corner of the
        // viewport, whatever part of the rows is scrolled into view.
        QPainter painter(viewport());
        const QRect area = viewport()->rect();
        const int side = qMin(256, qMin(area.width(), area.height()) * 2 / 3);
        if (side > 32) {
            painter.setOpacity(0.12);
            const QRect place(area.right() - side - 16, area.bottom() - side - 16, side, side);
            UiIcons::application().paint(&painter, place);
        }
    }
    QTableView::paintEvent(event);
    if (m_model->rowCount() == 0) {
        QPainter painter(viewport());
        painter.setPen(palette().color(QPalette::Text));
        const QRect line = viewport()->rect().adjusted(4, 8, -4, 0);
        painter.drawText(line, Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap, emptyText());
    }
}

void CBidsRightView::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu menu(this);
    for (int id : contextCommands()) {
        if (QAction* action = command(id))
            menu.addAction(action);
    }
    if (!menu.isEmpty())
        menu.exec(event->globalPos());
}

void CBidsRightView::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Delete:
        deleteSelected();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        editFocused();
        return;
    default:
        QTableView::keyPressEvent(event);
    }
}

void CBidsRightView::startDrag(Qt::DropActions)
{
    const std::vector<int> indexes = selectedItemIndexes();
    if (indexes.empty())
        return;
    auto* data = new QMimeData;
    data->setData(QLatin1String(kDragFormat), ItemCommands(m_doc).dragData(indexes));
    // The folder tree moves the items itself; nothing is removed here afterwards.
    auto* drag = new QDrag(this);
    drag->setMimeData(data);
    drag->setPixmap(UiIcons::status(StatusActive).pixmap(16, 16));
    drag->exec(Qt::MoveAction, Qt::MoveAction);
}

void CBidsRightView::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::PaletteChange)
        m_model->setWindowColor(palette().color(QPalette::Base));
    QTableView::changeEvent(event);
}

void CBidsRightView::selectionChanged(const QItemSelection& selected,
                                      const QItemSelection& deselected)
{
    QTableView::selectionChanged(selected, deselected);
    updateCommandStates();
}
