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
#include <QEventLoop>
#include <QThread>
#include <QTimer>

namespace {

std::atomic<ConnectionManager*> g_current{nullptr};

constexpr int kLinkPollMs = 250;

} // namespace

// The manager's dial job on its dial thread: runs pon, waits for the link with a poll timer
// (so that stopping the thread ends the wait at once), then sends the wake-up request. It
// shares only the probe and the process runner with the manager.
class DialWorker : public QObject
{
    Q_OBJECT
public:
    DialWorker(std::shared_ptr<IConnectivityProbe> probe, std::shared_ptr<IProcessRunner> runner,
               const QString& peersFolder);
    ~DialWorker() override;

    void dial(const QString& entry, const QString& wakeUrl, int linkWaitMs);

Q_SIGNALS:
    // The link of `entry` came up: the program holds a line from now on.
    void lineUp(const QString& entry);
    // The job is over. `error` says why a dial failed; `woke` is true when the wake-up
    // request was answered.
    void ended(const QString& entry, bool dialled, const QString& error, bool woke);

private:
    void checkLink();
    bool linkUp();

    std::shared_ptr<IConnectivityProbe> m_probe;
    std::shared_ptr<IProcessRunner> m_runner;
    DialUpConnection m_dialUp;
    QTimer m_poll{this};
    QElapsedTimer m_waited;
    QString m_entry; // the entry whose link is awaited; empty otherwise
    QString m_wakeUrl;
    int m_linkWaitMs = 0;
};

DialWorker::DialWorker(std::shared_ptr<IConnectivityProbe> probe,
                       std::shared_ptr<IProcessRunner> runner, const QString& peersFolder)
    : m_probe(std::move(probe)), m_runner(std::move(runner)), m_dialUp(*m_runner, peersFolder)
{
    m_poll.setInterval(kLinkPollMs);
    connect(&m_poll, &QTimer::timeout, this, &DialWorker::checkLink);
}

DialWorker::~DialWorker()
{
    // Stopped while the link came up: pppd would go on dialling for a program that is gone.
    if (!m_entry.isEmpty()) {
        QString ignored;
        m_dialUp.hangUp(m_entry, &ignored);
        AppContext::logWrite(
            QStringLiteral("Dialling '%1' was stopped before the link came up.").arg(m_entry),
            ProgramLog::Warning);
    }
}

bool DialWorker::linkUp()
{
    const IConnectivityProbe::State state = m_probe->query();
    return state.succeeded &&
           (state.flags & (IConnectivityProbe::Modem | IConnectivityProbe::Lan)) != 0;
}

void DialWorker::dial(const QString& entry, const QString& wakeUrl, int linkWaitMs)
{
    Q_ASSERT(QThread::currentThread() == thread());
    QString error;
    if (!m_dialUp.dial(entry, &error)) {
        Q_EMIT ended(entry, false, error, false);
        return;
    }
    // pon returns once pppd runs; the link itself takes a while longer.
    m_entry = entry;
    m_wakeUrl = wakeUrl;
    m_linkWaitMs = linkWaitMs;
    m_waited.start();
    checkLink();
}

void DialWorker::checkLink()
{
    Q_ASSERT(QThread::currentThread() == thread());
    if (m_entry.isEmpty())
        return;
    const bool up = linkUp();
    if (!up && m_waited.elapsed() < m_linkWaitMs) {
        if (!m_poll.isActive())
            m_poll.start();
        return;
    }
    m_poll.stop();
    const QString entry = std::exchange(m_entry, QString());
    if (!up) {
        QString ignored;
        m_dialUp.hangUp(entry, &ignored);
        Q_EMIT ended(entry, false,
                     QStringLiteral("The link of '%1' did not come up within %2 s.")
                         .arg(entry)
                         .arg(m_linkWaitMs / 1000),
                     false);
        return;
    }
    Q_EMIT lineUp(entry);
    // One request wakes the new line; without an answer the line is not usable yet. A
    // manager going away does not wait for it.
    const bool woke = !QThread::currentThread()->isInterruptionRequested() &&
                      !getUrlSource(m_wakeUrl, false).isEmpty();
    Q_EMIT ended(entry, true, QString(), woke);
}

ConnectionManager::ConnectionManager(AppContext& app, std::shared_ptr<IConnectivityProbe> probe,
                                     std::shared_ptr<IProcessRunner> runner, QObject* parent)
    : QObject(parent), m_app(app),
      m_probe(probe ? std::move(probe) : std::make_shared<ConnectivityProbe>()),
      m_runner(runner ? std::move(runner) : std::make_shared<ProcessRunner>()), m_dialUp(*m_runner),
      m_dialThread(QStringLiteral("dial"))
{
    auto dialer = std::make_unique<DialWorker>(m_probe, m_runner, m_dialUp.peersFolder());
    connect(dialer.get(), &DialWorker::lineUp, this, &ConnectionManager::recordLine,
            Qt::QueuedConnection);
    connect(dialer.get(), &DialWorker::ended, this, &ConnectionManager::dialEnded,
            Qt::QueuedConnection);
    // Started before the manager is published, so every thread that finds it can dial.
    m_dialer = m_dialThread.start(std::move(dialer));
    g_current.store(this);
    IInternetAccess::setCurrent(this);
}

ConnectionManager::~ConnectionManager()
{
    Q_ASSERT(QThread::currentThread() == thread());
    // No new download finds the manager; then the dial job in progress ends.
    ConnectionManager* self = this;
    g_current.compare_exchange_strong(self, nullptr);
    if (IInternetAccess::current() == this)
        IInternetAccess::setCurrent(nullptr);
    m_dialThread.stop();
}

ConnectionManager* ConnectionManager::current()
{
    return g_current.load();
}

IConnectivityProbe::State ConnectionManager::query()
{
    IConnectivityProbe::State state = m_probe->query();
    if (m_app.settingsSnapshot()->useProxy)
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
    // Downloads ask from any thread: the published settings, never the window's.
    const std::shared_ptr<const AppSettings> settings = m_app.settingsSnapshot();
    const QString entry = settings->phoneEntry.trimmed();
    if (!settings->dialUp || entry.isEmpty() || m_dialInProgress.load())
        return false;
    const unsigned trouble = IConnectivityProbe::ModemBusy | IConnectivityProbe::Offline;
    if (query().flags & trouble)
        return false;
    // Several threads may ask at once; only one of them dials.
    bool idle = false;
    if (!m_dialInProgress.compare_exchange_strong(idle, true))
        return false;
    const QString wakeUrl = LookupSiteKey(QStringLiteral("%s_URL_TimeSync"));
    const int linkWaitMs = m_linkWaitMs.load();
    DialWorker* dialer = m_dialer;
    if (!m_dialThread.post(
            [dialer, entry, wakeUrl, linkWaitMs] { dialer->dial(entry, wakeUrl, linkWaitMs); }))
        m_dialInProgress = false; // the manager is going away
    return false;
}

void ConnectionManager::recordLine(const QString& entry)
{
    Q_ASSERT(QThread::currentThread() == thread());
    std::lock_guard<std::mutex> lock(m_lineMutex);
    m_dialledEntry = entry;
}

void ConnectionManager::dialEnded(const QString& entry, bool dialled, const QString& error,
                                  bool woke)
{
    Q_ASSERT(QThread::currentThread() == thread());
    ProgramLog& log = m_app.log();
    if (!dialled) {
        log.message(QString::asprintf(StringTable::text(220).toUtf8().constData(),
                                      entry.toUtf8().constData()),
                    ProgramLog::Error);
        log.write(error, ProgramLog::Error);
    } else if (woke) {
        log.write(StringTable::text(448), ProgramLog::Success);
        m_manual = false;
    }
    // A failed dial may be tried again at a later connect time.
    m_dialInProgress = false;
    if (woke && !m_app.clock().isSynchronised()) {
        LoadSiteSettings();
        Q_EMIT timeSyncRequested();
        Q_EMIT startPageRequested();
    }
    if (m_dialWait)
        m_dialWait->quit();
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
    Q_ASSERT(QThread::currentThread() == thread());
    if (!m_dialInProgress.load())
        return true;
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    QEventLoop* outer = std::exchange(m_dialWait, &loop);
    loop.exec();
    m_dialWait = outer;
    return !m_dialInProgress.load();
}

#include "connectionmanager.moc"
