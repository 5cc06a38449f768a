#include "app/controlserver.h"

#include "app/appcontext.h"
#include "app/controlprotocol.h"
#include "app/controlregistry.h"

#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <memory>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Marks a connection whose request waits or runs: its next line is read after the answer.
const char* const kBusyProperty = "gavelinControlBusy";

} // namespace

ControlServer::ControlServer(const ControlRegistry& registry, QObject* parent)
    : QObject(parent), m_registry(registry)
{
}

ControlServer::~ControlServer()
{
    close();
}

bool ControlServer::listen(const QString& path)
{
    if (path.isEmpty())
        return false;
    close();
    m_server = new QLocalServer(this);
    // Qt makes the socket in a private folder, restricts it to the user and only then
    // moves it into place, so nobody else can connect in between.
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(path)) {
        // A copy that crashed leaves its socket behind; nobody answers on it any more
        // (the caller found no running copy before it came here).
        QLocalServer::removeServer(path);
        if (!m_server->listen(path)) {
            delete m_server;
            m_server = nullptr;
            return false;
        }
    }
    // Qt leaves it at 0700; nothing needs to execute a socket.
    chmod(QFile::encodeName(m_server->fullServerName()).constData(), 0600);
    connect(m_server, &QLocalServer::newConnection, this, &ControlServer::onNewConnection);
    return true;
}

void ControlServer::close()
{
    if (m_server) {
        m_server->close();
        delete m_server;
        m_server = nullptr;
    }
}

bool ControlServer::isListening() const
{
    return m_server && m_server->isListening();
}

void ControlServer::flush(int milliseconds)
{
    for (QLocalSocket* socket : findChildren<QLocalSocket*>()) {
        if (socket->state() == QLocalSocket::ConnectedState && socket->bytesToWrite() > 0)
            socket->waitForBytesWritten(milliseconds);
    }
}

void ControlServer::onNewConnection()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        // The socket belongs to the server; keep it when the server goes, until it closes.
        socket->setParent(this);
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        if (!peerAllowed(socket)) {
            refuse(socket, QStringLiteral("refused: this control socket serves its own user only"));
            continue;
        }
        // A line longer than the limit stops the reading there and is refused below.
        socket->setReadBufferSize(ControlProtocol::kMaxLineBytes + 1);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readFrom(socket); });
        // The request may have come with the connection, before readyRead was connected.
        readFrom(socket);
    }
}

bool ControlServer::peerAllowed(QLocalSocket* socket) const
{
    struct ucred credentials = {};
    socklen_t length = sizeof credentials;
    if (getsockopt(static_cast<int>(socket->socketDescriptor()), SOL_SOCKET, SO_PEERCRED,
                   &credentials, &length) != 0) {
        return false;
    }
    if (credentials.uid == getuid())
        return true;
    AppContext::logWrite(QStringLiteral("Control connection of user %1 (process %2) refused.")
                             .arg(credentials.uid)
                             .arg(credentials.pid),
                         ProgramLog::Warning);
    return false;
}

void ControlServer::readFrom(QLocalSocket* socket)
{
    if (socket->property(kBusyProperty).toBool() || socket->state() != QLocalSocket::ConnectedState)
        return;
    if (!socket->canReadLine()) {
        if (socket->bytesAvailable() > ControlProtocol::kMaxLineBytes)
            refuse(socket, QStringLiteral("request too long (more than %1 bytes)")
                               .arg(ControlProtocol::kMaxLineBytes));
        return;
    }
    const QByteArray line = socket->readLine();
    if (line.size() > ControlProtocol::kMaxLineBytes) {
        refuse(socket, QStringLiteral("request too long (more than %1 bytes)")
                           .arg(ControlProtocol::kMaxLineBytes));
        return;
    }
    QString error;
    const QJsonObject request = ControlProtocol::decode(line, &error);
    if (!error.isEmpty()) {
        refuse(socket, error);
        return;
    }
    const int version = request.value(QStringLiteral("v")).toInt(-1);
    if (version != ControlProtocol::kVersion) {
        refuse(socket, QStringLiteral("unsupported protocol version %1 (this copy speaks %2)")
                           .arg(request.value(QStringLiteral("v")).toVariant().toString())
                           .arg(ControlProtocol::kVersion));
        return;
    }
    if (int(m_waiting.size()) >= kMaxWaiting) {
        refuse(socket, QStringLiteral("busy: too many control commands are waiting"));
        return;
    }
    socket->setProperty(kBusyProperty, true);
    m_waiting.push_back({socket, request});
    runNext();
}

void ControlServer::refuse(QLocalSocket* socket, const QString& text)
{
    socket->write(replyLine(ControlProtocol::errorReply(text)));
    socket->flush();
    socket->disconnectFromServer();
}

void ControlServer::runNext()
{
    if (m_running)
        return;
    while (!m_waiting.empty()) {
        Waiting next = std::move(m_waiting.front());
        m_waiting.pop_front();
        // A caller that gave up is not served.
        if (!next.socket || next.socket->state() != QLocalSocket::ConnectedState)
            continue;
        m_running = true;
        QPointer<ControlServer> self(this);
        QPointer<QLocalSocket> socket = next.socket;
        auto answered = std::make_shared<bool>(false);
        const auto finish = [self, socket, answered](const QByteArray& line) {
            if (*answered || !self)
                return;
            *answered = true;
            self->m_running = false;
            if (socket) {
                socket->write(line);
                socket->flush();
                socket->setProperty(kBusyProperty, false);
            }
            // Outside the handler: the next request must not run inside this one.
            QMetaObject::invokeMethod(
                self,
                [self, socket] {
                    if (!self)
                        return;
                    self->runNext();
                    if (socket)
                        self->readFrom(socket);
                },
                Qt::QueuedConnection);
        };
        m_registry.dispatch(
            next.request, [finish](const QJsonObject& reply) { finish(replyLine(reply)); },
            [finish](const QByteArray& members) {
                QByteArray line =
                    "{\"ok\":true,\"v\":" + QByteArray::number(ControlProtocol::kVersion);
                if (!members.isEmpty())
                    line += ',' + members;
                finish(line + "}\n");
            });
        return;
    }
}

QByteArray ControlServer::replyLine(QJsonObject reply)
{
    if (!reply.contains(QStringLiteral("ok")))
        reply.insert(QStringLiteral("ok"), true);
    reply.insert(QStringLiteral("v"), ControlProtocol::kVersion);
    return ControlProtocol::encode(reply);
}
