#pragma once

#include "model/itemcommands.h"

#include <QTreeWidget>
#include <functional>

class AppContext;
class CBidsDoc;
class FolderNameDelegate;
class QAction;

// The folder tree: one node per folder labelled "name [count]". Selecting a folder shows
// its items in the bids list; list rows dropped on a folder move there. The changing
// commands go through the document's folder commands and show what they answer.
class CBidsLeftView : public QTreeWidget
{
    Q_OBJECT
public:
    static constexpr int kFolderIdRole = Qt::UserRole;
    static constexpr int kNameRole = Qt::UserRole + 1;
    using AccessGate = std::function<bool()>;
    using CommandLookup = std::function<QAction*(int)>;

    CBidsLeftView(AppContext& app, CBidsDoc& doc, QWidget* parent = nullptr);

    // The commands of the tree's context menu, in its order (0: a separator).
    static const std::vector<int>& contextCommands();

    void setCommandActions(CommandLookup lookup);
    void setAccessGate(AccessGate gate) { m_accessGate = std::move(gate); }
    void setLargeIcons(bool large);

    // Nodes made anew from the document's folders; the document's selected folder is
    // selected. While the tree is busy with the user (a selection, a drop) it waits for
    // the event loop.
    void rebuildTree();
    QTreeWidgetItem* nodeOfFolder(qint32 folderId) const;
    // 0 when no folder is selected.
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

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void folderChosen(QTreeWidgetItem* current);
    void applyRename(qint32 folderId, const QString& name);
    void updateCommandStates();
    void setDropTarget(QTreeWidgetItem* node);
    void sortChildrenByName(QTreeWidgetItem* parent);
    QIcon folderIcon(qint32 folderId) const;
    bool accessGranted() const;
    QAction* command(int id) const;

    AppContext& m_app;
    CBidsDoc& m_doc;
    FolderNameDelegate* m_delegate = nullptr;
    CommandLookup m_commands;
    AccessGate m_accessGate;
    QTreeWidgetItem* m_dropTarget = nullptr;
    int m_busy = 0;
    bool m_rebuildPending = false;
    bool m_built = false;
};
