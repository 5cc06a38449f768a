#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class CBidFolder;
class CBidItem;
class CBidItemDlg;
class CBidsDoc;
class ItemPageJob;
class QWidget;
class SiteSettings;
class WorkerThread;
struct ItemPageResult;

// Turns the address of an item page that a browser shows into a bid: the address comes
// from `gavelin --add URL`, a "gavelin:" link or the bookmarklet, handed over to the
// running copy. The site is chosen from the address (not the current site), its page is
// read on a thread of its own with that site's keywords, and the "Edit bid properties"
// dialog opens filled from it. Addresses that arrive meanwhile wait their turn.
//
// Only the item number is taken from the address: the page is read from the site's own
// item page address, so a link on a hostile page cannot make the program fetch anything
// else. Window thread only.
class CAddFromBrowser : public QObject
{
    Q_OBJECT
public:
    // The site and the item an address names; `refusal` says why there are none.
    struct Target
    {
        QString site;
        QString itemId;
        QString refusal;
    };
    // A "gavelin:" address is taken apart first. The site comes from the address's host
    // (see SiteHosts::siteOfAddress); a host no site's domain holds may still be the host
    // of a listed site's item page address (a settings update or a test moved it there).
    static Target target(const QString& address, const SiteSettings* sites);
    // What the user reads for an address that is not an item page of a known site.
    static QString notAnItemPageText(const QString& address);

    // Where "Add to current selected folder" files the bid.
    using FolderSource = std::function<CBidFolder*()>;
    // Runs the filled dialog and returns its result; tests answer it in place of the user.
    using DialogRunner = std::function<int(CBidItemDlg&)>;

    CAddFromBrowser(QWidget* window, CBidsDoc& doc, FolderSource selectedFolder,
                    QObject* parent = nullptr);
    ~CAddFromBrowser() override;

    void add(const QString& address);
    // The item page the internal browser shows: its address and its text (lines joined by
    // "\r\n"), read with the current site's keywords; nothing is downloaded.
    void addShownPage(const QString& address, const QString& pageText);
    bool isBusy() const { return m_busy; }
    void setDialogRunner(DialogRunner runner) { m_runDialog = std::move(runner); }
    // What OK on "You must define a user name and password." does: open the options.
    void setOptionsOpener(std::function<void()> open) { m_openOptions = std::move(open); }

Q_SIGNALS:
    // One address has been dealt with; `added` when it became a bid.
    void finished(bool added);

private:
    struct Request
    {
        QString address;
        QString pageText;
        bool shown = false;
    };
    void next();
    void readShownPage(const Request& request);
    void finish(bool added);
    void refuse(const QString& text);
    void pageRead(const std::shared_ptr<CBidItem>& page, const ItemPageResult& result);
    bool runDialog(const CBidItem& page, float minBid);

    QWidget* m_window;
    CBidsDoc& m_doc;
    FolderSource m_selectedFolder;
    DialogRunner m_runDialog;
    std::function<void()> m_openOptions;
    QList<Request> m_queue;
    bool m_busy = false;
    std::unique_ptr<WorkerThread> m_thread;
    ItemPageJob* m_job = nullptr; // lives on m_thread
};
