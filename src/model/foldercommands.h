#pragma once

#include <QString>

class CBidFolder;
class CBidsDoc;

// The folder tree's commands. Each returns the text to show, if any; the access lock is
// the caller's to check first (CBidsDoc::accessLock()).
class FolderCommands
{
public:
    explicit FolderCommands(CBidsDoc& doc) : m_doc(doc) {}

    // "Noname folder" below `parent` (top level when null), with the next free id.
    CBidFolder* addFolder(CBidFolder* parent);

    // Label editing is refused for "Open auctions" and "Closed auctions".
    bool canRename(const CBidFolder* folder) const;
    // Empty on success; else the text to show before editing reopens. The name is cut to
    // 32 characters. `sortChildren` tells whether the tree should now sort the parent's
    // children by name.
    QString rename(CBidFolder* folder, const QString& name, bool* sortChildren = nullptr);

    // The Yes/No question before deleting; empty when the folder cannot be deleted.
    QString deleteQuestion(const CBidFolder* folder) const;
    // Depth first: sub-folders, their items (bid threads told to quit), the folder.
    bool deleteFolder(CBidFolder* folder);

    // Folder properties: empty on success; refused (option left off) for a folder that
    // holds a private auction.
    QString setOnlyOneItemWins(CBidFolder* folder, bool on);

private:
    void deleteTree(CBidFolder* folder);

    CBidsDoc& m_doc;
};
