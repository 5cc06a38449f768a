#include "engine/connectionmanager.h"

#include "app/appcontext.h"
#include "app/imainwindow.h"
#include "app/stringtable.h"
#include "engine/connectivityprobe.h"
#include "engine/processrunner.h"
#include "sites/siteaccess.h"
#include "web/downloadcounter.h"
#include "web/urlsource.h"

#include <QElapsedTimer>
#include <QThread>

namespace {

std::atomic<ConnectionManager*> g_current{nullptr};

constexpr int kLinkPollMs = 250;

} // namespace

ConnectionManager::ConnectionManager(AppContext& app, std::shared_ptr<IConnectivityProbe> probe,
                                     std::shared_ptr<IProcessRunner> runner, QObject* parent)
    : QObject(parent), m_app(app),
      m_probe(probe ? std::move(probe) : std::make_shared<ConnectivityProbe>()),
      m_runner(runner ? std::move(runner) : std::make_shared<ProcessRunner>()), m_dialUp(*m_runner)
{
    g_current.store(this);
    IInternetAccess::setCurrent(this);
}

ConnectionManager::~ConnectionManager()
{
    m_stopping = true;
    joinDialThread();
    ConnectionManager* self = this;
    g_current.compare_exchange_strong(self, nullptr);
    if (IInternetAccess::current() == this)
        IInternetAccess::setCurrent(nullptr);
}

ConnectionManager* ConnectionManager::current()
{
    return g_current.load();
}

IConnectivityProbe::State ConnectionManager::query()
{
    IConnectivityProbe::State state = m_probe->query();
    if (m_app.settings().useProxy)
        state.flags |= IConnectivityProbe::Proxy;
    if (m_offline.load()) {
        state.flags |= IConnectivityProbe::Offline;
        if (state.errorText.isEmpty())
            state.errorText = QStringLiteral("The program works offline.");
    }
    if ((state.flags & IConnectivityProbe::ModemBusy) && state.errorText.isEmpty())
        state.errorText = QStringLiteral("The modem is busy.");
    return state;
}

bool ConnectionManager::linkUp()
{
    const IConnectivityProbe::State state = m_probe->query();
    return state.succeeded &&
           (state.flags & (IConnectivityProbe::Modem | IConnectivityProbe::Lan)) != 0;
}

bool ConnectionManager::testConnection()
{
    const IConnectivityProbe::State state = query();
    ProgramLog& log = m_app.log();
    const unsigned trouble = IConnectivityProbe::ModemBusy | IConnectivityProbe::Offline;
    if (!state.succeeded || (state.flags & trouble)) {
        log.write(state.errorText, ProgramLog::Error);
        log.write(StringTable::text(435), ProgramLog::Error);
        log.write(QString::asprintf("InternetGetConnectedState  = 0x%x (FALSE)", state.flags),
                  ProgramLog::Warning);
        if (state.flags == 0) {
            log.write(state.errorText, ProgramLog::Error);
            return false;
        }
    }
    return true;
}

bool ConnectionManager::ensureConnection()
{
    if (testConnection())
        return true;
    const AppSettings& settings = m_app.settings();
    const QString entry = settings.phoneEntry.trimmed();
    if (!settings.dialUp || entry.isEmpty() || m_dialInProgress.load())
        return false;
    const unsigned trouble = IConnectivityProbe::ModemBusy | IConnectivityProbe::Offline;
    if (query().flags & trouble)
        return false;
    // Several threads may ask at once; only one of them dials.
    bool idle = false;
    if (!m_dialInProgress.compare_exchange_strong(idle, true))
        return false;
    std::lock_guard<std::mutex> lock(m_threadMutex);
    if (m_dialThread.joinable())
        m_dialThread.join();
    m_dialThread = std::thread(&ConnectionManager::dialJob, this, entry);
    return false;
}

void ConnectionManager::dialJob(QString entry)
{
    ProgramLog& log = m_app.log();
    QString error;
    bool dialled = m_dialUp.dial(entry, &error);
    if (dialled) {
        // pon returns once pppd runs; the link itself takes a while longer.
        QElapsedTimer waited;
        waited.start();
        while (!linkUp() && !m_stopping.load() && waited.elapsed() < m_linkWaitMs.load())
            QThread::msleep(kLinkPollMs);
        if (!linkUp()) {
            dialled = false;
            error = QStringLiteral("The link of '%1' did not come up within %2 s.")
                        .arg(entry)
                        .arg(m_linkWaitMs.load() / 1000);
            QString ignored;
            m_dialUp.hangUp(entry, &ignored);
        }
    }
    if (!dialled) {
        log.message(QString::asprintf(StringTable::text(220).toUtf8().constData(),
                                      entry.toUtf8().constData()),
                    ProgramLog::Error);
        log.write(error, ProgramLog::Error);
        // A later connect time may try again.
        m_dialInProgress = false;
        return;
    }
    {
        std::lock_guard<std::mutex> lock(m_lineMutex);
        m_dialledEntry = entry;
    }
    // One request wakes the new line; without an answer the line is not usable yet.
    const QString wake = getUrlSource(LookupSiteKey(QStringLiteral("%s_URL_TimeSync")), false);
    if (wake.isEmpty()) {
        m_dialInProgress = false;
        return;
    }
    log.write(StringTable::text(448), ProgramLog::Success);
    m_manual = false;
    m_dialInProgress = false;
    if (!m_app.clock().isSynchronised()) {
        LoadSiteSettings();
        Q_EMIT timeSyncRequested();
        Q_EMIT startPageRequested();
    }
}

bool ConnectionManager::goOnline(const QString&)
{
    return !m_offline.load();
}

bool ConnectionManager::verifyAtStartup()
{
    const bool connected = testConnection();
    m_manual = connected;
    return connected;
}

bool ConnectionManager::holdsDialConnection() const
{
    std::lock_guard<std::mutex> lock(m_lineMutex);
    return !m_dialledEntry.isEmpty();
}

bool ConnectionManager::hangUp()
{
    QString entry;
    {
        std::lock_guard<std::mutex> lock(m_lineMutex);
        entry = m_dialledEntry;
    }
    if (entry.isEmpty() || !m_probe->query().succeeded)
        return false;
    ProgramLog& log = m_app.log();
    QString error;
    if (!m_dialUp.hangUp(entry, &error)) {
        log.message(StringTable::text(276), ProgramLog::Error);
        log.write(error, ProgramLog::Error);
        return false;
    }
    {
        std::lock_guard<std::mutex> lock(m_lineMutex);
        m_dialledEntry.clear();
    }
    log.message(StringTable::text(275), ProgramLog::Warning);
    return true;
}

bool ConnectionManager::askAutoDisconnect()
{
    if (DownloadCounter::running() > 0 || !holdsDialConnection())
        return false;
    IMainWindow::Question question;
    question.caption = QStringLiteral("Auto-disconnect");
    question.text = QStringLiteral("You may now disconnect...");
    question.buttons = IMainWindow::Buttons::OkCancel;
    question.icon = IMainWindow::Icon::Question;
    question.defaultAnswer = IMainWindow::AnswerOk;
    question.countdownSeconds = kAutoDisconnectSeconds;
    IMainWindow* window = m_app.mainWindow();
    const int answer = window ? window->ask(question) : question.defaultAnswer;
    if (answer == IMainWindow::AnswerOk || answer == IMainWindow::AnswerYes)
        return hangUp();
    m_manual = true;
    return false;
}

void ConnectionManager::disconnectOnExit(bool sessionEnding)
{
    if (!m_app.settings().dialUp || !holdsDialConnection() || !m_probe->query().succeeded)
        return;
    if (sessionEnding) {
        hangUp();
        return;
    }
    IMainWindow::Question question;
    question.text = StringTable::text(242);
    question.caption = AppContext::applicationTitle();
    question.buttons = IMainWindow::Buttons::YesNo;
    question.icon = IMainWindow::Icon::Question;
    question.defaultAnswer = IMainWindow::AnswerYes;
    IMainWindow* window = m_app.mainWindow();
    if ((window ? window->ask(question) : question.defaultAnswer) == IMainWindow::AnswerYes)
        hangUp();
}

bool ConnectionManager::waitForDialJob(int milliseconds)
{
    QElapsedTimer waited;
    waited.start();
    while (m_dialInProgress.load()) {
        if (waited.elapsed() >= milliseconds)
            return false;
        QThread::msleep(10);
    }
    joinDialThread();
    return true;
}

void ConnectionManager::joinDialThread()
{
    std::lock_guard<std::mutex> lock(m_threadMutex);
    if (m_dialThread.joinable())
        m_dialThread.join();
}
