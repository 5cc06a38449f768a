#pragma once

#include <QString>
#include <functional>

class CBidFolder;
class CBidsDoc;
class QWidget;

// The bids list's "Add item" and "Edit/View" commands around the "Edit bid properties"
// dialog. The access lock is the caller's to check first.
class CItemDialogs
{
public:
    // What OK on "You must define a user name and password." does: open the options.
    static void setOptionsOpener(std::function<void()> openOptions);

    // "Add item": the account question, the dialog in add mode (the number preset when
    // given) and the new bid filed in the chosen folder. True when a bid was added.
    static bool runAddItem(QWidget* parent, CBidsDoc& doc, CBidFolder* selectedFolder,
                           const QString& presetId = {});
    // "Edit/View" on the item at `itemIndex` of the document's array: finished bids are
    // only shown. True when a change was applied.
    static bool runEditItem(QWidget* parent, CBidsDoc& doc, int itemIndex);
};
