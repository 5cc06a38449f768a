#pragma once

#include "model/itemcommands.h"

#include <QTreeView>
#include <functional>

class AppContext;
class CBidsDoc;
class FolderNameDelegate;
class FolderTreeModel;
class QAction;

// The folder tree: one node per folder labelled "name [count]". Selecting a folder shows
// its items in the bids list; list rows dropped on a folder move there. The changing
// commands go through the document's folder commands and show what they answer. The
// folders come from a FolderTreeModel; which folders are open, selected and current is
// this view's alone.
class CBidsLeftView : public QTreeView
{
    Q_OBJECT
public:
    using AccessGate = std::function<bool()>;
    using CommandLookup = std::function<QAction*(int)>;

    CBidsLeftView(AppContext& app, CBidsDoc& doc, QWidget* parent = nullptr);

    // The commands of the tree's context menu, in its order (0: a separator).
    static const std::vector<int>& contextCommands();

    FolderTreeModel* folderModel() const { return m_model; }
    void setCommandActions(CommandLookup lookup);
    void setAccessGate(AccessGate gate) { m_accessGate = std::move(gate); }
    void setLargeIcons(bool large);

    // Reads the document's folders again; folders keep their open or closed state, new
    // ones open, and the document's selected folder becomes current. While the tree is
    // busy with the user (a selection) it waits for the event loop.
    void rebuildTree();
    QModelIndex indexOfFolder(qint32 folderId) const;
    // 0 when no folder is current.
    qint32 currentFolderId() const;
    // Selects a folder as a click would: the list shows its items.
    void selectFolder(qint32 folderId);
    // A drop of list rows on a folder; its message, if any, is shown.
    DropResult dropRows(const QByteArray& data, qint32 folderId);

public Q_SLOTS:
    void addFolder();
    void deleteFolder();
    void renameFolder();
    void folderProperties();

Q_SIGNALS:
    // The current folder is another one now (0: none), by the user or by a rebuild.
    void currentFolderChanged(qint32 folderId);

protected:
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void foldersInserted(const QModelIndex& parent, int first, int last);
    void applyRename(qint32 folderId, const QString& name);
    void editFolder(const QModelIndex& index);
    void updateCommandStates();
    void reportCurrentFolder();
    void setDropTarget(const QModelIndex& index);
    bool accessGranted() const;
    QAction* command(int id) const;

    AppContext& m_app;
    CBidsDoc& m_doc;
    FolderTreeModel* m_model = nullptr;
    FolderNameDelegate* m_delegate = nullptr;
    CommandLookup m_commands;
    AccessGate m_accessGate;
    qint32 m_reportedFolder = 0;
    int m_busy = 0;
    bool m_rebuildPending = false;
    bool m_rebuilding = false;
};
