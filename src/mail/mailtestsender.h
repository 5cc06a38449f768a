#pragma once

#include "mail/mailsendjob.h"
#include "mail/smtpaccount.h"

#include <QMetaType>
#include <QObject>
#include <QStringList>

class ProgramLog;

// How the test mail went, with the dialogue as the server saw it.
struct MailTestResult
{
    MailSendResult send;
    // "> COMMAND" and "< REPLY" lines; credentials shown as "***", the mail itself by size.
    QStringList transcript;
    // One line for the user: sent, or why not.
    QString summary;

    bool ok() const { return send.ok(); }
};
Q_DECLARE_METATYPE(MailTestResult)

// "Test mail sending": one mail to the notification recipient through the given SMTP
// account, so that the user sees whether notifications would arrive.
//
// As a worker it lives on a send thread of its own; run() emits finished().
class MailTestSender : public QObject
{
    Q_OBJECT
public:
    MailTestSender(SmtpAccount account, QString programName, ProgramLog* log);

    void run();

    // On the calling thread.
    static MailTestResult send(const SmtpAccount& account, const QString& programName,
                               ProgramLog* log);
    static OutgoingMail testMail(const SmtpAccount& account, const QString& programName);

Q_SIGNALS:
    void finished(const MailTestResult& result);

private:
    SmtpAccount m_account;
    QString m_programName;
    ProgramLog* m_log;
};
