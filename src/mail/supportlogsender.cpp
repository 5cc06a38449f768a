#include "mail/supportlogsender.h"

#include "app/appcontext.h"
#include "app/imainwindow.h"
#include "app/workerthread.h"

#include <QCoreApplication>

SupportLogSender::SupportLogSender(AppContext& app, QObject* parent) : QObject(parent), m_app(app)
{
}

SupportLogSender::~SupportLogSender()
{
    // A mail on its way is not cut short; its result goes nowhere.
    if (m_thread)
        m_thread->detach();
}

bool SupportLogSender::sendWithConsent()
{
    if (m_thread)
        return false;
    IMainWindow* window = m_app.mainWindow();
    if (window) {
        IMainWindow::Question question;
        question.text = LogMailer::consentText();
        question.caption = AppContext::applicationTitle();
        question.buttons = IMainWindow::Buttons::OkCancel;
        question.icon = IMainWindow::Icon::Information;
        question.defaultAnswer = IMainWindow::AnswerOk;
        if (window->ask(question) != IMainWindow::AnswerOk)
            return false;
    }
    const AppSettings& settings = m_app.settings();
    auto mailer = std::make_unique<LogMailer>(
        LogMailer::supportAccount(SmtpAccount::fromSettings(settings), settings.email,
                                  m_app.machineRegistry()),
        m_app.log().path(), QCoreApplication::applicationName(), m_app.versionText(), &m_app.log());
    connect(mailer.get(), &LogMailer::finished, this, &SupportLogSender::done);
    m_thread = std::make_unique<WorkerThread>(QStringLiteral("Send log"));
    LogMailer* running = m_thread->start(std::move(mailer));
    m_thread->post([running] { running->run(); });
    Q_EMIT started();
    return true;
}

void SupportLogSender::done(const LogMailResult& result)
{
    m_thread.reset();
    Q_EMIT finished(result);
    if (IMainWindow* window = m_app.mainWindow()) {
        IMainWindow::Question question;
        question.text = result.message;
        question.caption = AppContext::applicationTitle();
        question.icon = result.ok ? IMainWindow::Icon::Information : IMainWindow::Icon::Error;
        window->ask(question);
    }
}
