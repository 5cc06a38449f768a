#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <memory>

class QLocalSocket;

// The caller's end of the control protocol: connects to the running copy's socket and
// exchanges one request for one reply at a time, blocking (no event loop needed).
class ControlClient
{
public:
    enum class Result
    {
        Answered, // the reply is there (ok or not)
        NotRunning,
        Failed, // connected, but no valid reply came in time; error() says why
    };

    explicit ControlClient(QString socketPath);
    ~ControlClient();

    ControlClient(const ControlClient&) = delete;
    ControlClient& operator=(const ControlClient&) = delete;

    // False when no copy listens (no socket, or one a crashed copy left behind).
    bool connectToRunning(int timeoutMs);
    // Sends `request` (connecting first when needed) and waits up to `timeoutMs` for its
    // reply. With `lineOnly`, a successful reply is not decoded (reply() then holds "ok"
    // alone): for a caller that passes a large reply on as it came.
    Result call(const QJsonObject& request, int timeoutMs, bool lineOnly = false);
    const QJsonObject& reply() const { return m_reply; }
    // The reply as it came, one line of JSON with its "\n".
    const QByteArray& replyLine() const { return m_replyLine; }
    QString error() const { return m_error; }

    // Waits while the connection stays open: true when the running copy closed it,
    // false on time-out.
    bool waitForClosed(int milliseconds);
    bool isConnected() const;

private:
    QString m_path;
    std::unique_ptr<QLocalSocket> m_socket;
    QJsonObject m_reply;
    QByteArray m_replyLine;
    QString m_error;
};
