#include "app/controlclient.h"

#include "app/controlprotocol.h"

#include <QDeadlineTimer>
#include <QLocalSocket>

namespace {
constexpr int kConnectTimeoutMs = 2000;
// A list of many thousand bids fits many times over; anything larger is no reply of ours.
constexpr qint64 kMaxReplyBytes = 256LL * 1024 * 1024;
} // namespace

ControlClient::ControlClient(QString socketPath) : m_path(std::move(socketPath)) {}

ControlClient::~ControlClient() = default;

bool ControlClient::connectToRunning(int timeoutMs)
{
    if (isConnected())
        return true;
    if (m_path.isEmpty())
        return false;
    m_socket = std::make_unique<QLocalSocket>();
    m_socket->connectToServer(m_path);
    return m_socket->waitForConnected(qMin(timeoutMs, kConnectTimeoutMs));
}

bool ControlClient::isConnected() const
{
    return m_socket && m_socket->state() == QLocalSocket::ConnectedState;
}

ControlClient::Result ControlClient::call(const QJsonObject& request, int timeoutMs, bool lineOnly)
{
    m_reply = {};
    m_replyLine.clear();
    m_error.clear();
    if (!connectToRunning(timeoutMs))
        return Result::NotRunning;
    QDeadlineTimer deadline(timeoutMs);
    m_socket->write(ControlProtocol::encode(request));
    m_socket->flush();
    while (!m_socket->canReadLine()) {
        if (m_socket->bytesAvailable() > kMaxReplyBytes) {
            m_error = QStringLiteral("the reply is too long");
            return Result::Failed;
        }
        if (m_socket->state() != QLocalSocket::ConnectedState) {
            m_error = QStringLiteral("the running copy closed the connection without answering");
            return Result::Failed;
        }
        if (deadline.hasExpired() ||
            !m_socket->waitForReadyRead(static_cast<int>(deadline.remainingTime()))) {
            if (m_socket->canReadLine())
                break;
            m_error =
                m_socket->state() == QLocalSocket::ConnectedState
                    ? QStringLiteral("no answer from the running copy in time")
                    : QStringLiteral("the running copy closed the connection without answering");
            return Result::Failed;
        }
    }
    QString error;
    m_replyLine = m_socket->readLine();
    // Encoded replies start so (see ControlServer); anything else is decoded.
    if (lineOnly && m_replyLine.startsWith("{\"ok\":true,") && m_replyLine.endsWith("}\n")) {
        m_reply = QJsonObject{{QStringLiteral("ok"), true}};
        return Result::Answered;
    }
    m_reply = ControlProtocol::decode(m_replyLine, &error);
    if (!error.isEmpty()) {
        m_error = QStringLiteral("the running copy's answer is unreadable");
        return Result::Failed;
    }
    return Result::Answered;
}

bool ControlClient::waitForClosed(int milliseconds)
{
    if (!isConnected())
        return true;
    QDeadlineTimer deadline(milliseconds);
    while (m_socket->state() == QLocalSocket::ConnectedState) {
        // Anything the copy sends after its answer is not ours to read.
        m_socket->readAll();
        if (deadline.hasExpired())
            return false;
        m_socket->waitForReadyRead(static_cast<int>(deadline.remainingTime()));
    }
    return true;
}
