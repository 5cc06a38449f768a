#include "engine/maincontroller.h"

#include "app/appcontext.h"
#include "app/imainwindow.h"
#include "engine/bidscheduler.h"
#include "engine/bidstarter.h"
#include "engine/bidthread.h"
#include "engine/clockjumpdetector.h"
#include "engine/connectionmanager.h"
#include "engine/enginebideffects.h"
#include "engine/processrunner.h"
#include "engine/refreshthread.h"
#include "engine/shutdownrequest.h"
#include "engine/timesynchroniser.h"
#include "model/bidsdoc.h"
#include "model/bidsrebuild.h"
#include "model/documentstore.h"
#include "model/ibidworker.h"
#include "model/startuplist.h"
#include "sites/siteaccess.h"
#include "sites/sitesettingsupdate.h"
#include "web/settingsfiledownload.h"

#include <QCoreApplication>
#include <QTextStream>

MainController::MainController(AppContext& app, WindowFactory createWindow, QObject* parent)
    : QObject(parent), m_app(app), m_createWindow(std::move(createWindow)),
      m_connections(std::make_unique<ConnectionManager>(app)),
      m_document(std::make_unique<CBidsDoc>(ListEnvironment::of(app))),
      m_store(std::make_unique<DocumentStore>(*m_document)),
      m_processRunner(std::make_shared<ProcessRunner>())
{
    m_timeSync = std::make_unique<TimeSynchroniser>(app, m_connections.get());
    m_clockJumps = std::make_unique<ClockJumpDetector>();
    m_scheduler = std::make_unique<BidScheduler>(
        app, *m_document, [this] { return m_connections->ensureConnection(); });
    m_starter = std::make_unique<BidStarter>(app, *m_document);
    m_effects = std::make_unique<EngineBidEffects>(app, *m_document, *this);
    m_document->setEffects(m_effects.get());
    installDefaultThreads();

    BidStarter::Hooks& hooks = m_starter->hooks();
    hooks.createThread = [this](const QString& id) {
        return m_threads.createBidThread ? m_threads.createBidThread(id) : nullptr;
    };
    hooks.postStart = [this](IBidWorker* thread, SiteProfile profile) {
        if (m_threads.postBidStart)
            m_threads.postBidStart(thread, std::move(profile));
    };
    hooks.started = [this] {
        if (m_window)
            m_window->flash();
        startTrayFlash();
    };

    m_tickSteps.connectionIndicator = [this] {
        const bool connected = !m_connections->isOffline() && m_connections->testConnection();
        m_lastConnectionTest = connected;
        if (m_window)
            m_window->setConnected(connected);
    };
    m_tickSteps.idleCheck = [this] {
        m_document->accessLock().checkIdle(m_app.clock().localNow(), m_app.settings().idleTime);
    };
    m_tickSteps.scheduler = [this] { m_scheduler->startScan(); };
    m_tickSteps.refreshPoll = [this] {
        if (m_threads.pollRefresh)
            m_threads.pollRefresh();
    };
    m_tickSteps.bidThreadPoll = [this] { pollBidThreads(); };
    m_tickSteps.autoDisconnect = [this] { autoDisconnectCheck(); };

    connect(m_connections.get(), &ConnectionManager::timeSyncRequested, this,
            [this] { synchroniseTime(); });
    connect(m_timeSync.get(), &TimeSynchroniser::maintenancePage, this, [this](const QString& url) {
        if (showPageHandler)
            showPageHandler(url, QByteArray(), QString());
    });
    connect(m_timeSync.get(), &TimeSynchroniser::accepted, this, [this] {
        startTimer(TimerSiteClock, kSiteClockMs);
        startTimer(TimerTimeSync, qMax(1, m_app.settings().autoTimeSync) * 60000);
        onTimer(TimerSiteClock);
    });
    // A jump of the wall clock makes the measured offset wrong: measure again.
    connect(m_clockJumps.get(), &ClockJumpDetector::jumped, this, [this](qint64 deltaMs) {
        m_app.log().write(
            QStringLiteral("The computer's clock jumped by %1 ms; synchronizing time.")
                .arg(deltaMs));
        QMetaObject::invokeMethod(
            this, [this] { synchroniseTime(); }, Qt::QueuedConnection);
    });
    for (int i = 0; i < static_cast<int>(m_timers.size()); ++i) {
        const auto id = static_cast<TimerId>(i + 1);
        connect(&m_timers[static_cast<size_t>(i)], &QTimer::timeout, this,
                [this, id] { onTimer(id); });
    }
}

MainController::~MainController()
{
    m_clockJumps->stop();
    if (m_threads.stopRefresh)
        m_threads.stopRefresh();
    m_scheduler->waitForScans(-1);
    m_document->setEffects(nullptr);
}

void MainController::setEngineTickMs(int milliseconds)
{
    m_engineTickMs = milliseconds;
    m_scheduler->setTickMs(milliseconds);
    if (timer(TimerEngineTick).isActive())
        startTimer(TimerEngineTick, milliseconds);
}

void MainController::engineTick()
{
    const auto run = [](const std::function<void()>& step) {
        if (step)
            step();
    };
    run(m_tickSteps.connectionIndicator);
    run(m_tickSteps.idleCheck);
    if (!m_listLoaded)
        return;
    run(m_tickSteps.scheduler);
    run(m_tickSteps.refreshPoll);
    run(m_tickSteps.bidThreadPoll);
    run(m_tickSteps.autoDisconnect);
}

void MainController::pollBidThreads()
{
    if (!m_threads.pollBidThread)
        return;
    ItemsLockGuard guard(m_document->itemsLock(), ItemsLock::kPeriodicPassWaitMs);
    if (!guard.isHeld()) {
        m_app.log().write(QStringLiteral("Engine tick: the bid list stayed locked; the bid "
                                         "threads are polled at the next tick."),
                          ProgramLog::Warning);
        return;
    }
    for (const auto& item : m_document->items()) {
        if (IBidWorker* worker = item->bidThread())
            m_threads.pollBidThread(worker);
    }
}

void MainController::autoDisconnectCheck()
{
    const AppSettings& settings = m_app.settings();
    if (!settings.dialUp || !settings.autoDisconnect || m_connections->manualConnection() ||
        !m_connections->holdsDialConnection())
        return;
    bool mayDrop = false;
    {
        ItemsLockGuard guard(m_document->itemsLock(), ItemsLock::kPeriodicPassWaitMs);
        if (!guard.isHeld()) {
            m_app.log().write(QStringLiteral("Engine tick: the bid list stayed locked; the "
                                             "line is checked again at the next tick."),
                              ProgramLog::Warning);
            return;
        }
        const qint64 siteNow = m_app.clock().siteNow();
        const qint64 localNow = m_app.clock().localNow();
        const qint64 connectLead = 60 * qint64(settings.connectTime) + settings.startBefore;
        mayDrop = !m_document->items().empty();
        for (const auto& item : m_document->items()) {
            if (!item->isRefreshed()) {
                // Its page was never read: keep the line until the program dials again.
                m_connections->setManualConnection(true);
                mayDrop = false;
                break;
            }
            if (item->isEnded())
                continue;
            const qint64 refreshDue = item->lastRefreshTime() + 60 * qint64(settings.refreshEvery);
            const qint64 refreshEnd = item->lastRefreshTime() + 60 * (qint64(settings.connectTime) +
                                                                      settings.refreshEvery + 1);
            if (CBidItem::isRunningStatus(item->status()) ||
                (siteNow >= item->endTime() - connectLead && siteNow <= item->endTime()) ||
                (localNow >= refreshDue && localNow <= refreshEnd)) {
                mayDrop = false;
                break;
            }
        }
    }
    if (mayDrop && m_connections->testConnection())
        m_connections->askAutoDisconnect();
}

void MainController::handleBidsViewCommand(int command)
{
    switch (command) {
    case IMainWindow::CmdStartReadyBids:
        m_starter->startReadyBids();
        break;
    case IMainWindow::CmdRedisplay:
        m_document->rebuild();
        break;
    case IMainWindow::CmdOutbidScan: {
        ItemsLockGuard guard(m_document->itemsLock(), ItemsLock::kPeriodicPassWaitMs);
        if (guard.isHeld())
            BidsRebuild(*m_document).outbidScan();
        break;
    }
    default:
        break;
    }
}

void MainController::installDefaultThreads()
{
    m_threads.createBidThread = [this](const QString& itemId) -> IBidWorker* {
        auto* thread = new CBidThread(m_app, *m_document, itemId);
        connect(thread, &CBidThread::pageShown, this,
                [this](const QString&, const QString& url, const QByteArray& source,
                       const QString& contentType) {
                    if (showPageHandler)
                        showPageHandler(url, source, contentType);
                });
        return thread;
    };
    m_threads.postBidStart = [](IBidWorker* worker, SiteProfile profile) {
        if (auto* thread = dynamic_cast<CBidThread*>(worker))
            thread->postStart(std::move(profile));
    };
    m_threads.postBidRetract = [](IBidWorker* worker, SiteProfile profile, bool forDelete) {
        if (auto* thread = dynamic_cast<CBidThread*>(worker))
            thread->postRetract(std::move(profile), forDelete);
    };
    m_threads.pollBidThread = [](IBidWorker* worker) {
        if (auto* thread = dynamic_cast<CBidThread*>(worker))
            thread->postPoll();
    };
    m_threads.startRefresh = [this](SiteProfile profile) {
        if (!m_refresh) {
            m_refresh = std::make_unique<CRefreshThread>(m_app, *m_document);
        }
        m_refresh->start(std::move(profile));
    };
    m_threads.pollRefresh = [this] {
        if (m_refresh)
            m_refresh->postPoll();
    };
    m_threads.stopRefresh = [this] {
        if (m_refresh)
            m_refresh->stop();
    };
}

void MainController::startRefreshThread()
{
    if (m_threads.startRefresh)
        m_threads.startRefresh(BuildSiteProfile());
}

void MainController::settingsApplied()
{
    m_scheduler->setTickMs(m_engineTickMs);
    // The mail check follows its switch and period at once.
    if (m_app.settings().useMC) {
        const int mailCheckMs = qMax(1, m_app.settings().mailCheckMinutes) * 60000;
        if (!timer(TimerMailCheck).isActive() || timerInterval(TimerMailCheck) != mailCheckMs)
            startTimer(TimerMailCheck, mailCheckMs);
    } else {
        stopTimer(TimerMailCheck);
    }
    if (m_listLoaded)
        startRefreshThread();
}

void MainController::currentSiteChanged()
{
    {
        // Pages of another site: every item is read again before it may start.
        ItemsLockGuard guard(m_document->itemsLock());
        if (guard.isHeld()) {
            for (const auto& item : m_document->items())
                item->setRefreshed(false);
        }
    }
    if (m_listLoaded)
        startRefreshThread();
}

void MainController::startTrayFlash()
{
    startTimer(TimerTrayFlash, kFlashMs);
}

void MainController::setOutbidIndicator(bool on)
{
    if (on) {
        if (!timer(TimerOutbidFlash).isActive())
            startTimer(TimerOutbidFlash, kFlashMs);
        return;
    }
    m_outbidIndicator = false;
    stopTimer(TimerOutbidFlash);
    if (m_window)
        m_window->setTrayIcon(IMainWindow::TrayIcon::Normal);
}

void MainController::trayFlashStep()
{
    m_flashAlternate = !m_flashAlternate;
    if (m_window)
        m_window->setTrayIcon(m_flashAlternate ? IMainWindow::TrayIcon::Bidding
                                               : IMainWindow::TrayIcon::Normal);
    if (++m_flashCount < kFlashSteps)
        return;
    m_flashCount = 0;
    stopTimer(TimerTrayFlash);
    if (m_window)
        m_window->setTrayIcon(m_outbidIndicator ? IMainWindow::TrayIcon::Outbid
                                                : IMainWindow::TrayIcon::Normal);
}

void MainController::outbidFlashStep()
{
    // The bid flash has the tray to itself.
    if (timer(TimerTrayFlash).isActive()) {
        stopTimer(TimerOutbidFlash);
        return;
    }
    m_flashAlternate = !m_flashAlternate;
    if (m_window)
        m_window->setTrayIcon(m_flashAlternate ? IMainWindow::TrayIcon::Outbid
                                               : IMainWindow::TrayIcon::Normal);
    if (++m_flashCount < kFlashSteps)
        return;
    // The counter starts again so that the next flash runs its full length.
    m_flashCount = 0;
    m_outbidIndicator = true;
    stopTimer(TimerOutbidFlash);
    if (m_window)
        m_window->setTrayIcon(IMainWindow::TrayIcon::Outbid);
}

QTimer& MainController::timer(TimerId id)
{
    return m_timers.at(static_cast<size_t>(id) - 1);
}

const QTimer& MainController::timer(TimerId id) const
{
    return m_timers.at(static_cast<size_t>(id) - 1);
}

bool MainController::isTimerActive(TimerId id) const
{
    return timer(id).isActive();
}

int MainController::timerInterval(TimerId id) const
{
    return timer(id).interval();
}

void MainController::startTimer(TimerId id, int milliseconds)
{
    timer(id).start(milliseconds);
}

void MainController::stopTimer(TimerId id)
{
    timer(id).stop();
}

void MainController::onTimer(TimerId id)
{
    switch (id) {
    case TimerSiteClock:
        if (m_window)
            m_window->setSiteTimeText(TimeSynchroniser::siteClockText(m_app.clock().siteNow()));
        break;
    case TimerTrayFlash:
        trayFlashStep();
        break;
    case TimerOutbidFlash:
        outbidFlashStep();
        break;
    case TimerTimeSync:
        // Each expiry asks for a time synchronisation, as the menu command does.
        synchroniseTime();
        break;
    case TimerEngineTick:
        engineTick();
        break;
    case TimerMailCheck:
        if (m_app.settings().useMC)
            checkMail();
        break;
    case TimerSavedSearch:
        stopTimer(TimerSavedSearch);
        if (savedSearchCheck)
            savedSearchCheck();
        break;
    case TimerAutosave: {
        QString message;
        if (!m_store->autosave(&message) && !message.isEmpty())
            m_app.logWrite(message, ProgramLog::Error);
        break;
    }
    default:
        break;
    }
}

void MainController::checkMail()
{
    if (mailCheck)
        mailCheck();
}

void MainController::handleMailNotification(int kind, const QString& itemId)
{
    if (mailNotification)
        mailNotification(kind, itemId);
}

void MainController::externalExit()
{
    // No one is there to answer a save question: a changed list is saved where it lives.
    if (m_document->isModified()) {
        QString message;
        if (!m_store->saveSilently(&message) && !message.isEmpty())
            m_app.logWrite(message, ProgramLog::Error);
    }
    Q_EMIT exitPrepared();
}

void MainController::handleShutdownRequest()
{
    ShutdownRequest request(m_app, *m_processRunner);
    // The power goes off next: the list must already be on disk.
    request.markShuttingDown = [this] {
        if (m_document->isModified()) {
            QString message;
            if (!m_store->saveSilently(&message) && !message.isEmpty())
                m_app.logWrite(message, ProgramLog::Error);
        }
    };
    ShutdownRequest::Items items;
    items.count = [this] { return int(m_document->items().size()); };
    items.status = [this](int index) { return int(m_document->items()[index]->status()); };
    items.setShutdownWhenFinished = [this](int index) {
        m_document->items()[index]->setShutdownWhenFinished(true);
    };
    request.run(items);
}

void MainController::setProcessRunner(std::shared_ptr<IProcessRunner> runner)
{
    m_processRunner = std::move(runner);
}

void MainController::showSplashText(const QString& text)
{
    if (splashHandler)
        splashHandler(text);
}

void MainController::closeSplash()
{
    if (closeSplashHandler)
        closeSplashHandler();
}

void MainController::showStartupMessage(const IMainWindow::Question& question)
{
    if (startupMessageHandler) {
        startupMessageHandler(question);
        return;
    }
    QTextStream(stderr) << question.text << Qt::endl;
}

IMainWindow* MainController::createMainWindow()
{
    m_window = m_createWindow ? m_createWindow() : nullptr;
    if (m_window)
        startTimer(TimerEngineTick, m_engineTickMs);
    return m_window;
}

void MainController::verifyConnection()
{
    m_connections->verifyAtStartup();
}

bool MainController::loadSiteSettings()
{
    bool newVersion = false;
    AppSettings& settings = m_app.settings();
    if (settings.updateEvery != 0) {
        SiteSettingsUpdate update(m_app, m_siteSettings, downloadSettingsFile);
        if (update.download(true)) {
            newVersion = update.newVersionAvailable();
            settings.lastChecked = int(update.checkedAt());
        }
    }
    LoadSiteSettings();
    return newVersion;
}

void MainController::loadBidList()
{
    StartupList::load(*m_document, [this](const QString& text) {
        IMainWindow::Question question;
        question.text = text;
        question.caption = QCoreApplication::applicationName();
        question.buttons = IMainWindow::Buttons::YesNo;
        question.icon = IMainWindow::Icon::Question;
        question.defaultAnswer = IMainWindow::AnswerYes;
        return m_window && m_window->ask(question) == IMainWindow::AnswerYes;
    });
    m_listLoaded = true;
    startRefreshThread();
}

bool MainController::synchroniseTime()
{
    m_timeSync->synchronise();
    return m_app.clock().isSynchronised();
}

void MainController::startTimers(bool timeSynchronised)
{
    const AppSettings& settings = m_app.settings();
    startTimer(TimerTimeSync,
               timeSynchronised ? qMax(1, settings.autoTimeSync) * 60000 : kUnsyncedTimeSyncMs);
    startTimer(TimerAutosave, qMax(1, settings.autoSaveTime) * 60000);
    if (settings.useMC)
        startTimer(TimerMailCheck, qMax(1, settings.mailCheckMinutes) * 60000);
    if (timeSynchronised)
        startTimer(TimerSiteClock, kSiteClockMs);
    m_clockJumps->start();
}

void MainController::showMainWindow(bool minimized)
{
    if (showWindowHandler)
        showWindowHandler(minimized);
}

void MainController::openStartPage(const QString& addUrl)
{
    if (!addUrl.isEmpty() && addUrlHandler)
        addUrlHandler(addUrl);
}

void MainController::startWizards(bool newVersionAvailable)
{
    if (wizardsHandler)
        wizardsHandler(newVersionAvailable);
}

void MainController::startSavedSearchTimer()
{
    startTimer(TimerSavedSearch, kSavedSearchMs);
}

void MainController::shutdown()
{
    m_connections->disconnectOnExit(false);
    m_clockJumps->stop();
    if (m_threads.stopRefresh)
        m_threads.stopRefresh();
    for (int id = TimerSiteClock; id <= TimerSavedSearch; ++id)
        stopTimer(static_cast<TimerId>(id));
}
