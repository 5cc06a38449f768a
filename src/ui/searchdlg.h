#pragma once

#include "search/searchcommands.h"
#include "search/searchresult.h"
#include "search/sitechoices.h"
#include "ui/searchpage2.h"

#include <QDialog>
#include <memory>

class AppContext;
class CBidsDoc;
class CSearchPage1;
class QPushButton;
class QTabWidget;
class SearchLoader;
class SiteSettings;
class WorkerThread;

// "Search Service": searches the current site from inside the program (page 1, with the
// saved searches) and turns the checked results into bids (page 2). Pages load on a thread
// of the dialog's own; the form stays usable meanwhile.
class CSearchDlg : public QDialog
{
    Q_OBJECT
public:
    CSearchDlg(AppContext& app, const SiteSettings& sites, CBidsDoc& doc,
               QWidget* parent = nullptr);
    ~CSearchDlg() override;

    CSearchPage1* page1() const { return m_page1; }
    CSearchPage2* page2() const { return m_page2; }
    QTabWidget* tabs() const { return m_tabs; }
    QPushButton* closeButton() const { return m_close; }

    // Where the site's own result page is shown when it gave no usable rows (the system's
    // browser until the internal one takes it), and where "View selected" opens an item.
    void setResultPageViewer(CSearchPage2::Viewer viewer)
    {
        m_resultPageViewer = std::move(viewer);
    }
    void setItemViewer(CSearchPage2::Viewer viewer);

    // "&Search": nothing without keywords.
    void search();
    bool isSearching() const { return m_searching; }
    // The address of the last search.
    QString lastSearchUrl() const { return m_lastUrl; }

Q_SIGNALS:
    // The site lists of the form have arrived (or could not be loaded).
    void siteChoicesLoaded();
    // A search is over; `listed` rows were listed.
    void searchFinished(bool loaded, int listed);

private:
    void startLoading();
    void showChoices(const SiteChoices& choices);
    void showResults(const SearchPageReading& reading);
    void setSearching(bool on);
    SearchLoader* loader();

    AppContext& m_app;
    SearchCommands m_commands;
    CSearchPage1* m_page1 = nullptr;
    CSearchPage2* m_page2 = nullptr;
    QTabWidget* m_tabs = nullptr;
    QPushButton* m_close = nullptr;
    CSearchPage2::Viewer m_resultPageViewer;
    std::unique_ptr<WorkerThread> m_thread;
    SearchLoader* m_loader = nullptr;
    int m_loading = 0; // jobs posted and not yet answered
    bool m_searching = false;
    QString m_lastUrl;
};
