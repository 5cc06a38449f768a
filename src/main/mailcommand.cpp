#include "main/mailcommand.h"

#include "app/appcontext.h"
#include "app/controlclient.h"
#include "app/controlprotocol.h"
#include "app/itemslock.h"
#include "mail/mailcontrol.h"
#include "mail/mailnotifications.h"
#include "mail/mailpoll.h"
#include "mail/mailsendjob.h"
#include "mail/mailtestsender.h"
#include "main/commandcontext.h"
#include "model/bidsdoc.h"
#include "model/documentstore.h"
#include "model/startuplist.h"
#include "sites/siteaccess.h"

#include <QCoreApplication>
#include <QDir>
#include <QJsonDocument>
#include <QTextStream>

namespace {

constexpr int kStatusFailed = 1;
constexpr int kStatusUsage = 2;

int usage()
{
    QTextStream(stderr) << "gavelind: usage: gavelind mail check [--json] | mail test\n";
    return kStatusUsage;
}

int printReport(const MailPollReport& report, bool json)
{
    QTextStream out(stdout);
    if (json)
        out << QJsonDocument(report.toJson()).toJson(QJsonDocument::Compact) << '\n';
    else
        for (const QString& line : report.lines())
            out << line << '\n';
    return report.completed ? 0 : kStatusFailed;
}

// The bids list mail a "list" command asked for, sent before the command ends.
void sendBidsList(AppContext& app, CBidsDoc& doc)
{
    QTextStream out(stdout);
    if (app.settings().smtpServer.trimmed().isEmpty()) {
        out << "bids list: not sent, no SMTP server is set\n";
        return;
    }
    OutgoingMail mail;
    {
        ItemsLockGuard guard(doc.itemsLock());
        mail = MailNotifications::bidsListMail(doc, BuildSiteProfile().urlViewItem);
    }
    app.log().write(mail.subject);
    const MailSendResult result =
        MailSendJob::send(SmtpAccount::fromSettings(app.settings()), mail, &app.log());
    out << "bids list: " << (result.ok() ? QStringLiteral("sent") : result.detail) << '\n';
}

int checkHere(bool json)
{
    // The list, the log and the site as a start-up would have them.
    CommandContext context;
    AppContext& app = context.app();
    app.log().open(app.paths().logFile(), app.settings().logSizeLimit);
    if (app.settings().popServer.trimmed().isEmpty()) {
        QTextStream(stderr) << "gavelind: no POP3 server is set "
                               "(gavelind settings set MailCmd server HOST)\n";
        return kStatusFailed;
    }
    CBidsDoc doc(ListEnvironment::of(app));
    // No one is there to answer: the default list is taken, as gavelind's start does.
    StartupList::load(doc, [](const QString&) { return true; });

    bool listRequested = false;
    MailPoll poll(Pop3Account::fromSettings(app.settings()), doc, app.log(),
                  app.settingsSnapshot());
    poll.setListRequest([&listRequested] { listRequested = true; });
    const MailPollReport report = poll.run();
    if (listRequested)
        sendBidsList(app, doc);
    if (doc.isModified()) {
        DocumentStore store(doc);
        QString message;
        if (store.saveSilently(&message))
            QTextStream(stderr) << "gavelind: list saved to "
                                << QDir::toNativeSeparators(doc.path()) << '\n';
        else
            QTextStream(stderr) << "gavelind: the list was not saved: " << message << '\n';
    }
    return printReport(report, json);
}

int check(const QStringList& arguments)
{
    bool json = false;
    for (const QString& word : arguments) {
        if (word == QLatin1String("--json"))
            json = true;
        else
            return usage();
    }
    const AppPaths paths = AppPaths::fromEnvironment();
    ControlClient client(ControlProtocol::socketPath(paths.configDir()));
    if (!client.connectToRunning(2000))
        return checkHere(json);
    // The running copy owns the list: the poll runs there.
    switch (client.call(ControlProtocol::request(QString::fromLatin1(MailControl::kCheckCommand)),
                        MailControl::kReplyTimeoutMs)) {
    case ControlClient::Result::NotRunning:
        return checkHere(json);
    case ControlClient::Result::Failed:
        QTextStream(stderr) << "gavelind: " << client.error() << '\n';
        return kStatusFailed;
    case ControlClient::Result::Answered:
        break;
    }
    const QJsonObject reply = client.reply();
    if (!reply.value(QStringLiteral("ok")).toBool()) {
        QTextStream(stderr) << "gavelind: the running copy: "
                            << reply.value(QStringLiteral("error")).toString() << '\n';
        return kStatusFailed;
    }
    return printReport(MailPollReport::fromJson(reply), json);
}

int test(const QStringList& arguments)
{
    if (!arguments.isEmpty())
        return usage();
    CommandContext context(CommandContext::Sites::Skip);
    const SmtpAccount account = SmtpAccount::fromSettings(context.app().settings());
    QTextStream out(stdout);
    out << "Sending the test mail to " << account.recipient << " through " << account.host
        << ", port " << account.port << '\n';
    out.flush();
    const MailTestResult result =
        MailTestSender::send(account, QCoreApplication::applicationName(), nullptr);
    for (const QString& line : result.transcript)
        out << line << '\n';
    out << result.summary << '\n';
    return result.ok() ? 0 : kStatusFailed;
}

} // namespace

int runMailCommand(const QStringList& arguments)
{
    if (arguments.isEmpty())
        return usage();
    const QString sub = arguments.first();
    if (sub == QLatin1String("check"))
        return check(arguments.mid(1));
    if (sub == QLatin1String("test"))
        return test(arguments.mid(1));
    return usage();
}
