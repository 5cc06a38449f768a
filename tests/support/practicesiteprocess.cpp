#include "support/practicesiteprocess.h"

#include "app/registry.h"

#include <QDeadlineTimer>
#include <QProcess>

#include <arpa/inet.h>
#include <cerrno>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// Waits until `fd` is ready for `events` or the deadline passes.
bool waitFor(int fd, short events, const QDeadlineTimer& deadline)
{
    pollfd p{fd, events, 0};
    while (true) {
        const qint64 left = deadline.remainingTime();
        if (left == 0)
            return false;
        const int r = ::poll(&p, 1, left < 0 ? -1 : static_cast<int>(left));
        if (r > 0)
            return true;
        if (r == 0 || errno != EINTR)
            return false;
    }
}

} // namespace

QString PracticeSiteProcess::binaryPath()
{
    return QStringLiteral(GAVELIN_BINARY_DIR "/tools/practice-site/gavelin-practice-site");
}

PracticeSiteProcess::PracticeSiteProcess(const QStringList& arguments)
    : m_process(std::make_unique<QProcess>())
{
    m_process->setProgram(binaryPath());
    m_process->setArguments(QStringList{"--port", "0"} + arguments);
    // The site's own messages go to the test's stderr; stdout carries the port.
    m_process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process->start();
    if (!m_process->waitForStarted(5000)) {
        m_error = "cannot start " + binaryPath() + ": " + m_process->errorString();
        return;
    }
    const QDeadlineTimer deadline(10000);
    QByteArray output;
    while (!deadline.hasExpired()) {
        const int end = output.indexOf('\n');
        if (end >= 0) {
            const QByteArray line = output.left(end).trimmed();
            bool ok = false;
            if (line.startsWith("port="))
                m_port = line.mid(5).toInt(&ok);
            if (!ok || m_port <= 0) {
                m_error = "unexpected first line from the practice site: " + QString(line);
                m_port = 0;
                stop();
            }
            return;
        }
        if (m_process->state() != QProcess::Running) {
            m_error = "the practice site exited: " + m_process->errorString();
            return;
        }
        m_process->waitForReadyRead(static_cast<int>(qMax<qint64>(1, deadline.remainingTime())));
        output += m_process->readAllStandardOutput();
    }
    m_error = "the practice site printed no port";
    stop();
}

PracticeSiteProcess::~PracticeSiteProcess()
{
    stop();
}

void PracticeSiteProcess::stop()
{
    if (!m_process || m_process->state() == QProcess::NotRunning)
        return;
    if (m_port > 0)
        request("POST", "/_control/shutdown", {}, 2000);
    if (!m_process->waitForFinished(3000)) {
        m_process->terminate();
        if (!m_process->waitForFinished(3000)) {
            m_process->kill();
            m_process->waitForFinished(3000);
        }
    }
}

bool PracticeSiteProcess::isRunning() const
{
    return m_port > 0 && m_process && m_process->state() == QProcess::Running;
}

QString PracticeSiteProcess::baseUrl() const
{
    return QStringLiteral("http://127.0.0.1:%1").arg(m_port);
}

PracticeSiteProcess::Reply PracticeSiteProcess::control(const QByteArray& method,
                                                        const QString& path, const QByteArray& json,
                                                        int timeoutMs) const
{
    return request(method, "/_control" + path.toUtf8(), json, timeoutMs);
}

PracticeSiteProcess::Reply PracticeSiteProcess::get(const QString& target, int timeoutMs) const
{
    return request("GET", target.toUtf8(), {}, timeoutMs);
}

QStringList PracticeSiteProcess::profileLines() const
{
    QProcess print;
    print.start(binaryPath(), {"--print-profile", "--port", QString::number(m_port)});
    if (!print.waitForFinished(10000))
        return {};
    return QString::fromUtf8(print.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
}

void PracticeSiteProcess::writeProfile(Registry& machine) const
{
    for (const QString& line : profileLines()) {
        const qsizetype equals = line.indexOf('=');
        machine.writeStr(QStringLiteral("Sites"), line.left(equals), line.mid(equals + 1));
    }
}

PracticeSiteProcess::Reply PracticeSiteProcess::request(const QByteArray& method,
                                                        const QByteArray& target,
                                                        const QByteArray& body, int timeoutMs) const
{
    Reply reply;
    if (m_port <= 0)
        return reply;
    const QDeadlineTimer deadline(timeoutMs);
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0)
        return reply;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(m_port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 &&
        errno != EINPROGRESS) {
        ::close(fd);
        return reply;
    }

    QByteArray out = method + ' ' + target +
                     " HTTP/1.1\r\nHost: 127.0.0.1:" + QByteArray::number(m_port) +
                     "\r\nConnection: close\r\nContent-Type: application/json\r\n"
                     "Content-Length: " +
                     QByteArray::number(body.size()) + "\r\n\r\n" + body;
    qsizetype sent = 0;
    while (sent < out.size()) {
        if (!waitFor(fd, POLLOUT, deadline)) {
            ::close(fd);
            return reply;
        }
        const ssize_t n = ::send(fd, out.constData() + sent, static_cast<size_t>(out.size() - sent),
                                 MSG_NOSIGNAL);
        if (n < 0 && errno != EAGAIN && errno != EINTR) {
            ::close(fd);
            return reply;
        }
        sent += qMax<ssize_t>(n, 0);
    }

    QByteArray in;
    char buffer[16384];
    while (waitFor(fd, POLLIN, deadline)) {
        const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        if (n > 0)
            in.append(buffer, n);
        else if (n == 0 || (errno != EAGAIN && errno != EINTR))
            break;
    }
    ::close(fd);

    const qsizetype headerEnd = in.indexOf("\r\n\r\n");
    if (!in.startsWith("HTTP/1.") || headerEnd < 0)
        return reply;
    const QList<QByteArray> statusLine = in.left(in.indexOf("\r\n")).split(' ');
    reply.status = statusLine.size() > 1 ? statusLine[1].toInt() : 0;
    reply.body = in.mid(headerEnd + 4);
    return reply;
}
