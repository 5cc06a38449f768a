#include "search/startupsearchrunner.h"

#include "app/appcontext.h"
#include "app/imainwindow.h"
#include "app/workerthread.h"
#include "search/startupsearchcheck.h"

#include <QThread>

// Loads the planned searches on the check's thread.
class StartupSearchWorker : public QObject
{
    Q_OBJECT
public:
    void run(const StartupSearchCheck::Plan& plan)
    {
        const QStringList found = StartupSearchCheck::run(
            plan, [] { return QThread::currentThread()->isInterruptionRequested(); });
        if (!QThread::currentThread()->isInterruptionRequested())
            Q_EMIT done(found);
    }

Q_SIGNALS:
    void done(const QStringList& found);
};

StartupSearchRunner::StartupSearchRunner(AppContext& app, const SiteSettings& sites,
                                         QObject* parent)
    : QObject(parent), m_app(app), m_sites(sites)
{
}

StartupSearchRunner::~StartupSearchRunner()
{
    // A download cannot be cut short: the thread ends after it, and its result goes nowhere.
    if (m_thread && m_running)
        m_thread->detach();
}

void StartupSearchRunner::start()
{
    if (m_running)
        return;
    // The settings are read here, so that the thread touches nothing but the network.
    const StartupSearchCheck::Plan plan =
        StartupSearchCheck::plan(m_app.userRegistry(), m_app.machineRegistry(), m_sites);
    if (plan.searches.isEmpty()) {
        Q_EMIT finished(QString());
        return;
    }
    auto worker = std::make_unique<StartupSearchWorker>();
    connect(worker.get(), &StartupSearchWorker::done, this, &StartupSearchRunner::report);
    m_thread = std::make_unique<WorkerThread>(QStringLiteral("saved searches"));
    StartupSearchWorker* running = m_thread->start(std::move(worker));
    m_running = true;
    m_thread->post([running, plan] { running->run(plan); });
}

void StartupSearchRunner::report(const QStringList& found)
{
    m_running = false;
    m_thread.reset();
    const QString message = StartupSearchCheck::message(found);
    if (!message.isEmpty()) {
        if (IMainWindow* window = m_app.mainWindow()) {
            IMainWindow::Question question;
            question.text = message;
            question.caption = AppContext::applicationTitle();
            question.icon = IMainWindow::Icon::Information;
            window->ask(question);
        }
    }
    Q_EMIT finished(message);
}

#include "startupsearchrunner.moc"
