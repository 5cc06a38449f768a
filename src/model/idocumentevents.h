#pragma once

#include <vector>

// What the bids document tells its views. Calls come from the thread that changed the
// document, under the items lock; a view on another thread hops to its own.
class IDocumentEvents
{
public:
    virtual ~IDocumentEvents() = default;

    // Folders were added, removed, renamed or their item counts changed: rebuild the tree
    // and its labels (CBidsDoc::folderLabel) and select CBidsDoc::selectedFolderId().
    virtual void foldersChanged() = 0;
    // The rows of the selected folder after a rebuild pass: indexes into the item array.
    virtual void listRebuilt(const std::vector<int>& rows) = 0;
    // One item's row changed (its status image).
    virtual void itemRowChanged(int index) = 0;
};
