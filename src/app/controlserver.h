#pragma once

#include <QJsonObject>
#include <QObject>
#include <QPointer>
#include <QString>
#include <deque>

class ControlRegistry;
class QLocalServer;
class QLocalSocket;

// Answers control requests on the per-user local socket (see ControlProtocol). The socket
// is made readable and writable by its owner alone, and every caller's user id is checked
// (SO_PEERCRED) before a byte of its request is read.
//
// Requests are carried out one at a time in the order they came, whichever connection
// they came on: a second command waits until the first is answered. A line that is no
// request, or longer than ControlProtocol::kMaxLineBytes, is answered with an error and
// the connection is closed. Main thread only.
class ControlServer : public QObject
{
    Q_OBJECT
public:
    // Requests waiting behind the one in progress; more are refused as busy.
    static constexpr int kMaxWaiting = 16;

    explicit ControlServer(const ControlRegistry& registry, QObject* parent = nullptr);
    ~ControlServer() override;

    // Listens at `path`, taking over a socket that a crashed copy left behind. False when
    // the socket cannot be made.
    bool listen(const QString& path);
    void close();
    bool isListening() const;
    // Waits up to `milliseconds` for every reply to leave (before the program ends).
    void flush(int milliseconds);

private:
    struct Waiting
    {
        QPointer<QLocalSocket> socket;
        QJsonObject request;
    };

    void onNewConnection();
    bool peerAllowed(QLocalSocket* socket) const;
    void readFrom(QLocalSocket* socket);
    void refuse(QLocalSocket* socket, const QString& text);
    void runNext();
    static QByteArray replyLine(QJsonObject reply);

    const ControlRegistry& m_registry;
    QLocalServer* m_server = nullptr;
    std::deque<Waiting> m_waiting;
    bool m_running = false;
};
