#include "app/singleinstance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <unistd.h>

namespace {
constexpr int kMaxRequestBytes = 64 * 1024;
}

SingleInstance::SingleInstance(const QString& configDir, QObject* parent)
    : QObject(parent), m_name(serverName(configDir))
{
}

SingleInstance::~SingleInstance()
{
    if (m_server)
        m_server->close();
}

QString SingleInstance::serverName(const QString& configDir)
{
    const QByteArray hash =
        QCryptographicHash::hash(QDir(configDir).absolutePath().toUtf8(), QCryptographicHash::Sha1)
            .toHex()
            .left(12);
    return QStringLiteral("gavelin-%1-%2").arg(getuid()).arg(QString::fromLatin1(hash));
}

bool SingleInstance::sendToRunning(const QString& request, int timeoutMs) const
{
    QLocalSocket socket;
    socket.connectToServer(m_name);
    if (!socket.waitForConnected(qMin(timeoutMs, 2000)))
        return false;
    // Connected: a copy runs, whether or not it answers in time.
    socket.write(request.toUtf8() + '\n');
    socket.flush();
    QElapsedTimer elapsed;
    elapsed.start();
    // The answer comes once the request is carried out (for "exit": the list is saved).
    while (!socket.canReadLine()) {
        const qint64 left = timeoutMs - elapsed.elapsed();
        if (left <= 0 || !socket.waitForReadyRead(static_cast<int>(left)))
            break;
    }
    return true;
}

bool SingleInstance::listen()
{
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(m_name)) {
        // A copy that crashed leaves its socket file behind.
        QLocalServer::removeServer(m_name);
        if (!m_server->listen(m_name))
            return false;
    }
    connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::onNewConnection);
    return true;
}

void SingleInstance::onNewConnection()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readRequest(socket); });
        // The request may have arrived with the connection, before readyRead was connected.
        readRequest(socket);
    }
}

void SingleInstance::readRequest(QLocalSocket* socket)
{
    if (!socket->canReadLine()) {
        if (socket->bytesAvailable() > kMaxRequestBytes)
            socket->abort();
        return;
    }
    const QString request = QString::fromUtf8(socket->readLine()).trimmed();
    handleRequest(socket, request);
}

void SingleInstance::handleRequest(QLocalSocket* socket, const QString& request)
{
    if (request == QLatin1String("exit")) {
        m_pendingExit = socket;
        connect(socket, &QObject::destroyed, this, [this, socket] {
            if (m_pendingExit == socket)
                m_pendingExit = nullptr;
        });
        Q_EMIT exitRequested();
        return;
    }
    if (request == QLatin1String("activate")) {
        Q_EMIT activateRequested();
    } else if (request.startsWith(QLatin1String("add "))) {
        Q_EMIT addUrlRequested(request.mid(4).trimmed());
        Q_EMIT activateRequested();
    } else {
        socket->write("unknown\n");
        socket->flush();
        return;
    }
    socket->write("ok\n");
    socket->flush();
}

void SingleInstance::acknowledgeExit()
{
    if (!m_pendingExit)
        return;
    m_pendingExit->write("ok\n");
    m_pendingExit->flush();
    m_pendingExit->waitForBytesWritten(1000);
    m_pendingExit = nullptr;
}
