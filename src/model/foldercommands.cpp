#include "model/foldercommands.h"

#include "app/appcontext.h"
#include "app/stringtable.h"
#include "model/bidsdoc.h"
#include "model/idocumentevents.h"

#include <vector>

CBidFolder* FolderCommands::addFolder(CBidFolder* parent)
{
    ItemsLockGuard guard(m_doc.itemsLock());
    auto folder = std::make_unique<CBidFolder>(m_doc.nextFolderId(), parent ? parent->id() : 0,
                                               QStringLiteral("Noname folder"));
    folder->setParent(parent);
    CBidFolder* added = m_doc.appendFolder(std::move(folder));
    AppContext::logWrite(QString::asprintf(StringTable::text(487).toUtf8().constData(),
                                           added->name().toUtf8().constData()),
                         ProgramLog::Info);
    m_doc.setSelectedFolderId(added->id());
    m_doc.changed();
    return added;
}

bool FolderCommands::canRename(const CBidFolder* folder) const
{
    return folder && folder->id() != CBidFolder::OpenAuctionsId &&
           folder->id() != CBidFolder::ClosedAuctionsId;
}

QString FolderCommands::rename(CBidFolder* folder, const QString& name, bool* sortChildren)
{
    ItemsLockGuard guard(m_doc.itemsLock());
    if (!canRename(folder))
        return QString();
    const QString newName = name.left(CBidFolder::kMaxNameLength);
    if (newName.trimmed().isEmpty())
        return QStringLiteral("The folder name is empty. Please, input valid name.");
    const CBidFolder* holder = m_doc.folderByName(newName);
    if (holder && holder != folder) {
        return QString::asprintf("The folder name \"%s\" is present in selected parent folder.",
                                 newName.toUtf8().constData());
    }
    const QString oldName = folder->name();
    folder->setName(newName);
    AppContext::logWrite(QString::asprintf("Folder \"%s\" change to \"%s\".",
                                           oldName.toUtf8().constData(),
                                           newName.toUtf8().constData()));
    if (sortChildren)
        *sortChildren = m_doc.settings().sortFolders != 0;
    m_doc.changed();
    return QString();
}

QString FolderCommands::deleteQuestion(const CBidFolder* folder) const
{
    // Top-level folders stay, and so do the built-in ones wherever a list put them;
    // "Found items" is the Search Service's and may go.
    if (!folder || folder->parentId() == 0)
        return QString();
    if (CBidFolder::isBuiltInId(folder->id()) && folder->id() != CBidFolder::FoundItemsId)
        return QString();
    return QString::asprintf("Delete folder \"%s\" with all subfolders and items from the list?",
                             folder->name().toUtf8().constData());
}

bool FolderCommands::deleteFolder(CBidFolder* folder)
{
    ItemsLockGuard guard(m_doc.itemsLock());
    if (deleteQuestion(folder).isEmpty())
        return false;
    const CBidFolder* selected = m_doc.folderById(m_doc.selectedFolderId());
    if (selected && CBidFolder::isWithin(selected, folder))
        m_doc.setSelectedFolderId(folder->parent() ? folder->parent()->id()
                                                   : CBidFolder::OpenAuctionsId);
    deleteTree(folder);
    m_doc.changed();
    return true;
}

void FolderCommands::deleteTree(CBidFolder* folder)
{
    // The folder and everything below it, parents before children; deleted the other way
    // round, so sub-folders go before the folders that hold them.
    std::vector<CBidFolder*> tree{folder};
    for (size_t i = 0; i < tree.size(); ++i) {
        for (const auto& other : m_doc.folders()) {
            if (other->parent() == tree[i])
                tree.push_back(other.get());
        }
    }
    for (auto it = tree.rbegin(); it != tree.rend(); ++it) {
        CBidFolder* doomed = *it;
        std::vector<CBidItem*> items;
        for (const auto& item : m_doc.items()) {
            if (item->folder() == doomed)
                items.push_back(item.get());
        }
        for (CBidItem* item : items)
            m_doc.deleteItem(item);
        AppContext::logWrite(
            QString::asprintf("Folder \"%s\" deleted.", doomed->name().toUtf8().constData()));
        m_doc.destroyFolder(doomed);
    }
}

QString FolderCommands::setOnlyOneItemWins(CBidFolder* folder, bool on)
{
    ItemsLockGuard guard(m_doc.itemsLock());
    if (!folder)
        return QString();
    if (on) {
        for (const auto& item : m_doc.items()) {
            if (item->folder() == folder && item->isPrivate()) {
                folder->setOnlyOneItemWins(false);
                return StringTable::text(277);
            }
        }
    }
    if (folder->onlyOneItemWins() != on) {
        folder->setOnlyOneItemWins(on);
        m_doc.changed();
    }
    return QString();
}
