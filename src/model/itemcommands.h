#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

class CBidFolder;
class CBidItem;
class CBidsDoc;
struct BidEditForm;

// What the "Add item" command does before its dialog opens.
struct AddItemStart
{
    // Not empty: ask it with OK and Cancel (OK opens the options) and end the command.
    QString credentialsQuestion;
    // The folder the item goes to; null ends the command silently (a closed-type folder).
    CBidFolder* target = nullptr;
    // The dialog's folder choice: the open-type folders, then "Add to current selected
    // folder".
    QStringList folderChoices;
    // A day from now, in site time.
    qint64 defaultEndTime = 0;
};

// How a drop of list rows onto a folder ended.
struct DropResult
{
    int moved = 0;
    // The drop stopped at an item that may not go to that folder (or the data was bad).
    bool refused = false;
    // To show when not empty.
    QString message;
};

// The bids list's item commands. Each returns the text to show, if any; the access lock
// is the caller's to check first (CBidsDoc::accessLock()).
class ItemCommands
{
public:
    enum class DeleteChoice
    {
        Ask,
        DeleteOnly,
        RetractAndDelete,
        Cancel,
    };
    enum class DeleteOutcome
    {
        Deleted,
        Retracting,
        // The user leads this auction: ask retractQuestion() and call again with the answer.
        NeedsChoice,
        Skipped,
    };

    explicit ItemCommands(CBidsDoc& doc) : m_doc(doc) {}

    AddItemStart beginAdd(CBidFolder* selected) const;
    // After the dialog's checks passed: refuses a number already in an open-type folder,
    // else files the item in the chosen folder and selects it. Empty on success.
    QString addItem(std::unique_ptr<CBidItem> item, const QString& folderChoice,
                    CBidFolder* selected, CBidItem** added = nullptr);
    // The "Edit/View" dialog's OK on an existing item.
    void applyEdit(CBidItem* item, const BidEditForm& form);

    // Not empty: ask it (Yes/No) before deleting the selected items.
    QString deleteConfirmation() const;
    static QString retractQuestion();
    // One selected item. Items in the middle of a refresh are skipped.
    DeleteOutcome deleteItem(CBidItem* item, DeleteChoice choice = DeleteChoice::Ask);
    // After the selected items: labels, list, outbid scan, modified.
    void finishDelete();

    // The drag block of the given rows (indexes into the item array).
    QByteArray dragData(const std::vector<int>& rows) const;
    DropResult drop(QByteArrayView data, CBidFolder* target);

private:
    bool leadsAuction(const CBidItem& item) const;
    static bool mayGoTo(const CBidItem& item, const CBidFolder* target);

    CBidsDoc& m_doc;
};
