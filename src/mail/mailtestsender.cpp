#include "mail/mailtestsender.h"

#include "app/programlog.h"
#include "mail/smtp.h"

namespace {

// Keeps the dialogue for the transcript.
class RecordingSmtp : public CSmtp
{
public:
    QStringList lines;

protected:
    void ReportReply(const QByteArray& command, int code, const QString& reply) override
    {
        Q_UNUSED(code);
        if (!command.isEmpty()) {
            const QByteArray trimmed = command.trimmed();
            // The mail text itself is long and holds nothing about the server.
            if (trimmed.contains('\n') || trimmed.size() > 200)
                lines << QStringLiteral("> (the mail, %1 bytes)").arg(command.size());
            else
                lines << QStringLiteral("> ") + QString::fromUtf8(trimmed);
        }
        for (const QString& line : reply.split(QStringLiteral("\r\n")))
            lines << QStringLiteral("< ") + line.left(300);
    }
};

} // namespace

MailTestSender::MailTestSender(SmtpAccount account, QString programName, ProgramLog* log)
    : m_account(std::move(account)), m_programName(std::move(programName)), m_log(log)
{
    qRegisterMetaType<MailTestResult>();
}

void MailTestSender::run()
{
    Q_EMIT finished(send(m_account, m_programName, m_log));
}

OutgoingMail MailTestSender::testMail(const SmtpAccount& account, const QString& programName)
{
    OutgoingMail mail;
    mail.subject = QStringLiteral("Zaru Vuzarovuz: test mail");
    mail.body = QStringLiteral("This test mail was sent by %1 through %2, port %3.\r\n"
                               "Notifications and the bids list will arrive the same way.\r\n")
                    .arg(programName, account.host)
                    .arg(account.port);
    return mail;
}

MailTestResult MailTestSender::send(const SmtpAccount& account, const QString& programName,
                                    ProgramLog* log)
{
    MailTestResult result;
    if (account.host.trimmed().isEmpty()) {
        result.send.outcome = MailSendResult::ConnectFailed;
        result.send.code = -1;
        result.summary = QStringLiteral("No SMTP server is set.");
        return result;
    }
    if (account.recipient.trimmed().isEmpty() || account.sender.trimmed().isEmpty()) {
        result.send.outcome = MailSendResult::SendFailed;
        result.send.code = -1;
        result.summary = QStringLiteral("Both the sender and the recipient address are needed.");
        return result;
    }
    RecordingSmtp smtp;
    result.send = MailSendJob::send(smtp, account, testMail(account, programName), log);
    result.transcript = smtp.lines;
    if (result.send.ok()) {
        result.summary = QStringLiteral("The test mail was sent to %1.").arg(account.recipient);
        if (log)
            log->write(QStringLiteral("Zaru Vuzarovuz: ") + result.summary, ProgramLog::Success);
    } else if (result.send.outcome == MailSendResult::ConnectFailed) {
        result.summary = QStringLiteral("No connection to %1, port %2: %3")
                             .arg(account.host)
                             .arg(account.port)
                             .arg(result.send.detail.isEmpty() ? QStringLiteral("no answer")
                                                               : result.send.detail);
    } else {
        result.summary = QStringLiteral("The server refused the mail: %1")
                             .arg(result.send.detail.isEmpty() ? QStringLiteral("connection lost")
                                                               : result.send.detail);
    }
    return result;
}
