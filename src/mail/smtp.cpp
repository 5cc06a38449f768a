#include "mail/smtp.h"

#include "mail/mailmessage.h"
#include "mail/mimeencoding.h"
#include "mail/smtpreplyreader.h"

#include <QDeadlineTimer>
#include <QSysInfo>

#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>

namespace {

// The name said in EHLO: the machine's host name when it is a plain DNS name.
QByteArray helloName()
{
    const QByteArray name = QSysInfo::machineHostName().left(64).toLatin1();
    for (const char c : name) {
        const bool fine = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                          (c >= '0' && c <= '9') || c == '-' || c == '.';
        if (!fine)
            return "localhost";
    }
    return name.isEmpty() ? QByteArray("localhost") : name;
}

// An address that could carry a second command or leave its angle brackets.
bool isUnsafeAddress(const QString& address)
{
    for (const QChar c : address) {
        if (c.unicode() < 32 || c.unicode() == 127 || c == QLatin1Char('<') ||
            c == QLatin1Char('>'))
            return true;
    }
    return false;
}

enum LoginPrompt
{
    UserPrompt,
    PasswordPrompt,
    OtherPrompt
};

// What a "334" of AUTH LOGIN asks for. Servers word it differently ("Username:", "User
// Name", "Password:"); a prompt that names neither is taken by its place, as the
// exchange is always the user name, then the password.
LoginPrompt loginPrompt(const QString& reply, int earlierPrompts)
{
    QByteArray prompt = QByteArray::fromBase64(reply.mid(4).toLatin1()).toLower();
    prompt.replace(' ', "").replace('\0', "");
    if (prompt.startsWith("user"))
        return UserPrompt;
    if (prompt.startsWith("pass"))
        return PasswordPrompt;
    if (earlierPrompts == 0)
        return UserPrompt;
    return earlierPrompts == 1 ? PasswordPrompt : OtherPrompt;
}

} // namespace

CSmtp::CSmtp()
{
    servent entry;
    servent* found = nullptr;
    char buffer[1024];
    if (::getservbyname_r("smtp", "tcp", &entry, buffer, sizeof buffer, &found) == 0 && found)
        m_port = ntohs(static_cast<uint16_t>(found->s_port));
}

CSmtp::~CSmtp()
{
    Close();
}

void CSmtp::setAuth(const QString& user, const QString& password)
{
    m_user = user;
    m_password = password;
}

int CSmtp::ReportAuthOrRecipientRefusal(int, const QString&)
{
    return 0;
}

int CSmtp::ReportFailure(int, const QString&)
{
    return 0;
}

void CSmtp::ReportReply(const QByteArray&, int, const QString&) {}

int CSmtp::ReportSendProgress(const QByteArray&, qint64, qint64)
{
    return 1;
}

bool CSmtp::Connect(const QString& host, int port, const MailSecurity& security)
{
    Close();
    m_connectError.clear();
    m_lastReply.clear();
    m_esmtp = false;
    if (port != 0)
        m_port = port;
    if (!m_socket.connectTo(host, m_port, m_replyTimeoutMs)) {
        m_connectError = m_socket.errorText();
        return false;
    }
    if (security.mode == MailSecurity::ImplicitTls &&
        !m_socket.startTls(host, security.extraCaFile, m_replyTimeoutMs)) {
        m_connectError = m_socket.errorText();
        closeSocket();
        return false;
    }
    const int greeting = SendCommand({});
    if (greeting != 220) {
        if (greeting < 0)
            m_connectError = QStringLiteral("no greeting from the server");
        return failConnect(greeting);
    }
    if (!hello())
        return false;
    if (security.mode == MailSecurity::StartTls && !startTls(host, security))
        return false;
    m_connected = true;
    if (m_esmtp && authenticate() != 0) {
        Close();
        return false;
    }
    return true;
}

bool CSmtp::failConnect(int code)
{
    ReportFailure(code, m_lastReply);
    closeSocket();
    return false;
}

bool CSmtp::hello()
{
    const QByteArray name = helloName();
    if (m_useEhlo && SendCommand("EHLO " + name + "\r\n") == 250) {
        m_esmtp = true;
        return true;
    }
    m_esmtp = false;
    const int code = SendCommand("HELO " + name + "\r\n");
    if (code != 250)
        return failConnect(code);
    return true;
}

bool CSmtp::startTls(const QString& host, const MailSecurity& security)
{
    if (!m_esmtp) {
        m_connectError =
            QStringLiteral("TLS: the server does not speak ESMTP, so it has no STARTTLS");
        return failConnect(-1);
    }
    const int code = SendCommand("STARTTLS\r\n");
    if (code != 220) {
        m_connectError = QStringLiteral("TLS: the server refused STARTTLS");
        return failConnect(code);
    }
    if (!m_socket.startTls(host, security.extraCaFile, m_replyTimeoutMs)) {
        m_connectError = m_socket.errorText();
        closeSocket();
        return false;
    }
    // What the server said before TLS counts no more.
    return hello() && (m_esmtp || failConnect(-1));
}

int CSmtp::authenticate()
{
    if (m_user.isEmpty())
        return 0;
    int restarts = 0;
    while (true) {
        int code = SendCommand("AUTH LOGIN\r\n");
        if (code != 334) {
            if (code < 0)
                m_connected = false;
            ReportAuthOrRecipientRefusal(code, m_lastReply);
            return code;
        }
        bool restart = false;
        for (int prompts = 0; code == 334; ++prompts) {
            const LoginPrompt prompt = loginPrompt(m_lastReply, prompts);
            if (prompt == OtherPrompt)
                break;
            const QString& answer = prompt == UserPrompt ? m_user : m_password;
            code = SendCommand(answer.toUtf8().toBase64() + "\r\n", true);
            if (code == 535) {
                if (ReportAuthOrRecipientRefusal(code, m_lastReply) != 0 &&
                    ++restarts <= kMaxAuthRestarts) {
                    restart = true;
                    break;
                }
                return code;
            }
        }
        if (restart)
            continue;
        if (code == 235)
            return 0;
        if (code < 0)
            m_connected = false;
        ReportFailure(code, m_lastReply);
        return code;
    }
}

int CSmtp::SendMessage(MailMessage& message)
{
    if (message.senderAddress.isEmpty() ||
        (message.recipientAddress.isEmpty() && message.to.empty()))
        return -1;
    QStringList recipients;
    if (!message.recipientAddress.isEmpty())
        recipients << message.recipientAddress;
    for (const MailMessage::Address& further : message.to)
        recipients << further.address;
    for (const MailMessage::Address& secret : message.hidden)
        recipients << secret.address;
    if (isUnsafeAddress(message.senderAddress))
        return -1;
    for (const QString& address : recipients) {
        if (isUnsafeAddress(address))
            return -1;
    }
    if (!m_connected)
        return -1;

    const QByteArray mailFrom = "MAIL FROM: <" + message.senderAddress.trimmed().toUtf8() + ">\r\n";
    int code = SendCommand(mailFrom);
    for (int round = 0; code == 530 && round < kMaxAuthRounds; ++round) {
        authenticate();
        code = SendCommand(mailFrom);
    }
    const auto failed = [this](int code) {
        if (code < 0)
            m_connected = false;
        ReportFailure(code, m_lastReply);
        return code;
    };
    if (code != 250)
        return failed(code);

    int accepted = 0;
    int refusal = -1;
    for (const QString& address : recipients) {
        code = SendCommand("RCPT TO: <" + address.trimmed().toUtf8() + ">\r\n");
        if (code == 250 || code == 251) {
            ++accepted;
        } else if (code < 0) {
            return failed(code);
        } else {
            refusal = code;
            ReportAuthOrRecipientRefusal(code, m_lastReply);
        }
    }
    if (accepted == 0)
        return failed(refusal);

    code = SendCommand("DATA\r\n");
    if (code != 354)
        return failed(code);
    // The line end before the final dot is the last line's own when it has one, so the
    // mail keeps its text exactly.
    QByteArray text = MimeEncoding::dotStuff(message.build());
    text += text.endsWith("\r\n") ? ".\r\n" : "\r\n.\r\n";
    code = SendCommand(text);
    return code == 250 ? 0 : failed(code);
}

void CSmtp::Close()
{
    if (m_connected) {
        const int code = SendCommand("QUIT\r\n");
        if (code != 221)
            ReportFailure(code, m_lastReply);
    }
    closeSocket();
}

void CSmtp::closeSocket()
{
    m_connected = false;
    m_socket.shutdown(SHUT_RDWR);
    m_socket.close();
}

void CSmtp::discardPending()
{
    char buffer[SmtpReplyReader::kReadSize];
    while (m_socket.waitReadable(0)) {
        if (m_socket.read(buffer, sizeof buffer) <= 0)
            break;
    }
}

int CSmtp::SendCommand(const QByteArray& command, bool secret)
{
    const QByteArray shown = secret ? QByteArray("***\r\n") : command;
    if (!m_socket.isOpen())
        return -1;
    if (!command.isEmpty()) {
        // Lines of an earlier reply that came late belong to no command.
        discardPending();
        const qsizetype total = command.size();
        for (qsizetype sent = 0; sent < total; sent += kSendPiece) {
            const qsizetype piece = qMin(kSendPiece, total - sent);
            if (!m_socket.writeAll(QByteArrayView(command).sliced(sent, piece), m_replyTimeoutMs))
                return -1;
            if (total > kSendPiece && ReportSendProgress(shown, sent + piece, total) == 0)
                return -1;
        }
    }

    SmtpReplyReader reader;
    const QDeadlineTimer deadline(m_replyTimeoutMs);
    char buffer[SmtpReplyReader::kReadSize];
    bool lost = false;
    while (reader.state() == SmtpReplyReader::Incomplete && !lost) {
        const qint64 left = deadline.remainingTime();
        if (left == 0 || !m_socket.waitReadable(static_cast<int>(left)))
            break;
        const qsizetype n = m_socket.read(buffer, sizeof buffer);
        if (n == MailSocket::kWouldBlock)
            continue;
        if (n <= 0)
            lost = true;
        else
            reader.add(QByteArrayView(buffer, n));
    }
    m_lastReply = QString::fromUtf8(reader.text());
    if (reader.state() != SmtpReplyReader::Complete)
        return -1;
    ReportReply(shown, reader.code(), m_lastReply);
    return reader.code();
}
