#include "ui/foldertreemodel.h"

#include "app/itemslock.h"
#include "model/bidsdoc.h"
#include "model/foldercommands.h"
#include "ui/uiicons.h"

#include <algorithm>

namespace {

quintptr internalIdOf(qint32 folderId)
{
    return quintptr(quint32(folderId));
}

} // namespace

std::vector<qint32>& FolderTreeModel::Tree::children(ParentId parent)
{
    return parent ? nodes[*parent].children : top;
}

const std::vector<qint32>& FolderTreeModel::Tree::children(ParentId parent) const
{
    return parent ? nodes.find(*parent)->children : top;
}

std::vector<FolderTreeModel::ParentId> FolderTreeModel::Tree::parentsTopDown() const
{
    std::vector<ParentId> order{std::nullopt};
    order.reserve(size_t(nodes.size()) + 1);
    for (size_t i = 0; i < order.size(); ++i) {
        for (qint32 child : children(order[i]))
            order.push_back(child);
    }
    return order;
}

FolderTreeModel::FolderTreeModel(CBidsDoc& doc, QObject* parent)
    : QAbstractItemModel(parent), m_doc(doc),
      m_openIcon(UiIcons::named(QStringLiteral("folder-open"))),
      m_closedIcon(UiIcons::named(QStringLiteral("folder-closed"))),
      m_foundIcon(UiIcons::named(QStringLiteral("folder-found"))),
      m_folderIcon(UiIcons::named(QStringLiteral("folder")))
{
}

qint32 FolderTreeModel::folderId(const QModelIndex& index)
{
    return qint32(quint32(index.internalId()));
}

FolderTreeModel::Tree FolderTreeModel::snapshot() const
{
    Tree next;
    ItemsLockGuard guard(m_doc.itemsLock());
    FolderCommands commands(m_doc);
    std::vector<const CBidFolder*> shown;
    shown.reserve(m_doc.folders().size());
    for (const auto& folder : m_doc.folders()) {
        if (next.nodes.contains(folder->id()))
            continue;
        Node node;
        node.name = folder->name();
        node.label = m_doc.folderLabel(folder.get());
        node.renamable = commands.canRename(folder.get());
        next.nodes.insert(folder->id(), node);
        shown.push_back(folder.get());
    }
    for (const CBidFolder* folder : shown) {
        const CBidFolder* up = folder->parent();
        if (up && up->id() != folder->id() && next.nodes.contains(up->id()))
            next.nodes[folder->id()].parent = up->id();
    }
    // The document links no loops, but a view must not hang on one: each is cut at the
    // first of its folders in list order.
    for (const CBidFolder* folder : shown) {
        const qint32 id = folder->id();
        ParentId up = next.nodes[id].parent;
        for (size_t steps = 0; up && steps <= shown.size(); ++steps) {
            if (*up == id) {
                next.nodes[id].parent.reset();
                break;
            }
            up = next.nodes[*up].parent;
        }
    }
    for (const CBidFolder* folder : shown)
        next.children(next.nodes[folder->id()].parent).push_back(folder->id());
    if (m_sortByName) {
        const QHash<qint32, Node>& nodes = next.nodes;
        const auto byName = [&nodes](qint32 a, qint32 b) {
            return nodes.find(a)->name.localeAwareCompare(nodes.find(b)->name) < 0;
        };
        for (Node& node : next.nodes)
            std::stable_sort(node.children.begin(), node.children.end(), byName);
    }
    for (const ParentId& parent : next.parentsTopDown()) {
        const std::vector<qint32>& list = next.children(parent);
        for (size_t row = 0; row < list.size(); ++row)
            next.nodes[list[row]].row = int(row);
    }
    return next;
}

void FolderTreeModel::reload()
{
    const Tree next = snapshot();
    // New folders first, so that every folder's new parent exists; then each folder to
    // its place, which empties the folders that go; then those go.
    insertNew(next);
    if (!moveIntoPlace(next)) {
        beginResetModel();
        m_tree = next;
        endResetModel();
        return;
    }
    removeGone(next);

    std::vector<qint32> changed;
    for (auto it = next.nodes.cbegin(); it != next.nodes.cend(); ++it) {
        const Node& now = m_tree.nodes[it.key()];
        if (now.name != it->name || now.label != it->label || now.renamable != it->renamable)
            changed.push_back(it.key());
    }
    Q_ASSERT(m_tree.top == next.top);
    m_tree = next;
    for (qint32 id : changed) {
        const QModelIndex at = indexOfFolder(id);
        Q_EMIT dataChanged(at, at);
    }
}

void FolderTreeModel::insertNew(const Tree& next)
{
    for (const ParentId& parent : next.parentsTopDown()) {
        std::vector<qint32> fresh;
        for (qint32 id : next.children(parent)) {
            if (!m_tree.nodes.contains(id))
                fresh.push_back(id);
        }
        if (fresh.empty())
            continue;
        const int first = int(m_tree.children(parent).size());
        beginInsertRows(indexOfParent(parent), first, first + int(fresh.size()) - 1);
        int row = first;
        for (qint32 id : fresh) {
            Node node = next.nodes.value(id);
            node.parent = parent;
            node.children.clear();
            node.row = row++;
            m_tree.nodes.insert(id, node);
        }
        // Only now: inserting into the hash may move the parent's node.
        std::vector<qint32>& list = m_tree.children(parent);
        list.insert(list.end(), fresh.begin(), fresh.end());
        endInsertRows();
    }
}

bool FolderTreeModel::moveIntoPlace(const Tree& next)
{
    // Top down, a folder's new parent is already in its own place, so a folder is never
    // moved below itself; the rows before `row` are settled, so a folder that stays with
    // its parent only ever moves up.
    for (const ParentId& parent : next.parentsTopDown()) {
        const std::vector<qint32>& wanted = next.children(parent);
        for (int row = 0; row < int(wanted.size()); ++row) {
            Node& node = m_tree.nodes[wanted[size_t(row)]];
            if (node.parent == parent && node.row == row)
                continue;
            if (!beginMoveRows(indexOfParent(node.parent), node.row, node.row,
                               indexOfParent(parent), row))
                return false;
            std::vector<qint32>& source = m_tree.children(node.parent);
            source.erase(source.begin() + node.row);
            for (size_t i = size_t(node.row); i < source.size(); ++i)
                m_tree.nodes[source[i]].row = int(i);
            std::vector<qint32>& target = m_tree.children(parent);
            target.insert(target.begin() + row, wanted[size_t(row)]);
            for (size_t i = size_t(row); i < target.size(); ++i)
                m_tree.nodes[target[i]].row = int(i);
            node.parent = parent;
            endMoveRows();
        }
    }
    return true;
}

void FolderTreeModel::removeGone(const Tree& next)
{
    // Every folder that stays is in its place: what follows a parent's wanted children
    // is gone, with all below it.
    for (const ParentId& parent : next.parentsTopDown()) {
        const int keep = int(next.children(parent).size());
        const int have = int(m_tree.children(parent).size());
        if (have <= keep)
            continue;
        beginRemoveRows(indexOfParent(parent), keep, have - 1);
        std::vector<qint32>& list = m_tree.children(parent);
        const std::vector<qint32> gone(list.begin() + keep, list.end());
        list.resize(size_t(keep));
        for (qint32 id : gone)
            forget(id);
        endRemoveRows();
    }
}

void FolderTreeModel::forget(qint32 folderId)
{
    const auto it = m_tree.nodes.find(folderId);
    if (it == m_tree.nodes.end())
        return;
    const std::vector<qint32> children = it->children;
    m_tree.nodes.erase(it);
    for (qint32 child : children)
        forget(child);
}

const FolderTreeModel::Node* FolderTreeModel::node(const QModelIndex& index) const
{
    if (!index.isValid() || index.model() != this)
        return nullptr;
    const auto it = m_tree.nodes.constFind(folderId(index));
    return it == m_tree.nodes.cend() ? nullptr : &*it;
}

QModelIndex FolderTreeModel::indexOfFolder(qint32 folderId) const
{
    const auto it = m_tree.nodes.constFind(folderId);
    if (it == m_tree.nodes.cend())
        return QModelIndex();
    return createIndex(it->row, 0, internalIdOf(folderId));
}

QModelIndex FolderTreeModel::indexOfParent(ParentId parent) const
{
    return parent ? indexOfFolder(*parent) : QModelIndex();
}

QModelIndex FolderTreeModel::index(int row, int column, const QModelIndex& parent) const
{
    if (row < 0 || column != 0)
        return QModelIndex();
    const std::vector<qint32>* list = &m_tree.top;
    if (parent.isValid()) {
        const Node* up = node(parent);
        if (!up || parent.column() != 0)
            return QModelIndex();
        list = &up->children;
    }
    if (size_t(row) >= list->size())
        return QModelIndex();
    return createIndex(row, 0, internalIdOf((*list)[size_t(row)]));
}

QModelIndex FolderTreeModel::parent(const QModelIndex& child) const
{
    const Node* below = node(child);
    if (!below || !below->parent)
        return QModelIndex();
    return indexOfFolder(*below->parent);
}

int FolderTreeModel::rowCount(const QModelIndex& parent) const
{
    if (!parent.isValid())
        return int(m_tree.top.size());
    const Node* up = node(parent);
    return up && parent.column() == 0 ? int(up->children.size()) : 0;
}

int FolderTreeModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() && !node(parent) ? 0 : 1;
}

QIcon FolderTreeModel::icon(qint32 folderId) const
{
    switch (folderId) {
    case CBidFolder::OpenAuctionsId:
        return m_openIcon;
    case CBidFolder::ClosedAuctionsId:
    case CBidFolder::ClosedSpareId:
        return m_closedIcon;
    case CBidFolder::FoundItemsId:
        return m_foundIcon;
    default:
        return m_folderIcon;
    }
}

QVariant FolderTreeModel::data(const QModelIndex& index, int role) const
{
    const Node* folder = node(index);
    if (!folder)
        return QVariant();
    switch (role) {
    case Qt::DisplayRole:
        return folder->label;
    case Qt::EditRole:
    case kNameRole:
        return folder->name;
    case Qt::DecorationRole:
        return icon(folderId(index));
    case kFolderIdRole:
        return folderId(index);
    default:
        return QVariant();
    }
}

Qt::ItemFlags FolderTreeModel::flags(const QModelIndex& index) const
{
    const Node* folder = node(index);
    if (!folder)
        return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDropEnabled;
    if (folder->renamable)
        flags |= Qt::ItemIsEditable;
    return flags;
}
