#pragma once

#include <QAbstractItemModel>
#include <QHash>
#include <QIcon>
#include <QString>
#include <optional>
#include <vector>

class CBidsDoc;

// The folder tree over the document: one node per folder, labelled "name [count]". An
// index's internal id is its folder's id, so an index (and a persistent index a view
// keeps) names the same folder whatever the document did since; no pointer into the
// document is kept. reload() reads the folders again and tells the views what moved,
// came or went as row moves, inserts and removals rather than a reset, so that a view's
// selection, current folder and open folders stay with their folders.
//
// A damaged list may hold two folders with one id: only the first is shown, since it is
// the one that items, sub-folders and the selection name.
class FolderTreeModel : public QAbstractItemModel
{
    Q_OBJECT
public:
    static constexpr int kFolderIdRole = Qt::UserRole;
    static constexpr int kNameRole = Qt::UserRole + 1;

    explicit FolderTreeModel(CBidsDoc& doc, QObject* parent = nullptr);

    // Sub-folders in name order instead of list order (top-level folders keep theirs).
    // Takes effect at the next reload().
    void setSortChildrenByName(bool on) { m_sortByName = on; }
    // Reads the document's folders under the items lock and brings the tree in line.
    void reload();

    // Invalid for a folder the tree does not show.
    QModelIndex indexOfFolder(qint32 folderId) const;
    static qint32 folderId(const QModelIndex& index);

    QModelIndex index(int row, int column,
                      const QModelIndex& parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    // nullopt stands for the invisible root.
    using ParentId = std::optional<qint32>;

    struct Node
    {
        ParentId parent;
        std::vector<qint32> children;
        int row = 0;
        QString name;
        QString label;
        bool renamable = false;
    };

    struct Tree
    {
        QHash<qint32, Node> nodes;
        std::vector<qint32> top;

        std::vector<qint32>& children(ParentId parent);
        const std::vector<qint32>& children(ParentId parent) const;
        // The root first, every parent before its children.
        std::vector<ParentId> parentsTopDown() const;
    };

    Tree snapshot() const;
    void insertNew(const Tree& next);
    bool moveIntoPlace(const Tree& next);
    void removeGone(const Tree& next);
    const Node* node(const QModelIndex& index) const;
    QModelIndex indexOfParent(ParentId parent) const;
    void forget(qint32 folderId);
    QIcon icon(qint32 folderId) const;

    CBidsDoc& m_doc;
    Tree m_tree;
    bool m_sortByName = false;
    QIcon m_openIcon;
    QIcon m_closedIcon;
    QIcon m_foundIcon;
    QIcon m_folderIcon;
};
