#include "ui/bidsleftview.h"

#include "app/appcontext.h"
#include "app/itemslock.h"
#include "model/bidsdoc.h"
#include "model/foldercommands.h"
#include "ui/bidsrightview.h"
#include "ui/commandid.h"
#include "ui/foldernamedelegate.h"
#include "ui/folderpropertiesdlg.h"
#include "ui/uiicons.h"
#include "ui/userprompt.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QHash>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QSet>
#include <algorithm>

namespace {

QString dragFormat()
{
    return QLatin1String(CBidsRightView::kDragFormat);
}

} // namespace

CBidsLeftView::CBidsLeftView(AppContext& app, CBidsDoc& doc, QWidget* parent)
    : QTreeWidget(parent), m_app(app), m_doc(doc)
{
    setAccessibleName(tr("Folders"));
    setHeaderHidden(true);
    setColumnCount(1);
    setSelectionMode(QAbstractItemView::SingleSelection);
    // Renaming goes through the command, which checks the folder and the access lock.
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Folders are not dragged; list rows are dropped on them.
    setDragEnabled(false);
    setAcceptDrops(true);
    setDragDropMode(QAbstractItemView::DropOnly);
    setLargeIcons(app.settings().bigIcon != 0);

    m_delegate = new FolderNameDelegate(kNameRole, this);
    setItemDelegate(m_delegate);
    connect(m_delegate, &FolderNameDelegate::nameEntered, this,
            [this](const QModelIndex& index, const QString& name) {
                const qint32 id = index.data(kFolderIdRole).toInt();
                // After the editor has closed: the rename rebuilds the tree.
                QMetaObject::invokeMethod(
                    this, [this, id, name] { applyRename(id, name); }, Qt::QueuedConnection);
            });
    connect(this, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* current) { folderChosen(current); });
}

const std::vector<int>& CBidsLeftView::contextCommands()
{
    static const std::vector<int> commands = {
        CmdAddFolder, CmdDeleteFolder, CmdRenameFolder, 0, CmdFolderProperties, 0,
        CmdAddItem,   CmdViewColumns,  CmdSelectAll,
    };
    return commands;
}

void CBidsLeftView::setCommandActions(CommandLookup lookup)
{
    m_commands = std::move(lookup);
    updateCommandStates();
}

QAction* CBidsLeftView::command(int id) const
{
    return m_commands ? m_commands(id) : nullptr;
}

void CBidsLeftView::setLargeIcons(bool large)
{
    setIconSize(large ? QSize(24, 24) : QSize(16, 16));
}

QIcon CBidsLeftView::folderIcon(qint32 folderId) const
{
    switch (folderId) {
    case CBidFolder::OpenAuctionsId:
        return UiIcons::named(QStringLiteral("folder-open"));
    case CBidFolder::ClosedAuctionsId:
    case CBidFolder::ClosedSpareId:
        return UiIcons::named(QStringLiteral("folder-closed"));
    case CBidFolder::FoundItemsId:
        return UiIcons::named(QStringLiteral("folder-found"));
    default:
        return UiIcons::named(QStringLiteral("folder"));
    }
}

void CBidsLeftView::rebuildTree()
{
    if (m_busy > 0) {
        if (!m_rebuildPending) {
            m_rebuildPending = true;
            QMetaObject::invokeMethod(
                this,
                [this] {
                    m_rebuildPending = false;
                    rebuildTree();
                },
                Qt::QueuedConnection);
        }
        return;
    }
    // Folders keep their open or closed state; new ones open.
    QSet<qint32> known;
    QSet<qint32> expanded;
    for (QTreeWidgetItemIterator it(this); *it; ++it) {
        const qint32 id = (*it)->data(0, kFolderIdRole).toInt();
        known.insert(id);
        if ((*it)->isExpanded())
            expanded.insert(id);
    }

    const QSignalBlocker blocker(this);
    m_dropTarget = nullptr;
    clear();
    qint32 selected = 0;
    {
        ItemsLockGuard guard(m_doc.itemsLock());
        FolderCommands commands(m_doc);
        QHash<const CBidFolder*, QTreeWidgetItem*> nodes;
        for (const auto& folder : m_doc.folders()) {
            auto* node = new QTreeWidgetItem;
            node->setText(0, m_doc.folderLabel(folder.get()));
            node->setData(0, kFolderIdRole, folder->id());
            node->setData(0, kNameRole, folder->name());
            node->setIcon(0, folderIcon(folder->id()));
            Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDropEnabled;
            if (commands.canRename(folder.get()))
                flags |= Qt::ItemIsEditable;
            node->setFlags(flags);
            nodes.insert(folder.get(), node);
            folder->setTreeNode(node);
        }
        for (const auto& folder : m_doc.folders()) {
            QTreeWidgetItem* node = nodes.value(folder.get());
            QTreeWidgetItem* parent = nodes.value(folder->parent());
            if (parent && parent != node)
                parent->addChild(node);
            else
                addTopLevelItem(node);
        }
        selected = m_doc.selectedFolderId();
    }
    if (m_app.settings().sortFolders != 0) {
        for (int i = 0; i < topLevelItemCount(); ++i)
            sortChildrenByName(topLevelItem(i));
    }
    for (QTreeWidgetItemIterator it(this); *it; ++it) {
        const qint32 id = (*it)->data(0, kFolderIdRole).toInt();
        (*it)->setExpanded(!m_built || expanded.contains(id) || !known.contains(id));
    }
    m_built = true;
    if (QTreeWidgetItem* node = nodeOfFolder(selected)) {
        setCurrentItem(node);
        scrollToItem(node);
    }
    updateCommandStates();
}

void CBidsLeftView::sortChildrenByName(QTreeWidgetItem* parent)
{
    QList<QTreeWidgetItem*> children = parent->takeChildren();
    std::stable_sort(children.begin(), children.end(),
                     [](const QTreeWidgetItem* a, const QTreeWidgetItem* b) {
                         return a->data(0, kNameRole)
                                    .toString()
                                    .localeAwareCompare(b->data(0, kNameRole).toString()) < 0;
                     });
    parent->addChildren(children);
    for (QTreeWidgetItem* child : children)
        sortChildrenByName(child);
}

QTreeWidgetItem* CBidsLeftView::nodeOfFolder(qint32 folderId) const
{
    for (QTreeWidgetItemIterator it(const_cast<CBidsLeftView*>(this)); *it; ++it) {
        if ((*it)->data(0, kFolderIdRole).toInt() == folderId)
            return *it;
    }
    return nullptr;
}

qint32 CBidsLeftView::currentFolderId() const
{
    const QTreeWidgetItem* node = currentItem();
    return node ? node->data(0, kFolderIdRole).toInt() : 0;
}

void CBidsLeftView::selectFolder(qint32 folderId)
{
    if (QTreeWidgetItem* node = nodeOfFolder(folderId))
        setCurrentItem(node);
}

void CBidsLeftView::folderChosen(QTreeWidgetItem* current)
{
    updateCommandStates();
    if (!current)
        return;
    // The selection is still being changed: a tree rebuilt now waits for the event loop.
    ++m_busy;
    {
        ItemsLockGuard guard(m_doc.itemsLock());
        m_doc.setSelectedFolderId(current->data(0, kFolderIdRole).toInt());
        m_doc.rebuild();
    }
    --m_busy;
}

bool CBidsLeftView::accessGranted() const
{
    return !m_accessGate || m_accessGate();
}

void CBidsLeftView::addFolder()
{
    if (!accessGranted())
        return;
    const qint32 added = [this] {
        ItemsLockGuard guard(m_doc.itemsLock());
        CBidFolder* parent = m_doc.folderById(currentFolderId());
        return FolderCommands(m_doc).addFolder(parent)->id();
    }();
    // The document rebuilt the tree with the new folder selected.
    if (QTreeWidgetItem* node = nodeOfFolder(added)) {
        if (node->parent())
            node->parent()->setExpanded(true);
        setCurrentItem(node);
        scrollToItem(node);
        editItem(node);
    }
}

void CBidsLeftView::deleteFolder()
{
    const qint32 id = currentFolderId();
    QString question;
    {
        ItemsLockGuard guard(m_doc.itemsLock());
        question = FolderCommands(m_doc).deleteQuestion(m_doc.folderById(id));
    }
    if (question.isEmpty() || !accessGranted())
        return;
    if (!UserPrompt::askYesNo(this, question))
        return;
    ItemsLockGuard guard(m_doc.itemsLock());
    FolderCommands(m_doc).deleteFolder(m_doc.folderById(id));
}

void CBidsLeftView::renameFolder()
{
    QTreeWidgetItem* node = currentItem();
    if (!node)
        return;
    bool allowed = false;
    {
        ItemsLockGuard guard(m_doc.itemsLock());
        allowed =
            FolderCommands(m_doc).canRename(m_doc.folderById(node->data(0, kFolderIdRole).toInt()));
    }
    if (allowed && accessGranted())
        editItem(node);
}

void CBidsLeftView::applyRename(qint32 folderId, const QString& name)
{
    QString message;
    {
        ItemsLockGuard guard(m_doc.itemsLock());
        CBidFolder* folder = m_doc.folderById(folderId);
        if (!folder || folder->name() == name)
            return;
        message = FolderCommands(m_doc).rename(folder, name);
    }
    if (message.isEmpty())
        return;
    UserPrompt::inform(this, message, IMainWindow::Icon::Warning);
    // The name was refused: the user tries again.
    if (QTreeWidgetItem* node = nodeOfFolder(folderId)) {
        setCurrentItem(node);
        editItem(node);
    }
}

void CBidsLeftView::folderProperties()
{
    const qint32 id = currentFolderId();
    QString name;
    bool onlyOne = false;
    {
        ItemsLockGuard guard(m_doc.itemsLock());
        const CBidFolder* folder = m_doc.folderById(id);
        if (!folder)
            return;
        name = folder->name();
        onlyOne = folder->onlyOneItemWins();
    }
    if (!accessGranted())
        return;
    CFolderPropertiesDlg dialog(name, onlyOne, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    QString message;
    {
        ItemsLockGuard guard(m_doc.itemsLock());
        message = FolderCommands(m_doc).setOnlyOneItemWins(m_doc.folderById(id),
                                                           dialog.onlyOneItemWins());
    }
    if (!message.isEmpty())
        UserPrompt::inform(this, message, IMainWindow::Icon::Warning);
}

DropResult CBidsLeftView::dropRows(const QByteArray& data, qint32 folderId)
{
    DropResult result;
    {
        ItemsLockGuard guard(m_doc.itemsLock());
        result = ItemCommands(m_doc).drop(data, m_doc.folderById(folderId));
    }
    if (!result.message.isEmpty())
        UserPrompt::inform(this, result.message, IMainWindow::Icon::Warning);
    return result;
}

void CBidsLeftView::updateCommandStates()
{
    if (!m_commands)
        return;
    bool deletable = false;
    bool renamable = false;
    bool selected = false;
    {
        ItemsLockGuard guard(m_doc.itemsLock());
        const CBidFolder* folder = m_doc.folderById(currentFolderId());
        FolderCommands commands(m_doc);
        selected = folder != nullptr;
        deletable = !commands.deleteQuestion(folder).isEmpty();
        renamable = commands.canRename(folder);
    }
    const std::pair<int, bool> states[] = {
        {CmdAddFolder, true},
        {CmdDeleteFolder, deletable},
        {CmdRenameFolder, renamable},
        {CmdFolderProperties, selected},
    };
    for (const auto& [id, enabled] : states) {
        if (QAction* action = command(id))
            action->setEnabled(enabled);
    }
}

void CBidsLeftView::contextMenuEvent(QContextMenuEvent* event)
{
    if (QTreeWidgetItem* node = itemAt(event->pos()))
        setCurrentItem(node);
    QMenu menu(this);
    for (int id : contextCommands()) {
        if (id == 0) {
            menu.addSeparator();
        } else if (QAction* action = command(id)) {
            menu.addAction(action);
        }
    }
    if (!menu.actions().isEmpty())
        menu.exec(event->globalPos());
}

void CBidsLeftView::keyPressEvent(QKeyEvent* event)
{
    if (state() != QAbstractItemView::EditingState) {
        if (event->key() == Qt::Key_F2) {
            renameFolder();
            return;
        }
        if (event->key() == Qt::Key_Delete) {
            deleteFolder();
            return;
        }
    }
    QTreeWidget::keyPressEvent(event);
}

void CBidsLeftView::setDropTarget(QTreeWidgetItem* node)
{
    if (node == m_dropTarget)
        return;
    if (m_dropTarget)
        m_dropTarget->setBackground(0, QBrush());
    m_dropTarget = node;
    if (m_dropTarget)
        m_dropTarget->setBackground(0, palette().color(QPalette::Highlight).lighter(160));
}

void CBidsLeftView::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasFormat(dragFormat()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void CBidsLeftView::dragMoveEvent(QDragMoveEvent* event)
{
    QTreeWidgetItem* node = itemAt(event->position().toPoint());
    if (node && event->mimeData()->hasFormat(dragFormat())) {
        setDropTarget(node);
        event->acceptProposedAction();
    } else {
        setDropTarget(nullptr);
        event->ignore();
    }
}

void CBidsLeftView::dragLeaveEvent(QDragLeaveEvent* event)
{
    setDropTarget(nullptr);
    event->accept();
}

void CBidsLeftView::dropEvent(QDropEvent* event)
{
    setDropTarget(nullptr);
    QTreeWidgetItem* node = itemAt(event->position().toPoint());
    if (!node || !event->mimeData()->hasFormat(dragFormat())) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    const QByteArray data = event->mimeData()->data(dragFormat());
    const qint32 id = node->data(0, kFolderIdRole).toInt();
    // Moved and shown once the drag has finished, not inside it.
    QMetaObject::invokeMethod(
        this, [this, data, id] { dropRows(data, id); }, Qt::QueuedConnection);
}
