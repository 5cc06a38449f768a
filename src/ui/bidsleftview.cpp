#include "ui/bidsleftview.h"

#include "app/appcontext.h"
#include "app/itemslock.h"
#include "model/bidsdoc.h"
#include "model/foldercommands.h"
#include "ui/bidsrightview.h"
#include "ui/commandid.h"
#include "ui/foldernamedelegate.h"
#include "ui/folderpropertiesdlg.h"
#include "ui/foldertreemodel.h"
#include "ui/userprompt.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>

namespace {

QString dragFormat()
{
    return QLatin1String(CBidsRightView::kDragFormat);
}

} // namespace

CBidsLeftView::CBidsLeftView(AppContext& app, CBidsDoc& doc, QWidget* parent)
    : QTreeView(parent), m_app(app), m_doc(doc)
{
    setAccessibleName(tr("Folders"));
    setHeaderHidden(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    // Renaming goes through the command, which checks the folder and the access lock.
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Folders are not dragged; list rows are dropped on them.
    setDragEnabled(false);
    setAcceptDrops(true);
    setDragDropMode(QAbstractItemView::DropOnly);
    setLargeIcons(app.settings().bigIcon != 0);

    m_model = new FolderTreeModel(doc, this);
    setModel(m_model);
    connect(m_model, &QAbstractItemModel::rowsInserted, this, &CBidsLeftView::foldersInserted);
    // Only if the model had to start over: every folder opens, as at the first build.
    connect(m_model, &QAbstractItemModel::modelReset, this, &QTreeView::expandAll);

    m_delegate = new FolderNameDelegate(FolderTreeModel::kNameRole, this);
    setItemDelegate(m_delegate);
    connect(m_delegate, &FolderNameDelegate::nameEntered, this,
            [this](const QModelIndex& index, const QString& name) {
                const qint32 id = FolderTreeModel::folderId(index);
                // After the editor has closed: the rename rebuilds the tree.
                QMetaObject::invokeMethod(
                    this, [this, id, name] { applyRename(id, name); }, Qt::QueuedConnection);
            });
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
    // The model's changes move the current folder about (or away): the document already
    // knows which folder to show, so nothing is chosen until it is current again.
    m_rebuilding = true;
    setDropTarget(QModelIndex());
    m_model->setSortChildrenByName(m_app.settings().sortFolders != 0);
    m_model->reload();
    qint32 selected = 0;
    {
        ItemsLockGuard guard(m_doc.itemsLock());
        selected = m_doc.selectedFolderId();
    }
    const QModelIndex current = m_model->indexOfFolder(selected);
    if (current.isValid()) {
        if (currentIndex() != current || !selectionModel()->isSelected(current))
            setCurrentIndex(current);
        scrollTo(current);
    } else {
        selectionModel()->clear();
    }
    m_rebuilding = false;
    updateCommandStates();
    reportCurrentFolder();
}

void CBidsLeftView::foldersInserted(const QModelIndex& parent, int first, int last)
{
    // New folders open; the ones there before keep their state.
    for (int row = first; row <= last; ++row)
        expand(m_model->index(row, 0, parent));
}

QModelIndex CBidsLeftView::indexOfFolder(qint32 folderId) const
{
    return m_model->indexOfFolder(folderId);
}

qint32 CBidsLeftView::currentFolderId() const
{
    const QModelIndex current = currentIndex();
    return current.isValid() ? FolderTreeModel::folderId(current) : 0;
}

void CBidsLeftView::selectFolder(qint32 folderId)
{
    const QModelIndex index = indexOfFolder(folderId);
    if (index.isValid())
        setCurrentIndex(index);
}

void CBidsLeftView::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QTreeView::currentChanged(current, previous);
    if (m_rebuilding)
        return;
    updateCommandStates();
    if (current.isValid()) {
        // The selection is still being changed: a tree rebuilt now waits for the event loop.
        ++m_busy;
        {
            ItemsLockGuard guard(m_doc.itemsLock());
            m_doc.setSelectedFolderId(FolderTreeModel::folderId(current));
            m_doc.rebuild();
        }
        --m_busy;
    }
    reportCurrentFolder();
}

void CBidsLeftView::reportCurrentFolder()
{
    const qint32 id = currentFolderId();
    if (id == m_reportedFolder)
        return;
    m_reportedFolder = id;
    Q_EMIT currentFolderChanged(id);
}

void CBidsLeftView::editFolder(const QModelIndex& index)
{
    if (!index.isValid())
        return;
    setCurrentIndex(index);
    scrollTo(index);
    edit(index);
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
    const QModelIndex index = indexOfFolder(added);
    if (index.parent().isValid())
        expand(index.parent());
    editFolder(index);
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
    const QModelIndex current = currentIndex();
    if (!current.isValid())
        return;
    bool allowed = false;
    {
        ItemsLockGuard guard(m_doc.itemsLock());
        allowed =
            FolderCommands(m_doc).canRename(m_doc.folderById(FolderTreeModel::folderId(current)));
    }
    if (allowed && accessGranted())
        edit(current);
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
    editFolder(indexOfFolder(folderId));
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
    const QModelIndex index = indexAt(event->pos());
    if (index.isValid())
        setCurrentIndex(index);
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
    QTreeView::keyPressEvent(event);
}

void CBidsLeftView::setDropTarget(const QModelIndex& index)
{
    const QModelIndex before = m_delegate->shaded();
    if (index == before)
        return;
    m_delegate->setShaded(index, palette().color(QPalette::Highlight).lighter(160));
    for (const QModelIndex& changed : {before, index}) {
        if (changed.isValid())
            update(changed);
    }
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
    const QModelIndex index = indexAt(event->position().toPoint());
    if (index.isValid() && event->mimeData()->hasFormat(dragFormat())) {
        setDropTarget(index);
        event->acceptProposedAction();
    } else {
        setDropTarget(QModelIndex());
        event->ignore();
    }
}

void CBidsLeftView::dragLeaveEvent(QDragLeaveEvent* event)
{
    setDropTarget(QModelIndex());
    event->accept();
}

void CBidsLeftView::dropEvent(QDropEvent* event)
{
    setDropTarget(QModelIndex());
    const QModelIndex index = indexAt(event->position().toPoint());
    if (!index.isValid() || !event->mimeData()->hasFormat(dragFormat())) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    const QByteArray data = event->mimeData()->data(dragFormat());
    const qint32 id = FolderTreeModel::folderId(index);
    // Moved and shown once the drag has finished, not inside it.
    QMetaObject::invokeMethod(
        this, [this, data, id] { dropRows(data, id); }, Qt::QueuedConnection);
}
