#include "mail/mailsender.h"

#include "app/appcontext.h"
#include "app/workerthread.h"
#include "mail/smtp.h"

MailSender::MailSender(AppContext& app, QObject* parent)
    : QObject(parent), m_app(app), m_replyTimeoutMs(CSmtp::kReplyTimeoutMs)
{
}

MailSender::~MailSender()
{
    for (const auto& thread : m_threads)
        thread->detach();
}

void MailSender::send(OutgoingMail mail)
{
    SmtpAccount account = SmtpAccount::fromSettings(*m_app.settingsSnapshot());
    if (m_security)
        account.security = *m_security;
    account.replyTimeoutMs = m_replyTimeoutMs;
    auto job = std::make_unique<MailSendJob>(std::move(account), std::move(mail), &m_app.log());
    auto thread = std::make_unique<WorkerThread>(QStringLiteral("Mail send"));
    WorkerThread* raw = thread.get();
    connect(job.get(), &MailSendJob::finished, this,
            [this, raw](const MailSendResult& result) { jobDone(raw, result); });
    MailSendJob* started = thread->start(std::move(job));
    thread->post([started] { started->run(); });
    m_threads.push_back(std::move(thread));
}

void MailSender::jobDone(WorkerThread* thread, const MailSendResult& result)
{
    for (auto it = m_threads.begin(); it != m_threads.end(); ++it) {
        if (it->get() == thread) {
            (*it)->stop();
            m_threads.erase(it);
            break;
        }
    }
    Q_EMIT finished(result);
}
