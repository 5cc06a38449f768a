// The mail commands as the program runs them: a poll on its own thread against Dovecot,
// the notification and bids-list mails read back from aiosmtpd by Python's email package,
// the log sent to support as a gzip attachment, and the test mail's transcript.

#include "mail/logmailer.h"
#include "mail/mailcheckrunner.h"
#include "mail/mailnotifications.h"
#include "mail/mailsender.h"
#include "mail/mailtestsender.h"
#include "model/bidsdoc.h"
#include "sites/sitesettings.h"
#include "support/apphome.h"
#include "support/dovecotserver.h"
#include "support/smtpserver.h"
#include "web/itempagereader.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QJsonArray>
#include <gtest/gtest.h>
#include <zlib.h>

namespace {

const char kSmtpUser[] = "sniper";
const char kSmtpPassword[] = "Sm7p-s3cret";

void ensureCoreApplication()
{
    static int argc = 1;
    static char name[] = "test_mail";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance())
        new QCoreApplication(argc, argv);
}

template <class Done> bool processUntil(Done done, int milliseconds = 20000)
{
    const QDeadlineTimer deadline(milliseconds);
    while (!done() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

QByteArray gunzip(const QByteArray& data)
{
    z_stream stream{};
    if (inflateInit2(&stream, 15 + 16) != Z_OK)
        return {};
    QByteArray out;
    char buffer[16384];
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.constData()));
    stream.avail_in = static_cast<uInt>(data.size());
    int result = Z_OK;
    while (result == Z_OK) {
        stream.next_out = reinterpret_cast<Bytef*>(buffer);
        stream.avail_out = sizeof buffer;
        result = inflate(&stream, Z_NO_FLUSH);
        out.append(buffer, qsizetype(sizeof buffer - stream.avail_out));
    }
    inflateEnd(&stream);
    return result == Z_STREAM_END ? out : QByteArray();
}

QString header(const QJsonObject& message, const QString& name)
{
    for (const QJsonValue& pair : message["headers"].toArray()) {
        if (pair.toArray().at(0).toString() == name)
            return pair.toArray().at(1).toString();
    }
    return {};
}

QByteArray payload(const QJsonObject& message, int part)
{
    return QByteArray::fromHex(
        message["parts"].toArray().at(part).toObject()["payload_hex"].toString().toLatin1());
}

} // namespace

TEST(MailCheckRunner, PollNotificationsAndTheLogReachTheServers)
{
    ensureCoreApplication();
    DovecotServer pop;
    SmtpServer::Options options;
    options.user = kSmtpUser;
    options.password = kSmtpPassword;
    SmtpServer smtp(options);
    ASSERT_TRUE(pop.isRunning()) << pop.errorString().toStdString();
    ASSERT_TRUE(smtp.isRunning()) << smtp.errorString().toStdString();

    AppHome home;
    AppContext& app = home.app();
    AppSettings& settings = app.settings();
    settings.popServer = QStringLiteral("127.0.0.1");
    settings.popPort = pop.port();
    settings.popLogin = DovecotServer::kUser;
    settings.popPassword = DovecotServer::kPassword;
    settings.commandEmail = QStringLiteral("boss@example.org");
    settings.smtpServer = QStringLiteral("127.0.0.1");
    settings.smtpPort = smtp.port();
    settings.smtpUser = kSmtpUser;
    settings.smtpPassword = kSmtpPassword;
    settings.notifySender = QStringLiteral("sniper@example.com");
    settings.notifyRecipient = QStringLiteral("me@example.org");
    settings.password = QStringLiteral("site-secret");
    app.publishSettings();
    SiteSettings sites;
    sites.load(app.machineRegistry(), settings.currentSite);

    CBidsDoc doc(ListEnvironment::of(app));
    doc.newDocument();
    auto won = std::make_unique<CBidItem>();
    won->setId(QStringLiteral("1111111111"));
    won->setStatus(StatusWon);
    won->setCurrentPrice(42.0f);
    won->setCurrency(QStringLiteral("EUR"));
    doc.appendItem(std::move(won), doc.folderById(CBidFolder::ClosedAuctionsId));

    MailCheckRunner runner(app, doc);
    runner.sender().setReplyTimeout(10000);
    runner.setItemReader([](CBidItem&, const QString&) { return ItemPageResult{}; });
    QList<MailPollReport> reports;
    QObject::connect(&runner, &MailCheckRunner::pollFinished,
                     [&reports](const MailPollReport& report) { reports << report; });

    pop.addMail("From: boss@example.org\r\nSubject: qzvtmc\r\n\r\nlist please\r\n");
    ASSERT_TRUE(runner.checkNow());
    // A second check while one runs is dropped, not queued.
    EXPECT_TRUE(runner.isRunning());
    EXPECT_FALSE(runner.checkNow());
    ASSERT_TRUE(processUntil([&] { return !reports.isEmpty(); }));
    EXPECT_FALSE(runner.isRunning());
    ASSERT_EQ(reports.size(), 1);
    EXPECT_TRUE(reports.first().completed);
    EXPECT_TRUE(reports.first().mails.first().deleted);

    // The bids list, then the ended notice, each a mail of its own.
    ASSERT_TRUE(processUntil([&] { return smtp.messageCount() >= 1; }));
    runner.notify(MailNotifications::AuctionEnded, QStringLiteral("1111111111"));
    runner.notify(MailNotifications::Outbid, QStringLiteral("9999999999")); // gone: nothing
    ASSERT_TRUE(
        processUntil([&] { return smtp.messageCount() >= 2 && runner.sender().sending() == 0; }));
    EXPECT_EQ(smtp.messageCount(), 2);
    const QJsonObject list = smtp.message(1);
    EXPECT_EQ(header(list, "Subject"), "Zaru Vuzarovuz: Current bids list");
    EXPECT_EQ(header(list, "From").toStdString(), "Zaru Vuzarovuz <sniper@example.com>");
    EXPECT_EQ(list["login"].toString(), kSmtpUser);
    EXPECT_TRUE(payload(list, 0).contains("\t1111111111\t42.00 EUR\t"));
    const QJsonObject ended = smtp.message(2);
    EXPECT_EQ(header(ended, "Subject"),
              "Zaru Vuzarovuz: Notifycation of ended bidding... (#1111111111)");
    EXPECT_TRUE(payload(ended, 0).startsWith(
        "You have won the auction #1111111111. The final price is 42.00 EUR.\r\nlink to item: "));

    // The flag was cleared: the next check runs (on an empty mailbox).
    ASSERT_TRUE(runner.checkNow());
    ASSERT_TRUE(processUntil([&] { return reports.size() == 2; }));
    EXPECT_TRUE(reports.last().completed);

    // The log goes to support as qzvt.gz; it decompresses to the log and holds no password.
    const QString logPath = app.log().path();
    ASSERT_TRUE(logPath.endsWith("qzvt.log"));
    const SmtpAccount account = LogMailer::supportAccount(SmtpAccount::fromSettings(settings),
                                                          settings.email, app.machineRegistry());
    EXPECT_EQ(account.recipient, LogMailer::kDefaultSupportAddress);
    const LogMailResult sent = LogMailer::send(account, logPath, "gavelin", "1.00", &app.log());
    ASSERT_TRUE(sent.ok) << sent.message.toStdString();
    ASSERT_EQ(smtp.messageCount(), 3);
    const QJsonObject support = smtp.message(3);
    EXPECT_EQ(support["rcpt_tos"].toArray().at(0).toString(), LogMailer::kDefaultSupportAddress);
    EXPECT_EQ(header(support, "Subject"), "GVN support request...");
    EXPECT_EQ(payload(support, 0), "---\r\nthe log file was attached by gavelin 1.00");
    EXPECT_EQ(support["parts"].toArray().at(1).toObject()["filename"].toString(), "qzvt.gz");
    const QByteArray unpacked = gunzip(payload(support, 1));
    QFile logFile(logPath);
    ASSERT_TRUE(logFile.open(QIODevice::ReadOnly));
    const QByteArray logNow = logFile.readAll();
    ASSERT_FALSE(unpacked.isEmpty());
    EXPECT_TRUE(logNow.startsWith(unpacked));
    EXPECT_TRUE(unpacked.contains("Zaru Vuzarovuz: Send bids list..."));
    for (const char* secret : {DovecotServer::kPassword, kSmtpPassword, "site-secret"}) {
        EXPECT_FALSE(unpacked.contains(secret)) << secret;
        EXPECT_FALSE(smtp.rawMessage(1).contains(secret)) << secret;
    }
}

TEST(MailTestSender, TranscriptWithoutCredentials)
{
    SmtpServer::Options options;
    options.user = kSmtpUser;
    options.password = kSmtpPassword;
    SmtpServer smtp(options);
    ASSERT_TRUE(smtp.isRunning()) << smtp.errorString().toStdString();
    SmtpAccount account;
    account.host = QStringLiteral("127.0.0.1");
    account.port = smtp.port();
    account.user = kSmtpUser;
    account.password = kSmtpPassword;
    account.sender = QStringLiteral("sniper@example.com");
    account.recipient = QStringLiteral("me@example.org");
    account.replyTimeoutMs = 5000;

    const MailTestResult result = MailTestSender::send(account, "gavelind", nullptr);
    ASSERT_TRUE(result.ok()) << result.summary.toStdString();
    EXPECT_EQ(result.summary, "The test mail was sent to me@example.org.");
    const QString transcript = result.transcript.join('\n');
    EXPECT_TRUE(transcript.startsWith("< 220")) << transcript.toStdString();
    EXPECT_TRUE(transcript.contains("> AUTH LOGIN"));
    EXPECT_TRUE(transcript.contains("> ***"));
    EXPECT_TRUE(transcript.contains("< 235"));
    EXPECT_TRUE(transcript.contains("> (the mail, "));
    EXPECT_FALSE(transcript.contains(kSmtpPassword));
    EXPECT_FALSE(transcript.contains(QByteArray(kSmtpPassword).toBase64()));
    ASSERT_EQ(smtp.messageCount(), 1);
    EXPECT_EQ(header(smtp.message(1), "Subject"), "Zaru Vuzarovuz: test mail");

    // A wrong password is refused with the server's words; nothing is sent.
    account.password = QStringLiteral("wrong");
    const MailTestResult refused = MailTestSender::send(account, "gavelind", nullptr);
    EXPECT_FALSE(refused.ok());
    EXPECT_TRUE(refused.summary.startsWith("No connection to 127.0.0.1"))
        << refused.summary.toStdString();
    EXPECT_TRUE(refused.transcript.join('\n').contains("< 535"));
    EXPECT_EQ(smtp.messageCount(), 1);
}
