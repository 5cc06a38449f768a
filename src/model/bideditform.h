#pragma once

#include <QString>
#include <QtGlobal>
#include <vector>

class CBidItem;

// One check of the edit dialog's OK. An Error is shown and keeps the dialog open; a
// Confirm is asked with OK and Cancel, and Cancel keeps the dialog open.
struct EditCheck
{
    enum Kind
    {
        Error,
        Confirm,
    };
    enum Field
    {
        NoField,
        IdField,
        QuantityField,
        MaxPriceField,
    };

    Kind kind = Error;
    QString text;
    Field field = NoField;
};

// The values of the "Edit bid properties" dialog, with its checks and how they go into
// the item.
struct BidEditForm
{
    static constexpr int kIdLength = 10;

    QString id;
    QString title;
    // The user typed the title (it then survives page reads).
    bool titleTyped = false;
    QString category;
    QString currency;
    qint32 quantity = -1;
    float currentPrice = 0.0f;
    // As typed: "," counts as ".".
    QString maxPriceText;
    qint64 endTime = 0;
    QString seller;
    bool shutdownWhenFinished = false;
    bool activate = true;
    // The folder chosen by name in add mode; empty or "Add to current selected folder"
    // for the selected folder.
    QString folderChoice;

    // The dialog filled from an item (end time a day from now in add mode is the caller's).
    static BidEditForm fromItem(const CBidItem& item);
    // Finished items (Won, Lost, Private) open read-only.
    static bool isReadOnlyFor(const CBidItem& item);

    // The checks in order, up to the first Error. `item` holds what the page said (Buy It
    // Now, multi-item, available quantity, highest seen price).
    std::vector<EditCheck> checks(const CBidItem& item, qint64 siteNow) const;
    // Writes the dialog into the item and logs the change; the caller holds the lock.
    void applyTo(CBidItem& item) const;
    float maxPrice() const;
};
