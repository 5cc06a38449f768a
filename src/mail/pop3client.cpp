#include "mail/pop3client.h"

#include "app/windows1252.h"
#include "mail/pop3reply.h"

#include <QCryptographicHash>
#include <QThread>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

QString decodeHeader(const QByteArray& value)
{
    return QByteArrayView(value).isValidUtf8() ? QString::fromUtf8(value)
                                               : Windows1252::decode(value);
}

bool hasLineBreak(const QString& text)
{
    return text.contains(QLatin1Char('\r')) || text.contains(QLatin1Char('\n'));
}

QByteArray numbered(const char* command, int message)
{
    return QByteArray(command) + ' ' + QByteArray::number(message);
}

} // namespace

Pop3Client::Pop3Client()
{
    if (::pipe2(m_exitPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        m_exitPipe[0] = m_exitPipe[1] = -1;
}

Pop3Client::~Pop3Client()
{
    // The worker must not outlive the client, whatever the owner forgot.
    Disconnect();
    for (const int fd : m_exitPipe) {
        if (fd >= 0)
            ::close(fd);
    }
}

void Pop3Client::setStatus(const QString& text)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_status = text;
}

bool Pop3Client::LastMessage(QString& text) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_status.isEmpty())
        text = m_status;
    return true;
}

void Pop3Client::abort()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_aborted = true;
    }
    m_response.notify_all();
}

bool Pop3Client::Connect(const QString& host, int port, const MailSecurity& security)
{
    if (m_connected || m_worker || m_socket.isOpen())
        Disconnect();
    m_connected = false;
    m_loggedIn = false;
    m_apopTimestamp.clear();
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_aborted = false;
        m_responseSignalled = false;
        m_received.clear();
    }
    if (m_exitPipe[0] < 0) {
        setStatus(QStringLiteral("Initialize Socket Fail!"));
        return false;
    }

    if (!m_socket.connectTo(host, port, m_replyTimeoutMs)) {
        switch (m_socket.failure()) {
        case MailSocket::LookupFailure:
            setStatus(QStringLiteral("Hostname Error!!! %1").arg(m_socket.errorCode()));
            break;
        case MailSocket::CreateFailure:
            setStatus(QStringLiteral("Create Socket Fail!"));
            break;
        default:
            setStatus(QStringLiteral("Connect POP3 Server Fail! %1").arg(m_socket.errorCode()));
            break;
        }
        return false;
    }
    if (security.mode == MailSecurity::ImplicitTls &&
        !m_socket.startTls(host, security.extraCaFile, m_replyTimeoutMs)) {
        setStatus(QStringLiteral("TLS Error! ") + m_socket.errorText());
        m_socket.close();
        return false;
    }
    setStatus(QStringLiteral("Connect POP3 Server Succeed!"));

    // Set before the worker starts: a worker that finds it clear ends at once.
    m_connected = true;
    expect(Pop3Reply::kLineEnd);
    if (!startWorker())
        return false;
    QByteArray greeting;
    if (!waitForReply(greeting))
        return false;
    m_apopTimestamp = Pop3Reply::apopTimestamp(greeting);
    if (security.mode == MailSecurity::StartTls)
        return secureAfterGreeting(host, security);
    return true;
}

bool Pop3Client::secureAfterGreeting(const QString& host, const MailSecurity& security)
{
    QByteArray reply;
    if (!command("stls", Pop3Reply::kLineEnd, reply))
        return false;
    if (Pop3Reply::isNegative(reply)) {
        setStatus(QStringLiteral("STLS Error! The server does not offer TLS."));
        return false;
    }
    // The handshake needs the socket to itself.
    stopWorker();
    if (!m_socket.startTls(host, security.extraCaFile, m_replyTimeoutMs)) {
        setStatus(QStringLiteral("TLS Error! ") + m_socket.errorText());
        m_connected = false;
        return false;
    }
    return startWorker();
}

bool Pop3Client::startWorker()
{
    m_worker.reset(QThread::create([this] { workerLoop(); }));
    m_worker->setObjectName(QStringLiteral("POP3 socket"));
    m_worker->start();
    return true;
}

void Pop3Client::stopWorker()
{
    if (!m_worker)
        return;
    const char stop = 'x';
    while (::write(m_exitPipe[1], &stop, 1) < 0 && errno == EINTR) {
    }
    m_worker->wait();
    {
        std::lock_guard<std::mutex> lock(m_mutex);
    }
    m_worker.reset();
    char drain[16];
    while (::read(m_exitPipe[0], drain, sizeof drain) > 0) {
    }
}

bool Pop3Client::Disconnect()
{
    // What went wrong before stays the status text; QUIT and the worker's goodbye do not
    // replace it.
    QString status;
    LastMessage(status);
    Quit();
    stopWorker();
    m_socket.shutdown(SHUT_RD);
    m_socket.close();
    m_connected = false;
    m_loggedIn = false;
    setStatus(status);
    return true;
}

bool Pop3Client::Login(const QString& user, const QString& password, bool useApop)
{
    m_loggedIn = false;
    if (!m_socket.isOpen() || !m_connected) {
        setStatus(QStringLiteral("Socket not Create!"));
        return false;
    }
    // A line break would end the command early and smuggle in another.
    if (hasLineBreak(user) || hasLineBreak(password)) {
        setStatus(useApop ? QStringLiteral("Username or Password error!")
                          : QStringLiteral("User Name error!"));
        return false;
    }
    QByteArray reply;
    if (useApop) {
        if (m_apopTimestamp.isEmpty()) {
            setStatus(QStringLiteral("Apop error!"));
            return false;
        }
        const QByteArray digest =
            QCryptographicHash::hash(m_apopTimestamp + password.toUtf8(), QCryptographicHash::Md5)
                .toHex();
        if (!command("apop " + user.toUtf8() + ' ' + digest, Pop3Reply::kLineEnd, reply))
            return false;
        if (Pop3Reply::isNegative(reply)) {
            setStatus(QStringLiteral("Username or Password error!"));
            return false;
        }
    } else {
        if (!command("user " + user.toUtf8(), Pop3Reply::kLineEnd, reply))
            return false;
        if (Pop3Reply::isNegative(reply)) {
            setStatus(QStringLiteral("User Name error!"));
            return false;
        }
        if (!command("pass " + password.toUtf8(), Pop3Reply::kLineEnd, reply))
            return false;
        if (Pop3Reply::isNegative(reply)) {
            setStatus(QStringLiteral("User or Password error!"));
            return false;
        }
    }
    m_loggedIn = true;
    return true;
}

bool Pop3Client::Stat(QString& text)
{
    QByteArray reply;
    if (!command("stat", Pop3Reply::kLineEnd, reply))
        return false;
    const QByteArray value = Pop3Reply::statText(reply);
    // Anything but "count size" would be read as an empty mailbox.
    if (Pop3Reply::isNegative(reply) || value.isEmpty() || value[0] < '0' || value[0] > '9') {
        setStatus(QStringLiteral("Get Stat error!"));
        return false;
    }
    text = QString::fromLatin1(value);
    return true;
}

bool Pop3Client::Top(int message, QByteArray& text)
{
    QByteArray reply;
    if (!command(numbered("top", message) + " 1", Pop3Reply::kMultiLineEnd, reply))
        return false;
    if (Pop3Reply::isNegative(reply)) {
        setStatus(QStringLiteral("Get Mail Header error!"));
        return false;
    }
    text = std::move(reply);
    return true;
}

bool Pop3Client::Retrieve(int message, QByteArray& text)
{
    QByteArray reply;
    if (!command(numbered("retr", message), Pop3Reply::kMultiLineEnd, reply))
        return false;
    if (Pop3Reply::isNegative(reply)) {
        setStatus(QStringLiteral("Get Mail error!"));
        return false;
    }
    text = std::move(reply);
    return true;
}

bool Pop3Client::Delete(int message)
{
    QByteArray reply;
    if (!command(numbered("dele", message), Pop3Reply::kLineEnd, reply))
        return false;
    if (Pop3Reply::isNegative(reply)) {
        setStatus(QStringLiteral("Delete Mail error!"));
        return false;
    }
    return true;
}

bool Pop3Client::GetFrom(int message, QString& text)
{
    return header(message, "From:", "No Sender!", text);
}

bool Pop3Client::GetSubject(int message, QString& text)
{
    return header(message, "Subject:", "No Subject!", text);
}

bool Pop3Client::header(int message, QByteArrayView label, const char* missing, QString& text)
{
    QByteArray reply;
    if (!Top(message, reply))
        return false;
    QByteArray value;
    if (!Pop3Reply::headerValue(reply, label, value)) {
        setStatus(QString::fromLatin1(missing));
        return false;
    }
    text = decodeHeader(value);
    return true;
}

bool Pop3Client::Quit()
{
    if (!m_socket.isOpen() || !m_connected) {
        setStatus(QStringLiteral("Socket not Create!"));
        return false;
    }
    if (!m_loggedIn) {
        setStatus(QStringLiteral("Not Connected!"));
        return false;
    }
    expect({});
    const bool sent = sendLine("quit");
    m_connected = false;
    m_loggedIn = false;
    return sent;
}

bool Pop3Client::command(const QByteArray& line, QByteArrayView terminator, QByteArray& reply)
{
    if (!m_socket.isOpen() || !m_connected) {
        setStatus(QStringLiteral("Socket not Create!"));
        return false;
    }
    // Everything but the login itself and STLS needs a login.
    const bool beforeLogin = line.startsWith("user ") || line.startsWith("pass ") ||
                             line.startsWith("apop ") || line == "stls";
    if (!beforeLogin && !m_loggedIn) {
        setStatus(QStringLiteral("Not Connected!"));
        return false;
    }
    expect(terminator);
    return sendLine(line) && waitForReply(reply);
}

void Pop3Client::expect(QByteArrayView terminator)
{
    // Whatever came after the last reply (a late answer to a command that timed out) is
    // not part of the next one.
    std::lock_guard<std::mutex> lock(m_mutex);
    m_terminator = terminator.toByteArray();
    m_received.clear();
    m_responseSignalled = false;
}

bool Pop3Client::sendLine(const QByteArray& line)
{
    if (!m_socket.writeAll(line + "\r\n", m_replyTimeoutMs)) {
        setStatus(QStringLiteral("Socket error!"));
        m_connected = false;
        m_loggedIn = false;
        return false;
    }
    return true;
}

bool Pop3Client::waitForReply(QByteArray& reply)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    bool ok = false;
    while (true) {
        const bool woken =
            m_response.wait_for(lock, std::chrono::milliseconds(m_replyTimeoutMs),
                                [this] { return m_responseSignalled || m_aborted.load(); });
        if (m_aborted) {
            m_status = QStringLiteral("Aborted!");
            break;
        }
        if (woken) {
            if (m_received.isEmpty()) {
                m_status = QStringLiteral("Receive Buffer is empty!");
            } else if (!m_connected && !Pop3Reply::isComplete(m_received, m_terminator)) {
                // Cut off by a hang-up: the start of a mail is not the mail. The status
                // stays the worker's ("Connection Closed!").
            } else {
                reply = std::move(m_received);
                ok = true;
            }
            break;
        }
        // Data is being handled right now: that is no time-out.
        if (m_workerBusy)
            continue;
        m_status = QStringLiteral("Connection TimeOut!");
        break;
    }
    m_received.clear();
    m_terminator.clear();
    m_responseSignalled = false;
    return ok;
}

void Pop3Client::workerLoop()
{
    // The owner takes the lock again once the worker has ended: everything the worker did
    // is then ordered before what the owner does next, in a way ThreadSanitizer sees (it
    // cannot see inside QThread::wait()).
    struct Handover
    {
        std::mutex& mutex;
        ~Handover() { std::lock_guard<std::mutex> lock(mutex); }
    } handover{m_mutex};
    setStatus(QStringLiteral("Event Select ok!"));
    pollfd waits[2] = {{m_socket.fd(), POLLIN, 0}, {m_exitPipe[0], POLLIN, 0}};
    while (true) {
        m_workerBusy = false;
        const int r = ::poll(waits, 2, -1);
        m_workerBusy = true;
        if (r < 0 && errno == EINTR)
            continue;
        if (r < 0 || (waits[0].revents & POLLNVAL)) {
            closeFromWorker(QStringLiteral("The network subsystem has failed!"));
            return;
        }
        if (waits[1].revents) {
            setStatus(QStringLiteral("Exit Thread!"));
            m_workerBusy = false;
            return;
        }
        const short events = waits[0].revents;
        if (events & (POLLIN | POLLPRI)) {
            if (!readBurst())
                return;
        } else if (events & (POLLHUP | POLLERR)) {
            closeFromWorker(QStringLiteral("Connection Closed!"));
            return;
        }
    }
}

bool Pop3Client::readBurst()
{
    if (!m_connected) {
        m_workerBusy = false;
        return false;
    }
    char chunk[kChunkSize + 1];
    bool firstRead = true;
    while (true) {
        std::memset(chunk, 0, sizeof chunk);
        // The first read takes what woke the worker at once: most replies are whole by
        // then. After a full read a short pause lets the rest of a long burst arrive, so
        // that it is read in few full reads, unless it is there already.
        if (!firstRead && !m_socket.waitReadable(0))
            QThread::msleep(3);
        firstRead = false;
        const qsizetype n = m_socket.read(chunk, kChunkSize);
        // Nothing more yet, also right after a full read: the reply may still be on its
        // way; its end decides, or the owner's time-out.
        if (n == MailSocket::kWouldBlock)
            break;
        if (n == 0) {
            closeFromWorker(QStringLiteral("Connection Closed!"));
            return false;
        }
        if (n < 0) {
            closeFromWorker(QStringLiteral("Socket Read Error!"));
            return false;
        }
        bool tooLong = false;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            tooLong = m_received.size() + n > kMaxReplySize;
            if (!tooLong)
                m_received.append(chunk, n);
        }
        if (tooLong) {
            closeFromWorker(QStringLiteral("Memory Error!"));
            return false;
        }
        if (n < kChunkSize && !m_socket.hasPending())
            break;
    }
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_responseSignalled || !Pop3Reply::isComplete(m_received, m_terminator))
            return true;
        m_responseSignalled = true;
    }
    m_response.notify_all();
    return true;
}

void Pop3Client::closeFromWorker(const QString& text)
{
    m_connected = false;
    m_loggedIn = false;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_status = text;
        // The waiting owner takes what has arrived so far.
        m_responseSignalled = true;
    }
    m_response.notify_all();
    m_workerBusy = false;
}
