#include "ui/mainframe.h"

#include "app/appcontext.h"
#include "app/itemslock.h"
#include "engine/connectionmanager.h"
#include "engine/dialupoptions.h"
#include "engine/processrunner.h"
#include "model/bidsdoc.h"
#include "model/bidsrebuild.h"
#include "sites/siteaccess.h"
#include "sites/sitesettings.h"
#include "ui/accesspromptdlg.h"
#include "ui/bidsframe.h"
#include "ui/bidsleftview.h"
#include "ui/bidsrightview.h"
#include "ui/bidsviewevents.h"
#include "ui/bookmarkletdlg.h"
#include "ui/commandid.h"
#include "ui/firststepwizard.h"
#include "ui/focusreturn.h"
#include "ui/itemdialogs.h"
#include "ui/itempagecommands.h"
#include "ui/logviewer.h"
#include "ui/mainactions.h"
#include "ui/messagelist.h"
#include "ui/optionssheet.h"
#include "ui/outlookbar.h"
#include "ui/searchdlg.h"
#include "ui/sitemenu.h"
#include "ui/stopbiddingdlg.h"
#include "ui/uiicons.h"
#include "ui/userprompt.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>
#include <QSplitter>
#include <QStackedWidget>
#include <QThread>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>
#include <algorithm>

namespace {

// Lines the message pane shows at first; the splitter makes it taller on demand.
constexpr int kMessageLines = 4;

} // namespace

CMainFrame::CMainFrame(AppContext& app, QWidget* parent) : QMainWindow(parent), m_app(app)
{
    setWindowTitle(AppContext::applicationTitle());
    setWindowIcon(UiIcons::application());
    m_actions = new CMainActions(this);
    new FocusReturn(this);
    buildWindow();
    connectCommands();
    siteChanged();

    // The engine's site clock (timer 1) keeps the pane going once time is synchronised.
    m_status->showSiteTime(m_app.clock());
    restorePlacement();
}

CMainFrame::~CMainFrame()
{
    // The document outlives the window: it must not call the views once they are gone.
    if (m_document)
        m_document->setEvents(nullptr);
}

void CMainFrame::setDocument(CBidsDoc& doc)
{
    if (m_document)
        return;
    m_document = &doc;
    m_tree = new CBidsLeftView(m_app, doc);
    m_list = new CBidsRightView(m_app, doc);
    m_bids->setPanes(m_tree, m_list);
    m_viewEvents = new BidsViewEvents(m_tree, m_list, this);
    doc.setEvents(m_viewEvents);
    connectBidsViews(doc);
    m_tree->rebuildTree();
    m_list->reload();
}

void CMainFrame::connectBidsViews(CBidsDoc& doc)
{
    const auto lookup = [this](int id) { return command(id); };
    m_tree->setCommandActions(lookup);
    m_list->setCommandActions(lookup);
    m_pageCommands = new CItemPageCommands(m_app, doc, *m_list, lookup, this);
    const std::pair<int, void (CBidsRightView::*)()> listCommands[] = {
        {CmdAddItem, &CBidsRightView::addItem},
        {CmdDeleteBid, &CBidsRightView::deleteSelected},
        {CmdEditView, &CBidsRightView::editFocused},
        {CmdRefresh, &CBidsRightView::refreshSelected},
        {CmdViewColumns, &CBidsRightView::openColumnsDialog},
        {CmdSelectAll, &CBidsRightView::selectAllRows},
    };
    for (const auto& [id, slot] : listCommands)
        connect(command(id), &QAction::triggered, m_list, slot);
    const std::pair<int, void (CBidsLeftView::*)()> treeCommands[] = {
        {CmdAddFolder, &CBidsLeftView::addFolder},
        {CmdDeleteFolder, &CBidsLeftView::deleteFolder},
        {CmdRenameFolder, &CBidsLeftView::renameFolder},
        {CmdFolderProperties, &CBidsLeftView::folderProperties},
    };
    for (const auto& [id, slot] : treeCommands)
        connect(command(id), &QAction::triggered, m_tree, slot);

    QAction* largeIcons = command(CmdLargeIcons);
    largeIcons->setEnabled(true);
    largeIcons->setChecked(m_app.settings().bigIcon != 0);
    connect(largeIcons, &QAction::toggled, this, [this](bool large) {
        m_tree->setLargeIcons(large);
        AppSettings& settings = m_app.settings();
        settings.bigIcon = large ? 1 : 0;
        settings.writeKey(m_app.userRegistry(), &AppSettings::bigIcon);
    });

    connect(this, &CMainFrame::bidsChanged, this, [&doc] { doc.rebuild(); });
    connect(this, &CMainFrame::folderTreeChanged, m_tree, &CBidsLeftView::rebuildTree);
    connect(this, &CMainFrame::bidsViewCommand, this, [this, &doc](int id) {
        if (m_bidsViewHandler) {
            m_bidsViewHandler(id);
        } else if (id == CmdRedisplay) {
            doc.rebuild();
        } else if (id == CmdOutbidScan) {
            ItemsLockGuard guard(doc.itemsLock());
            BidsRebuild(doc).outbidScan();
        }
    });
    m_optionsHooks.listBackground = [this](bool shown) { m_list->setBackgroundShown(shown); };

    // One password prompt guards every changing command and the options.
    const auto gate = [this, &doc] { return CAccessPromptDlg::pass(this, doc.accessLock()); };
    m_tree->setAccessGate(gate);
    m_list->setAccessGate(gate);
    setOptionsGate(gate);
    qApp->installEventFilter(this);

    CItemDialogs::setOptionsOpener([this] { openOptions(); });
    connect(m_list, &CBidsRightView::addItemRequested, this, [this, &doc] {
        CBidFolder* folder = nullptr;
        {
            ItemsLockGuard guard(doc.itemsLock());
            folder = doc.folderById(m_tree->currentFolderId());
        }
        CItemDialogs::runAddItem(this, doc, folder);
    });
    connect(m_list, &CBidsRightView::editItemRequested, this,
            [this, &doc](int index) { CItemDialogs::runEditItem(this, doc, index); });
    setActiveItemsCheck([&doc] {
        ItemsLockGuard guard(doc.itemsLock());
        return std::any_of(doc.items().begin(), doc.items().end(), [](const auto& item) {
            const quint32 status = item->status();
            return status >= StatusActive && status <= StatusRunningOutbid;
        });
    });
}

void CMainFrame::buildWindow()
{
    m_actions->fillMenuBar(menuBar());
    m_toolBar = addToolBar(tr("Toolbar"));
    m_toolBar->setObjectName(QStringLiteral("mainToolBar"));
    m_toolBar->setIconSize(QSize(24, 24));
    m_toolBar->setMovable(false);
    m_actions->fillToolBar(m_toolBar);

    auto* central = new QWidget(this);
    auto* layout = new QHBoxLayout(central);
    layout->setContentsMargins(4, 4, 4, 0);
    layout->setSpacing(4);
    m_outlook = new COutlookBar(central);
    m_actions->fillOutlookBar(m_outlook);
    layout->addWidget(m_outlook);

    m_split = new QSplitter(Qt::Vertical, central);
    m_split->setChildrenCollapsible(false);
    m_views = new QStackedWidget(m_split);
    m_bids = new CBidsFrame(m_app, m_views);
    m_views->addWidget(m_bids);
    auto* messagePane = new QWidget(m_split);
    auto* paneColumn = new QVBoxLayout(messagePane);
    paneColumn->setContentsMargins(0, 2, 0, 0);
    paneColumn->setSpacing(2);
    auto* heading = new QLabel(tr("&Messages"), messagePane);
    heading->setObjectName(QStringLiteral("messagesHeading"));
    QFont headingFont = heading->font();
    headingFont.setBold(true);
    heading->setFont(headingFont);
    m_messages = new CMessageList(messagePane);
    heading->setBuddy(m_messages);
    paneColumn->addWidget(heading);
    paneColumn->addWidget(m_messages, 1);
    m_split->addWidget(m_views);
    m_split->addWidget(messagePane);
    m_split->setStretchFactor(0, 1);
    m_split->setStretchFactor(1, 0);
    const int paneHeight = heading->sizeHint().height() + paneColumn->spacing() + 2 +
                           kMessageLines * m_messages->lineHeight() + 2 * m_messages->frameWidth();
    m_split->setSizes({400, paneHeight});
    layout->addWidget(m_split, 1);
    setCentralWidget(central);

    m_status = new CMainStatusBar(this);
    setStatusBar(m_status);

    m_tray = new CTrayIcon(this);
    auto* trayMenu = new QMenu(this);
    m_actions->fillTrayMenu(trayMenu);
    m_tray->setMenu(trayMenu);
    connect(m_tray, &CTrayIcon::restoreRequested, this, &CMainFrame::activate);
    connect(m_tray, &CTrayIcon::availabilityChanged, this, [this](bool available) {
        // A window in the tray that is gone would be out of reach: the task bar takes it.
        if (!available && isHidden() && !m_exiting)
            showMinimized();
    });

    // A value other than 0 shows the bar, so a damaged entry never hides it for good.
    const AppSettings& settings = m_app.settings();
    const bool showOutlook = settings.showOutlookBar != 0;
    const bool showStatus = settings.showStatusBar != 0;
    const bool showToolBar = settings.showToolBar != 0;
    m_outlook->setVisible(showOutlook);
    m_status->setVisible(showStatus);
    m_toolBar->setVisible(showToolBar);
    command(CmdViewOutlookBar)->setChecked(showOutlook);
    command(CmdViewStatusBar)->setChecked(showStatus);
    command(CmdViewToolbar)->setChecked(showToolBar);
}

void CMainFrame::connectCommands()
{
    connect(command(CmdExit), &QAction::triggered, this, &CMainFrame::exitProgram);
    connect(command(CmdRestore), &QAction::triggered, this, &CMainFrame::activate);
    connect(command(CmdAbout), &QAction::triggered, this, &CMainFrame::showAbout);
    connect(command(CmdBookmarklet), &QAction::triggered, this,
            [this] { CBookmarkletDlg(this).exec(); });
    connect(command(CmdOptions), &QAction::triggered, this, &CMainFrame::openOptions);
    connect(command(CmdLogViewer), &QAction::triggered, this, &CMainFrame::openLogViewer);
    connect(command(CmdBidsWindow), &QAction::triggered, this, &CMainFrame::showBidsWindow);
    command(CmdSearchService)->setEnabled(true);
    connect(command(CmdSearchService), &QAction::triggered, this, [this] {
        if (const SiteSettings* sites = SiteSettings::current(); sites && m_document)
            CSearchDlg(m_app, *sites, *m_document, this).exec();
    });
    command(CmdUpdateWizard)->setEnabled(true);
    connect(command(CmdUpdateWizard), &QAction::triggered, this, [this] { openUpdateWizard(); });
    command(CmdStartupWizard)->setEnabled(true);
    connect(command(CmdStartupWizard), &QAction::triggered, this, &CMainFrame::openStartupWizard);
    connect(command(CmdViewOutlookBar), &QAction::toggled, m_outlook, &QWidget::setVisible);
    connect(command(CmdViewStatusBar), &QAction::toggled, m_status, &QWidget::setVisible);
    connect(command(CmdViewToolbar), &QAction::toggled, m_toolBar, &QWidget::setVisible);
    connect(m_actions->siteMenu(), &CSiteMenu::siteChosen, this, [this](const QString& site) {
        if (SetCurrentSite(site) && m_optionsHooks.siteChanged)
            m_optionsHooks.siteChanged();
        // Also when nothing changed: the menu's check mark goes back to the current site.
        siteChanged();
    });
}

QAction* CMainFrame::command(int id) const
{
    return m_actions->action(id);
}

QMenu* CMainFrame::recentFilesMenu() const
{
    return m_actions->recentFilesMenu();
}

bool CMainFrame::hasTray() const
{
    return m_tray->isAvailable();
}

void CMainFrame::runOnWindowThread(std::function<void()> work)
{
    if (QThread::currentThread() == thread())
        work();
    else
        QMetaObject::invokeMethod(this, std::move(work), Qt::QueuedConnection);
}

void CMainFrame::postBidsViewCommand(int id)
{
    // Posted: the bids view runs the command after the caller's own work is done.
    QMetaObject::invokeMethod(
        this, [this, id] { Q_EMIT bidsViewCommand(id); }, Qt::QueuedConnection);
}

void CMainFrame::addMessage(const QString& line, int level)
{
    runOnWindowThread([this, line, level] { m_messages->addLine(line, level); });
}

void CMainFrame::setStatusText(const QString& text)
{
    runOnWindowThread([this, text] { m_status->setText(text); });
}

void CMainFrame::showTrayBalloon(const QString& title, const QString& text, int milliseconds)
{
    runOnWindowThread(
        [this, title, text, milliseconds] { m_tray->showBalloon(title, text, milliseconds); });
}

int CMainFrame::ask(const Question& question)
{
    if (QThread::currentThread() == thread())
        return UserPrompt::ask(this, question);
    int answer = question.defaultAnswer;
    QMetaObject::invokeMethod(
        this, [this, &question, &answer] { answer = UserPrompt::ask(this, question); },
        Qt::BlockingQueuedConnection);
    return answer;
}

void CMainFrame::itemsChanged()
{
    runOnWindowThread([this] { Q_EMIT bidsChanged(); });
}

void CMainFrame::foldersChanged()
{
    runOnWindowThread([this] { Q_EMIT folderTreeChanged(); });
}

void CMainFrame::siteChanged()
{
    runOnWindowThread([this] {
        const QString site = m_app.settings().currentSite;
        m_status->setSite(site, SiteNumber(site));
        m_actions->siteMenu()->showCurrentSite(site);
    });
}

void CMainFrame::activate()
{
    runOnWindowThread([this] {
        if (isHidden())
            show();
        if (isMinimized())
            setWindowState(windowState() & ~Qt::WindowMinimized);
        raise();
        activateWindow();
    });
}

void CMainFrame::setBrowserWindow(QWidget* browser)
{
    m_browser = browser;
    m_views->addWidget(browser);
    QAction* action = command(CmdInternalBrowser);
    action->setEnabled(true);
    connect(action, &QAction::triggered, this, &CMainFrame::showBrowserWindow);
}

void CMainFrame::showBrowserWindow()
{
    if (m_browser)
        m_views->setCurrentWidget(m_browser);
}

void CMainFrame::showBidsWindow()
{
    m_views->setCurrentWidget(m_bids);
}

void CMainFrame::setTrayState(CTrayIcon::State state)
{
    m_tray->setState(state);
}

void CMainFrame::trayTick()
{
    m_tray->tick();
}

void CMainFrame::setConnectionState(CMainStatusBar::Connection state)
{
    runOnWindowThread([this, state] { m_status->setConnection(state); });
}

void CMainFrame::setProgress(int value, int maximum)
{
    runOnWindowThread([this, value, maximum] { m_status->setProgress(value, maximum); });
}

void CMainFrame::setSiteTimeText(const QString& text)
{
    runOnWindowThread([this, text] { m_status->setSiteTimeText(text); });
}

void CMainFrame::setTrayIcon(TrayIcon icon)
{
    runOnWindowThread([this, icon] {
        switch (icon) {
        case TrayIcon::Bidding:
            // The engine alternates the images itself: show the flash image now.
            m_tray->setState(CTrayIcon::State::Flashing);
            m_tray->tick();
            break;
        case TrayIcon::Outbid:
            m_tray->setState(CTrayIcon::State::Outbid);
            break;
        default:
            m_tray->setState(CTrayIcon::State::Normal);
            break;
        }
    });
}

void CMainFrame::flash()
{
    runOnWindowThread([this] { QApplication::alert(this); });
}

void CMainFrame::setConnected(bool connected)
{
    setConnectionState(connected ? CMainStatusBar::Connection::Online
                                 : CMainStatusBar::Connection::Offline);
}

int CMainFrame::askStopBidding(const QString& itemId, const QString& retractHelpUrl)
{
    const auto run = [this, &itemId, &retractHelpUrl] {
        return m_stopAsker ? m_stopAsker(itemId, retractHelpUrl)
                           : CStopBiddingDlg::ask(this, itemId, retractHelpUrl);
    };
    if (QThread::currentThread() == thread())
        return run();
    int answer = StopCancelled;
    QMetaObject::invokeMethod(
        this, [&run, &answer] { answer = run(); }, Qt::BlockingQueuedConnection);
    return answer;
}

void CMainFrame::setEngineCommands(EngineCommands commands)
{
    const bool first =
        !m_engine.start && !m_engine.stop && !m_engine.startReadyBids && !m_engine.synchroniseTime;
    m_engine = std::move(commands);
    if (!first)
        return;
    const auto forFocused = [this](std::function<void(const QString&)> EngineCommands::*member) {
        return [this, member] {
            const QString id = m_list ? m_list->focusedItemId() : QString();
            if (!id.isEmpty() && m_engine.*member)
                (m_engine.*member)(id);
        };
    };
    connect(command(CmdStart), &QAction::triggered, this, forFocused(&EngineCommands::start));
    connect(command(CmdStop), &QAction::triggered, this, forFocused(&EngineCommands::stop));
    connect(command(CmdStartBids), &QAction::triggered, this, [this] {
        if (m_engine.startReadyBids)
            m_engine.startReadyBids();
    });
    connect(command(CmdSynchroniseTime), &QAction::triggered, this, [this] {
        if (m_engine.synchroniseTime)
            m_engine.synchroniseTime();
    });
    // Start bids does nothing when no item is ready, so it stays enabled.
    command(CmdStartBids)->setEnabled(true);
    command(CmdSynchroniseTime)->setEnabled(true);
}

void CMainFrame::showAbout()
{
    QMessageBox::about(this, tr("About %1").arg(AppContext::applicationTitle()),
                       tr("<h3>%1 %2</h3><p>Auction sniper: places your bid in the last "
                          "seconds of an auction.</p>")
                           .arg(AppContext::applicationTitle(), m_app.versionText()));
}

std::unique_ptr<COptionsSheet> CMainFrame::newOptionsSheet()
{
    // The phone-book entries of the connection layer; a copy reads them itself before
    // the engine's connection exists.
    DialUpOptions dialUp;
    if (ConnectionManager* connection = ConnectionManager::current()) {
        dialUp = DialUpOptions::load(connection->dialUp(), m_app.settings().phoneEntry);
    } else {
        ProcessRunner runner;
        dialUp = DialUpOptions::load(DialUpConnection(runner), m_app.settings().phoneEntry);
    }
    return std::make_unique<COptionsSheet>(m_app, dialUp, m_optionsHooks, this);
}

void CMainFrame::openOptions()
{
    if (m_optionsGate && !m_optionsGate())
        return;
    std::unique_ptr<COptionsSheet> sheet = newOptionsSheet();
    sheet->exec();
}

CLogViewer* CMainFrame::openLogViewer()
{
    if (!m_logViewer)
        m_logViewer = new CLogViewer(m_app, this);
    m_logViewer->reload();
    m_logViewer->show();
    m_logViewer->raise();
    m_logViewer->activateWindow();
    return m_logViewer;
}

void CMainFrame::restorePlacement()
{
    const AppSettings& s = m_app.settings();
    const Registry& registry = m_app.userRegistry();
    resize(960, 640);
    bool stored = s.frameStatus != -1;
    for (int AppSettings::*edge : {&AppSettings::frameTop, &AppSettings::frameLeft,
                                   &AppSettings::frameBottom, &AppSettings::frameRight})
        stored = stored && AppSettings::isStored(registry, edge);
    if (!stored)
        return;
    QRect rect(QPoint(s.frameLeft, s.frameTop), QPoint(s.frameRight - 1, s.frameBottom - 1));
    const QScreen* screen = QApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    // A stored size that is no size, or larger than the screen, is brought within it.
    const QSize least(qMin(400, area.width()), qMin(300, area.height()));
    rect.setSize(rect.size().expandedTo(least).boundedTo(area.size()));
    // Moved by the work area's origin, and never out of reach: at least an icon's width
    // and the title bar stay on the screen.
    const int icon = QApplication::style()->pixelMetric(QStyle::PM_LargeIconSize);
    const int left =
        qBound(area.left() - rect.width() + icon, rect.left() + area.left(), area.right() - icon);
    const int top = qBound(area.top(), rect.top() + area.top(), area.bottom() - icon);
    rect.moveTo(left, top);
    setGeometry(rect);
}

void CMainFrame::storePlacement()
{
    AppSettings& s = m_app.settings();
    const QRect rect = normalGeometry();
    s.frameStatus = isMinimized() || isHidden() ? 2 : (isMaximized() ? 3 : 1);
    s.frameTop = rect.top();
    s.frameLeft = rect.left();
    s.frameBottom = rect.bottom() + 1;
    s.frameRight = rect.right() + 1;
    s.showOutlookBar = command(CmdViewOutlookBar)->isChecked() ? 1 : 0;
    s.showStatusBar = command(CmdViewStatusBar)->isChecked() ? 1 : 0;
    s.showToolBar = command(CmdViewToolbar)->isChecked() ? 1 : 0;
    s.writeKeys(m_app.userRegistry(),
                {&AppSettings::frameStatus, &AppSettings::frameTop, &AppSettings::frameLeft,
                 &AppSettings::frameBottom, &AppSettings::frameRight, &AppSettings::showOutlookBar,
                 &AppSettings::showStatusBar, &AppSettings::showToolBar});
    m_bids->storePanes();
    if (m_list)
        m_list->storeState();
}

void CMainFrame::showAtStart(bool minimized)
{
    m_tray->checkAvailability();
    if (minimized) {
        if (!hasTray()) {
            showMinimized();
            return;
        }
        m_tray->showBalloon(AppContext::applicationTitle(),
                            tr("The program is running and is currently minimized.\n"
                               "To restore, click on the program icon\n"
                               "located in taskbar status area."),
                            2000);
        return;
    }
    if (m_app.settings().frameStatus == 3)
        showMaximized();
    else
        show();
}

void CMainFrame::exitProgram()
{
    if (m_activeItems && m_activeItems()) {
        if (!UserPrompt::askYesNo(this,
                                  tr("There are active items in your list. Are you sure that "
                                     "the program should be closed?"),
                                  AnswerNo))
            return;
    }
    if (m_exitGuard && !m_exitGuard())
        return;
    m_exiting = true;
    storePlacement();
    if (m_logViewer)
        m_logViewer->close();
    Q_EMIT exitRequested();
}

CUpdateWizard* CMainFrame::openUpdateWizard(bool startOnCheck)
{
    if (!m_updateWizard) {
        m_updateWizard = new CUpdateWizard(m_app, startOnCheck, this);
        m_updateWizard->setAttribute(Qt::WA_DeleteOnClose);
        m_updateWizard->setWindowModality(Qt::ApplicationModal);
        m_updateWizard->setHooks(m_updateHooks);
    }
    m_updateWizard->show();
    m_updateWizard->raise();
    m_updateWizard->activateWindow();
    return m_updateWizard;
}

CFirstStepWizard* CMainFrame::openStartupWizard()
{
    if (!m_startupWizard) {
        m_startupWizard = new CFirstStepWizard(m_app, this);
        m_startupWizard->setAttribute(Qt::WA_DeleteOnClose);
        m_startupWizard->setWindowModality(Qt::ApplicationModal);
        m_startupWizard->setSiteChangedHandler([this] {
            if (m_optionsHooks.siteChanged)
                m_optionsHooks.siteChanged();
        });
    }
    m_startupWizard->show();
    m_startupWizard->raise();
    m_startupWizard->activateWindow();
    return m_startupWizard;
}

void CMainFrame::startWizards(bool newVersionAvailable)
{
    if (newVersionAvailable)
        openUpdateWizard(true);
    else if (CFirstStepWizard::isWanted(m_app))
        openStartupWizard();
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (m_document && (type == QEvent::KeyPress || type == QEvent::MouseButtonPress) &&
        !m_document->accessLock().isLocked())
        m_document->accessLock().noteActivity(m_app.clock().localNow());
    return QMainWindow::eventFilter(watched, event);
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    if (m_exiting) {
        event->accept();
        return;
    }
    // The close box keeps every bid running: the window only goes out of sight.
    event->ignore();
    m_tray->checkAvailability();
    if (hasTray()) {
        hide();
        m_tray->showBalloon(AppContext::applicationTitle(),
                            tr("The program has not closed, just minimized to the system tray. "
                               "To exit, select \"Exit\" from \"File\" menu."),
                            2000);
    } else {
        showMinimized();
    }
}
