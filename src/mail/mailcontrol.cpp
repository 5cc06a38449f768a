#include "mail/mailcontrol.h"

#include "app/controlprotocol.h"
#include "app/controlregistry.h"
#include "mail/mailcheckrunner.h"

#include <memory>

void MailControl::install(ControlRegistry& registry, MailCheckRunner& runner)
{
    registry.addDeferred(QString::fromLatin1(kCheckCommand),
                         [&runner](const QJsonObject&, ControlRegistry::Reply reply) {
                             // A poll that runs already is the one reported: polls never overlap.
                             if (!runner.checkNow() && !runner.isRunning()) {
                                 reply(ControlProtocol::errorReply(
                                     QStringLiteral("no POP3 server is set (MailCmd server)")));
                                 return;
                             }
                             auto connection = std::make_shared<QMetaObject::Connection>();
                             *connection = QObject::connect(
                                 &runner, &MailCheckRunner::pollFinished, &runner,
                                 [connection, reply](const MailPollReport& report) {
                                     QObject::disconnect(*connection);
                                     reply(report.toJson());
                                 });
                         });
}
