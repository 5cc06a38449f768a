#include "app/controlregistry.h"

#include "app/controlprotocol.h"

void ControlRegistry::add(const QString& command, Handler handler)
{
    m_handlers[command] = [handler = std::move(handler)](const QJsonObject& request, Reply reply,
                                                         const EncodedReply&) {
        reply(handler(request));
    };
}

void ControlRegistry::addDeferred(const QString& command, DeferredHandler handler)
{
    m_handlers[command] = [handler = std::move(handler)](const QJsonObject& request, Reply reply,
                                                         const EncodedReply&) {
        handler(request, std::move(reply));
    };
}

void ControlRegistry::addEncoded(const QString& command, EncodedHandler handler)
{
    m_handlers[command] = [handler = std::move(handler)](const QJsonObject& request, Reply reply,
                                                         const EncodedReply& encoded) {
        QString error;
        const QByteArray members = handler(request, &error);
        if (!error.isEmpty())
            reply(ControlProtocol::errorReply(error));
        else
            encoded(members);
    };
}

bool ControlRegistry::contains(const QString& command) const
{
    return m_handlers.count(command) != 0;
}

QStringList ControlRegistry::commands() const
{
    QStringList names;
    for (const auto& entry : m_handlers)
        names << entry.first;
    return names;
}

void ControlRegistry::dispatch(const QJsonObject& request, const Reply& reply,
                               const EncodedReply& encoded) const
{
    const QString command = ControlProtocol::command(request);
    const auto found = m_handlers.find(command);
    if (found == m_handlers.end()) {
        reply(ControlProtocol::errorReply(
            command.isEmpty() ? QStringLiteral("malformed request: no command")
                              : QStringLiteral("unknown command '%1'").arg(command)));
        return;
    }
    found->second(request, reply, encoded);
}
