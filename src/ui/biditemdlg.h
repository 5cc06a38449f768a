#pragma once

#include "model/bideditform.h"
#include "model/biditem.h"

#include <QDialog>
#include <memory>

class ItemFetcher;
class ItemsLock;
class QCheckBox;
class QComboBox;
class QDateTimeEdit;
class QDialogButtonBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class WorkerThread;
struct ItemPageResult;

// "Edit bid properties": one bid's number, what the site says about it and the user's
// limits. Add mode offers the folder choice; finished bids open read-only. The Fetch
// button reads the item page into the dialog.
class CBidItemDlg : public QDialog
{
    Q_OBJECT
public:
    enum class Mode
    {
        Add,
        Edit,
        ReadOnly,
    };

    // `item` holds what the site last said (Buy It Now, multi-item, available quantity,
    // highest seen price): the checks on OK read it. `lock` is held while a fetched page is
    // parsed.
    CBidItemDlg(Mode mode, const CBidItem& item, ItemsLock* lock, QWidget* parent = nullptr);
    ~CBidItemDlg() override;

    Mode mode() const { return m_mode; }
    // The choices after the open-type folders end with "Add to current selected folder",
    // which is chosen first.
    void setFolderChoices(const QStringList& choices);

    // What the user entered.
    BidEditForm form() const;
    // The item the checks read: the one given, or the last one fetched. A new bid starts
    // as a copy of it, so the page's facts come along.
    const CBidItem& pageItem() const { return m_pageItem; }
    // A new bid from the dialog: what a fetch learned of the page (Buy It Now, bids,
    // ratings...) with `form` applied, in no folder and with no bid thread.
    std::unique_ptr<CBidItem> newBid(const BidEditForm& form) const;
    bool isFetching() const { return m_fetching; }

    // Runs the checks; an error or a cancelled question keeps the dialog open.
    void accept() override;
    // Reads the page of the number entered on the dialog's fetch thread; fetchFinished()
    // follows. Closing the dialog meanwhile lets the read end on its own, unreported.
    void fetch();

    QLineEdit* idEdit() const { return m_id; }
    QLineEdit* titleEdit() const { return m_title; }
    QLineEdit* categoryEdit() const { return m_category; }
    QLineEdit* currencyEdit() const { return m_currency; }
    QLineEdit* currentPriceEdit() const { return m_currentPrice; }
    QLineEdit* maxPriceEdit() const { return m_maxPrice; }
    QLineEdit* sellerEdit() const { return m_seller; }
    QSpinBox* quantityBox() const { return m_quantity; }
    QDateTimeEdit* endTimeEdit() const { return m_endTime; }
    QComboBox* folderBox() const { return m_folder; }
    QCheckBox* activateBox() const { return m_activate; }
    QCheckBox* shutdownBox() const { return m_shutdown; }
    QPushButton* fetchButton() const { return m_fetch; }
    QPushButton* okButton() const;
    QLabel* statusLabel() const { return m_status; }

    // The status line after a successful read of `item`, whose minimum bid is `minBid`.
    static QString fetchedStatusText(const CBidItem& item, float minBid, qint64 siteNow);
    // The status line's note when the seller's price takes the place of a typed maximum.
    static QString sellerPriceText(const QString& typed, const QString& price);

Q_SIGNALS:
    // A fetch has ended and the dialog shows its outcome.
    void fetchFinished(bool success);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void noteSellerPrice();
    void buildLayout();
    void fillFrom(const CBidItem& item);
    void makeReadOnly();
    void setFetching(bool on);
    void showFetched(const CBidItem& item, const ItemPageResult& result);
    QWidget* fieldWidget(EditCheck::Field field) const;
    QString priceText(float price) const;

    Mode m_mode;
    CBidItem m_pageItem;
    ItemsLock* m_lock;
    bool m_titleTyped = false;
    // What the last read of the page said, for the status line.
    QString m_fetchedStatus;
    bool m_fetching = false;
    std::unique_ptr<WorkerThread> m_fetchThread;
    ItemFetcher* m_fetcher = nullptr; // lives on m_fetchThread

    QLineEdit* m_id = nullptr;
    QLineEdit* m_title = nullptr;
    QLineEdit* m_category = nullptr;
    QLineEdit* m_currency = nullptr;
    QLineEdit* m_currentPrice = nullptr;
    QLineEdit* m_maxPrice = nullptr;
    QLineEdit* m_seller = nullptr;
    QSpinBox* m_quantity = nullptr;
    QDateTimeEdit* m_endTime = nullptr;
    QLabel* m_folderLabel = nullptr;
    QComboBox* m_folder = nullptr;
    QCheckBox* m_activate = nullptr;
    QCheckBox* m_shutdown = nullptr;
    QPushButton* m_fetch = nullptr;
    QLabel* m_status = nullptr;
    QDialogButtonBox* m_buttons = nullptr;
};
