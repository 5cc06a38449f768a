#pragma once

#include "mail/outgoingmail.h"
#include "mail/smtpaccount.h"

#include <QMetaType>
#include <QObject>
#include <QString>

class CSmtp;
class ProgramLog;

// How the sending of one mail ended.
struct MailSendResult
{
    enum Outcome
    {
        Sent,
        // No session: lookup, TCP, TLS, greeting, hello or authentication failed.
        ConnectFailed,
        // The session ran but the mail was not accepted.
        SendFailed
    };
    Outcome outcome = Sent;
    // SendMessage's result: 0, -1 or the failed step's reply code.
    int code = 0;
    // The server's last reply or why the connection failed; never a credential.
    QString detail;

    bool ok() const { return outcome == Sent; }
};
Q_DECLARE_METATYPE(MailSendResult)

// Sends one mail: one plain-text part from "Zaru Vuzarovuz" at the account's sender to its
// recipient, with the attachments; connect, send, close. Failures go to the log as errors
// (and the main window's message list): "SMTP error occurred..." when no session came
// about, "SMTP internal error occurred..." or the server's reply when the mail was refused.
//
// As a worker it lives on its own send thread (see MailSender); run() emits finished().
class MailSendJob : public QObject
{
    Q_OBJECT

public:
    MailSendJob(SmtpAccount account, OutgoingMail mail, ProgramLog* log);

    void run();

    // The same, on the calling thread.
    static MailSendResult send(const SmtpAccount& account, const OutgoingMail& mail,
                               ProgramLog* log);
    // With a client of the caller's (one that watches the dialogue).
    static MailSendResult send(CSmtp& smtp, const SmtpAccount& account, const OutgoingMail& mail,
                               ProgramLog* log);

Q_SIGNALS:
    void finished(const MailSendResult& result);

private:
    SmtpAccount m_account;
    OutgoingMail m_mail;
    ProgramLog* m_log;
};
