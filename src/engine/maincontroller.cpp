#include "engine/maincontroller.h"

#include "app/appcontext.h"
#include "app/imainwindow.h"
#include "engine/connectionmanager.h"
#include "model/bidsdoc.h"
#include "model/documentstore.h"
#include "model/startuplist.h"
#include "sites/siteaccess.h"

#include <QCoreApplication>
#include <QTextStream>

MainController::MainController(AppContext& app, WindowFactory createWindow, QObject* parent)
    : QObject(parent), m_app(app), m_createWindow(std::move(createWindow)),
      m_connections(std::make_unique<ConnectionManager>(app)),
      m_document(std::make_unique<CBidsDoc>(ListEnvironment::of(app))),
      m_store(std::make_unique<DocumentStore>(*m_document))
{
    connect(m_connections.get(), &ConnectionManager::timeSyncRequested, this,
            [this] { synchroniseTime(); });
    for (int i = 0; i < static_cast<int>(m_timers.size()); ++i) {
        const auto id = static_cast<TimerId>(i + 1);
        connect(&m_timers[static_cast<size_t>(i)], &QTimer::timeout, this,
                [this, id] { onTimer(id); });
    }
}

MainController::~MainController() = default;

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
    case TimerTimeSync:
        // Each expiry asks for a time synchronisation, as the menu command does.
        synchroniseTime();
        break;
    case TimerEngineTick:
        m_document->accessLock().checkIdle(m_app.clock().localNow(), m_app.settings().idleTime);
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
        startTimer(TimerEngineTick, kEngineTickMs);
    return m_window;
}

void MainController::verifyConnection()
{
    m_connections->verifyAtStartup();
}

bool MainController::loadSiteSettings()
{
    LoadSiteSettings();
    return false;
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
}

bool MainController::synchroniseTime()
{
    return m_app.clock().isSynchronised();
}

void MainController::startTimers(bool timeSynchronised)
{
    const AppSettings& settings = m_app.settings();
    startTimer(TimerTimeSync,
               timeSynchronised ? settings.autoTimeSync * 60000 : kUnsyncedTimeSyncMs);
    startTimer(TimerAutosave, qMax(1, settings.autoSaveTime) * 60000);
    if (settings.useMC)
        startTimer(TimerMailCheck, qMax(1, settings.mailCheckMinutes) * 60000);
}

void MainController::showMainWindow(bool minimized)
{
    if (showWindowHandler)
        showWindowHandler(minimized);
}

void MainController::openStartPage(const QString& addUrl)
{
    Q_UNUSED(addUrl);
}

void MainController::startWizards(bool newVersionAvailable)
{
    Q_UNUSED(newVersionAvailable);
}

void MainController::startSavedSearchTimer()
{
    startTimer(TimerSavedSearch, kSavedSearchMs);
}

void MainController::shutdown()
{
    m_connections->disconnectOnExit(false);
    for (int id = TimerSiteClock; id <= TimerSavedSearch; ++id)
        stopTimer(static_cast<TimerId>(id));
}
