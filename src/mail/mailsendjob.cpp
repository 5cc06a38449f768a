#include "mail/mailsendjob.h"

#include "app/programlog.h"
#include "app/stringtable.h"
#include "mail/mailmessage.h"
#include "mail/smtp.h"

namespace {

// One log line of what the server said: no line breaks, no endless garbage.
QString oneLine(const QString& text)
{
    QString line = text.left(300);
    for (QChar& c : line) {
        if (c.unicode() < 32)
            c = QLatin1Char(' ');
    }
    return line;
}

} // namespace

MailSendJob::MailSendJob(SmtpAccount account, OutgoingMail mail, ProgramLog* log)
    : m_account(std::move(account)), m_mail(std::move(mail)), m_log(log)
{
}

void MailSendJob::run()
{
    Q_EMIT finished(send(m_account, m_mail, m_log));
}

MailSendResult MailSendJob::send(const SmtpAccount& account, const OutgoingMail& mail,
                                 ProgramLog* log)
{
    CSmtp smtp;
    return send(smtp, account, mail, log);
}

MailSendResult MailSendJob::send(CSmtp& smtp, const SmtpAccount& account, const OutgoingMail& mail,
                                 ProgramLog* log)
{
    smtp.setReplyTimeout(account.replyTimeoutMs);
    smtp.setAuth(account.user, account.password);

    MailMessage message;
    MailTextPart part;
    part.contentType = QStringLiteral("text/plain");
    part.charset = MailTextPart::charsetFor(mail.body);
    part.text = mail.body;
    message.senderName = StringTable::text(396);
    message.senderAddress = account.sender;
    message.recipientAddress = account.recipient;
    message.subject = mail.subject;
    message.parts.push_back(part);
    message.attachments = mail.attachments;

    MailSendResult result;
    if (!smtp.Connect(account.host, account.port, account.security)) {
        result.outcome = MailSendResult::ConnectFailed;
        result.code = -1;
        result.detail =
            oneLine(smtp.connectError().isEmpty() ? smtp.LastReply() : smtp.connectError());
        if (log) {
            log->message(StringTable::text(403), ProgramLog::Error);
            if (!result.detail.isEmpty())
                log->write(QStringLiteral("SMTP: ") + result.detail, ProgramLog::Error);
        }
        return result;
    }
    result.code = smtp.SendMessage(message);
    if (result.code != 0) {
        result.outcome = MailSendResult::SendFailed;
        result.detail = oneLine(smtp.LastReply());
        if (log && result.code == -1) {
            log->message(StringTable::text(402), ProgramLog::Error);
            if (!result.detail.isEmpty())
                log->write(QStringLiteral("SMTP: ") + result.detail, ProgramLog::Error);
        } else if (log) {
            log->message(result.detail, ProgramLog::Error);
        }
    }
    smtp.Close();
    return result;
}
