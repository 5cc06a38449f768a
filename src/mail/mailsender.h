#pragma once

#include "mail/mailsecurity.h"
#include "mail/mailsendjob.h"
#include "mail/outgoingmail.h"

#include <QObject>
#include <memory>
#include <optional>
#include <vector>

class AppContext;
class WorkerThread;

// Starts one send thread per outgoing mail. The SMTP settings are read from the published
// settings snapshot when send() is called; several mails may be in flight at once, each on
// its own connection.
//
// Thread contract: made, used and destroyed on one thread with an event loop (the window
// thread); finished() arrives there. Mails still being sent when it is destroyed finish on
// their own threads.
class MailSender : public QObject
{
    Q_OBJECT

public:
    explicit MailSender(AppContext& app, QObject* parent = nullptr);
    ~MailSender() override;

    // TLS for every mail sent from now on, in place of the smtpSecurity setting.
    void setSecurity(const MailSecurity& security) { m_security = security; }
    void setReplyTimeout(int milliseconds) { m_replyTimeoutMs = milliseconds; }

    void send(OutgoingMail mail);
    int sending() const { return static_cast<int>(m_threads.size()); }

Q_SIGNALS:
    void finished(const MailSendResult& result);

private:
    void jobDone(WorkerThread* thread, const MailSendResult& result);

    AppContext& m_app;
    std::optional<MailSecurity> m_security;
    int m_replyTimeoutMs;
    std::vector<std::unique_ptr<WorkerThread>> m_threads;
};
