#pragma once

#include "mail/mailsecurity.h"
#include "mail/mailsocket.h"

#include <QByteArray>
#include <QString>

class MailMessage;

// A synchronous SMTP client: EHLO (HELO when refused), optional AUTH LOGIN, MAIL FROM,
// RCPT TO, DATA. Each reply is awaited at most the reply time-out (30 s); results are
// SMTP reply codes, so that the caller can log the server's own words on failure.
//
// The virtual Report... hooks let a caller watch or steer the dialogue; the defaults do
// nothing. Credentials never reach a hook: their command text is given as "***".
//
// Thread contract: one thread uses an object from Connect() to Close().
class CSmtp
{
public:
    static constexpr int kReplyTimeoutMs = 30000;
    // How often MAIL FROM is sent again after "530 authentication required".
    static constexpr int kMaxAuthRounds = 2;
    // How often a refused credential may start AUTH LOGIN again.
    static constexpr int kMaxAuthRestarts = 3;
    static constexpr qsizetype kSendPiece = 1024;

    CSmtp();
    virtual ~CSmtp();

    CSmtp(const CSmtp&) = delete;
    CSmtp& operator=(const CSmtp&) = delete;

    // Each reply, the TCP connect, the TLS handshake and a blocked send get this long.
    void setReplyTimeout(int milliseconds) { m_replyTimeoutMs = milliseconds; }
    // An empty user name means no authentication.
    void setAuth(const QString& user, const QString& password);

    // Connects to `host` on `port` (0: the port from the services database), reads the
    // greeting, says hello, and authenticates when the server speaks ESMTP. With TLS the
    // whole dialogue is encrypted (implicit) or STARTTLS follows EHLO and EHLO is repeated.
    bool Connect(const QString& host, int port = 0, const MailSecurity& security = {});
    // 0 on success; -1 with no sender or no recipient, a lost connection, a time-out or a
    // reply that is no SMTP reply; otherwise the reply code of the step that failed.
    int SendMessage(MailMessage& message);
    // QUIT when connected, then the socket is shut down and closed.
    void Close();
    // The server's last reply without its final line end.
    QString LastReply() const { return m_lastReply; }
    // Why the last Connect() failed when no server reply tells: lookup, TCP or TLS.
    QString connectError() const { return m_connectError; }

    bool isConnected() const { return m_connected; }
    bool isEsmtp() const { return m_esmtp; }
    bool isEncrypted() const { return m_socket.isEncrypted(); }
    int port() const { return m_port; }

protected:
    // A refused recipient, a refused AUTH LOGIN, or 535 for a credential; for the last a
    // non-zero result starts AUTH LOGIN again.
    virtual int ReportAuthOrRecipientRefusal(int code, const QString& reply);
    // Every other failed step.
    virtual int ReportFailure(int code, const QString& reply);
    // After every reply read; `command` is empty for the greeting.
    virtual void ReportReply(const QByteArray& command, int code, const QString& reply);
    // After each piece of a command longer than one piece; 0 aborts the send.
    virtual int ReportSendProgress(const QByteArray& command, qint64 sent, qint64 total);

private:
    // Sends `command` (none when empty) and reads the reply: its code, or -1.
    int SendCommand(const QByteArray& command, bool secret = false);
    bool hello();
    int authenticate();
    bool startTls(const QString& host, const MailSecurity& security);
    void discardPending();
    void closeSocket();
    bool failConnect(int code);

    MailSocket m_socket;
    bool m_useEhlo = true;
    int m_replyTimeoutMs = kReplyTimeoutMs;
    int m_port = 25;
    QString m_user;
    QString m_password;
    QString m_lastReply;
    QString m_connectError;
    bool m_connected = false;
    bool m_esmtp = false;
};
