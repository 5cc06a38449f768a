#include "app/singleinstance.h"

#include "app/controlclient.h"
#include "app/controlprotocol.h"
#include "app/controlserver.h"

namespace {
// How long the reply to "exit" may take to leave before the program ends.
constexpr int kExitReplyFlushMs = 1000;
} // namespace

SingleInstance::SingleInstance(const QString& configDir, QObject* parent)
    : QObject(parent), m_name(serverName(configDir))
{
    m_registry.add(QStringLiteral("activate"), [this](const QJsonObject&) {
        Q_EMIT activateRequested();
        return QJsonObject();
    });
    m_registry.add(QStringLiteral("add-url"), [this](const QJsonObject& request) {
        const QString url = request.value(QStringLiteral("url")).toString().trimmed();
        if (url.isEmpty())
            return ControlProtocol::errorReply(QStringLiteral("add-url needs a url"));
        Q_EMIT addUrlRequested(url);
        Q_EMIT activateRequested();
        return QJsonObject();
    });
    // Answered once the list is saved, so the caller knows the copy is as good as gone.
    m_registry.addDeferred(QStringLiteral("exit"),
                           [this](const QJsonObject&, ControlRegistry::Reply reply) {
                               m_pendingExit = std::move(reply);
                               Q_EMIT exitRequested();
                           });
}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::serverName(const QString& configDir)
{
    return ControlProtocol::socketPath(configDir);
}

bool SingleInstance::sendToRunning(const QString& request, int timeoutMs) const
{
    QJsonObject message;
    if (request.startsWith(QLatin1String("add "))) {
        message = ControlProtocol::request(QStringLiteral("add-url"));
        message.insert(QStringLiteral("url"), request.mid(4).trimmed());
    } else {
        message = ControlProtocol::request(request);
    }
    ControlClient client(m_name);
    // Connected: a copy runs, whether or not it answers in time.
    return client.call(message, timeoutMs) != ControlClient::Result::NotRunning;
}

bool SingleInstance::listen()
{
    if (!m_server)
        m_server = new ControlServer(m_registry, this);
    return m_server->listen(m_name);
}

void SingleInstance::acknowledgeExit()
{
    if (!m_pendingExit)
        return;
    const ControlRegistry::Reply reply = std::move(m_pendingExit);
    m_pendingExit = nullptr;
    reply(QJsonObject());
    if (m_server)
        m_server->flush(kExitReplyFlushMs);
}
