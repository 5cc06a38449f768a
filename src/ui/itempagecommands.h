#pragma once

#include <QAction>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>
#include <functional>
#include <memory>

class AppContext;
class CBidsDoc;
class CBidsRightView;
class ItemPageSaver;
class QWidget;
class WorkerThread;
struct ItemPageSaveResult;

// The bids list's commands on an item's web page, for the focused (else the first selected)
// item: "View item web page", "Save web page contents" and "E-mail to seller". They are
// enabled while the list has a selection. Window thread only; the save runs on a thread of
// its own and the window stays usable meanwhile (saves asked for meanwhile run in turn).
class CItemPageCommands : public QObject
{
    Q_OBJECT
public:
    // Shows an address in the internal browser; false when it cannot.
    using BrowserHook = std::function<bool(const QUrl& url)>;
    // Opens the seller's contact form in the internal browser and fills it with the letter;
    // false when it cannot.
    using ContactFormHook =
        std::function<bool(const QUrl& url, const QString& subject, const QString& body)>;
    // The folder the page is saved into, empty when cancelled; `start` is where it opens.
    using FolderChooser = std::function<QString(QWidget* parent, const QString& start)>;
    // The system's web browser; false when it cannot be started.
    using SystemBrowser = std::function<bool(const QUrl& url)>;

    // Connects the three actions that `command` finds; a child of `window`.
    CItemPageCommands(AppContext& app, CBidsDoc& doc, CBidsRightView& list,
                      const std::function<QAction*(int)>& command, QWidget* window);
    ~CItemPageCommands() override;

    // Set by the internal browser; without it (or when it says no) the system's browser
    // shows the page, and the letter goes to the clipboard.
    void setBrowserHook(BrowserHook hook) { m_showInBrowser = std::move(hook); }
    void setContactFormHook(ContactFormHook hook) { m_showContactForm = std::move(hook); }
    // Tests choose without dialogs; an empty function brings the dialog back.
    void setFolderChooser(FolderChooser chooser);
    void setSystemBrowser(SystemBrowser browser);

    void viewItemPage();
    void savePage();
    void emailSeller();
    bool isSaving() const { return m_savesRunning > 0; }

    // The current site's item page address for `itemId`; empty when the site has none.
    static QUrl itemPageAddress(const QString& itemId);
    // `pattern` with [my_name], [bid_id], [bid_name] and [seller_name] filled in; words
    // in the values are never read as placeholders themselves.
    static QString fillLetter(const QString& pattern, const QString& myName, const QString& id,
                              const QString& title, const QString& seller);

Q_SIGNALS:
    // A save has ended and its result has been shown.
    void saveFinished(bool success);

private:
    struct Item
    {
        QString id;
        QString title;
        QString seller;
    };
    bool focusedItem(Item& item) const;
    // The page of the focused item; empty (and the user told why) when there is none.
    QUrl focusedItemPage(Item& item) const;
    void updateStates();
    void openInSystemBrowser(const QUrl& url);
    void showStatus(const QString& text, int level);
    void saveDone(const ItemPageSaveResult& result);

    AppContext& m_app;
    CBidsDoc& m_doc;
    CBidsRightView& m_list;
    QWidget* m_window;
    // The window's actions may go before this object does.
    QPointer<QAction> m_view;
    QPointer<QAction> m_save;
    QPointer<QAction> m_email;
    BrowserHook m_showInBrowser;
    ContactFormHook m_showContactForm;
    FolderChooser m_chooseFolder;
    SystemBrowser m_systemBrowser;
    std::unique_ptr<WorkerThread> m_thread;
    ItemPageSaver* m_saver = nullptr; // lives on m_thread
    int m_savesRunning = 0;
};
