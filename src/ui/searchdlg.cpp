#include "ui/searchdlg.h"

#include "app/appcontext.h"
#include "app/stringtable.h"
#include "app/workerthread.h"
#include "search/basicsearchpage.h"
#include "search/resultclassnames.h"
#include "search/resultpage.h"
#include "search/searchaddress.h"
#include "sites/sitesettings.h"
#include "ui/searchpage1.h"
#include "ui/userprompt.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QTabWidget>
#include <QThread>
#include <QVBoxLayout>

// Loads the site's pages on the dialog's thread; the answers go back as signals.
class SearchLoader : public QObject
{
    Q_OBJECT
public:
    void loadChoices(const SearchCommands& commands)
    {
        const SiteChoices choices = BasicSearchPage::load(commands);
        if (!QThread::currentThread()->isInterruptionRequested())
            Q_EMIT choicesLoaded(choices);
    }
    void loadResults(const QString& url, const ResultClassNames& names)
    {
        const SearchPageReading reading = ResultPage::load(url, names);
        if (!QThread::currentThread()->isInterruptionRequested())
            Q_EMIT resultsLoaded(reading);
    }

Q_SIGNALS:
    void choicesLoaded(const SiteChoices& choices);
    void resultsLoaded(const SearchPageReading& reading);
};

CSearchDlg::CSearchDlg(AppContext& app, const SiteSettings& sites, CBidsDoc& doc, QWidget* parent)
    : QDialog(parent), m_app(app), m_commands(SearchCommands::fromSites(sites)),
      m_resultPageViewer([](const QUrl& url) { return QDesktopServices::openUrl(url); })
{
    setWindowTitle(StringTable::text(246) + QStringLiteral(" - ") + AppContext::applicationTitle());
    auto* column = new QVBoxLayout(this);
    m_tabs = new QTabWidget(this);
    m_page1 = new CSearchPage1(app.userRegistry(), m_tabs);
    m_page2 = new CSearchPage2(app, doc, m_tabs);
    const SiteProfile profile = sites.profile();
    m_page2->setSite(profile.siteName, profile.conventions, profile.urlViewItem);
    m_tabs->addTab(m_page1, StringTable::text(244));
    m_tabs->addTab(m_page2, StringTable::text(245));
    column->addWidget(m_tabs, 1);
    auto* buttons = new QDialogButtonBox(this);
    m_close = buttons->addButton(StringTable::text(283), QDialogButtonBox::RejectRole);
    m_close->setAutoDefault(false);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    column->addWidget(buttons);
    connect(m_page1, &CSearchPage1::searchRequested, this, &CSearchDlg::search);
    resize(780, 580);
    startLoading();
}

CSearchDlg::~CSearchDlg()
{
    // A download cannot be cut short: the thread ends after it, its answer goes nowhere.
    if (m_thread && m_loading > 0)
        m_thread->detach();
    if (m_searching)
        QApplication::restoreOverrideCursor();
}

void CSearchDlg::setItemViewer(CSearchPage2::Viewer viewer)
{
    m_page2->setItemViewer(std::move(viewer));
}

SearchLoader* CSearchDlg::loader()
{
    if (!m_thread) {
        auto loader = std::make_unique<SearchLoader>();
        connect(loader.get(), &SearchLoader::choicesLoaded, this, &CSearchDlg::showChoices);
        connect(loader.get(), &SearchLoader::resultsLoaded, this, &CSearchDlg::showResults);
        m_thread = std::make_unique<WorkerThread>(QStringLiteral("search service"));
        m_loader = m_thread->start(std::move(loader));
    }
    return m_loader;
}

void CSearchDlg::startLoading()
{
    // Without the site's commands there is nothing to load; the lists stay as they are.
    if (!m_commands.isUsable()) {
        m_page1->setSiteChoices(SiteChoices());
        return;
    }
    SearchLoader* worker = loader();
    const SearchCommands commands = m_commands;
    ++m_loading;
    m_thread->post([worker, commands] { worker->loadChoices(commands); });
}

void CSearchDlg::showChoices(const SiteChoices& choices)
{
    --m_loading;
    m_page1->setSiteChoices(choices);
    Q_EMIT siteChoicesLoaded();
}

void CSearchDlg::setSearching(bool on)
{
    if (on == m_searching)
        return;
    m_searching = on;
    m_page1->setSearchEnabled(!on);
    m_close->setEnabled(!on);
    if (on)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

void CSearchDlg::search()
{
    const SearchCriteria criteria = m_page1->criteria();
    if (m_searching || criteria.keywords.isEmpty())
        return;
    const SearchAddress::Result address = SearchAddress::build(
        m_commands, criteria, SearchAddress::Use::Interactive, m_page1->listChoices());
    if (!address.ok()) {
        AppContext::logWrite(QStringLiteral("Search Service: %1.").arg(address.error),
                             ProgramLog::Error);
        UserPrompt::inform(this, StringTable::text(469), IMainWindow::Icon::Error);
        return;
    }
    m_lastUrl = address.url;
    setSearching(true);
    SearchLoader* worker = loader();
    const ResultClassNames names = ResultClassNames::read(m_app.machineRegistry());
    const QString url = address.url;
    ++m_loading;
    m_thread->post([worker, url, names] { worker->loadResults(url, names); });
}

void CSearchDlg::showResults(const SearchPageReading& reading)
{
    --m_loading;
    setSearching(false);
    if (!reading.loaded) {
        Q_EMIT searchFinished(false, 0);
        return;
    }
    m_page2->clearResults();
    if (reading.results.isEmpty()) {
        // The site's own page tells the user what it made of the search.
        if (m_resultPageViewer)
            m_resultPageViewer(QUrl(m_lastUrl));
    } else {
        m_page2->showResults(reading.results);
    }
    m_tabs->setCurrentWidget(m_page2);
    Q_EMIT searchFinished(true, static_cast<int>(reading.results.size()));
}

#include "searchdlg.moc"
