#include "mail/smtp.h"
#include "mail/mailmessage.h"
#include "mail/mailsender.h"
#include "mail/mailsendjob.h"
#include "support/apphome.h"
#include "support/scriptedserver.h"
#include "support/smtpserver.h"
#include "support/temphome.h"
#include "support/testcertificate.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QJsonArray>
#include <QThread>
#include <gtest/gtest.h>

namespace {

const char kUser[] = "sniper";
const char kPassword[] = "Pa55-w0rd!";

// Records the dialogue as the hooks see it.
class RecordingSmtp : public CSmtp
{
public:
    QList<QByteArray> commands;
    QList<int> failures;

protected:
    void ReportReply(const QByteArray& command, int, const QString&) override
    {
        commands << command.trimmed();
    }
    int ReportFailure(int code, const QString&) override
    {
        failures << code;
        return 0;
    }
};

SmtpAccount accountFor(const SmtpServer& server, const QString& user = kUser,
                       const QString& password = kPassword)
{
    SmtpAccount account;
    account.host = QStringLiteral("127.0.0.1");
    account.port = server.port();
    account.user = user;
    account.password = password;
    account.sender = QStringLiteral("sniper@example.com");
    account.recipient = QStringLiteral("me@example.org");
    account.replyTimeoutMs = 5000;
    return account;
}

QStringList headerNames(const QJsonObject& message)
{
    QStringList names;
    for (const QJsonValue& header : message["headers"].toArray())
        names << header.toArray().at(0).toString();
    return names;
}

QByteArray payload(const QJsonObject& message, int part)
{
    return QByteArray::fromHex(
        message["parts"].toArray().at(part).toObject()["payload_hex"].toString().toLatin1());
}

QString partValue(const QJsonObject& message, int part, const char* key)
{
    return message["parts"].toArray().at(part).toObject()[key].toString();
}

#define ASSERT_RUNS(server)                                                                        \
    ASSERT_TRUE((server).isRunning()) << (server).errorString().toStdString()

} // namespace

TEST(SmtpAiosmtpd, MessagesAsPythonReadsThem)
{
    SmtpServer server({kUser, kPassword});
    ASSERT_RUNS(server);
    TempHome files;
    QByteArray binary;
    for (int i = 0; i < 1000; ++i)
        binary.append(char(i * 7));
    const QString archive = files.writeFile("qzvt.gz", binary);

    struct Case
    {
        QString body;
        const char* encoding;
        const char* charset;
        QByteArray bytes;
    };
    const QString longLine = QString(100, QLatin1Char('x'));
    const Case cases[] = {
        // The last line of a mail always ends with a line end.
        {"Hello,\r\n.hidden line\r\n.\r\nend", "7bit", "iso-8859-1",
         "Hello,\r\n.hidden line\r\n.\r\nend\r\n"},
        {longLine + "\r\nshort\r\n", "quoted-printable", "iso-8859-1",
         longLine.toLatin1() + "\r\nshort\r\n"},
        {QStringLiteral("Viele Gr\u00FC\u00DFe aus K\u00F6ln und eine sch\u00F6ne Woche!\r\n"),
         "8bit", "iso-8859-1",
         "Viele Gr\xFC\xDF"
         "e aus K\xF6ln und eine sch\xF6ne Woche!\r\n"},
        {QStringLiteral("\u0001\u0002\u0003\u0004\u0005 x"), "base64", "iso-8859-1",
         "\x01\x02\x03\x04\x05 x"},
        // Not Latin-1: sent as UTF-8 rather than as question marks (mostly 8-bit bytes).
        {QStringLiteral(
             "\u041F\u0440\u043E\u0434\u0430\u0432\u0435\u0446 \u0418\u0432\u0430\u043D\r\n"),
         "base64", "utf-8",
         QStringLiteral(
             "\u041F\u0440\u043E\u0434\u0430\u0432\u0435\u0446 \u0418\u0432\u0430\u043D\r\n")
             .toUtf8()}};
    int n = 0;
    for (const Case& c : cases) {
        const MailSendResult result = MailSendJob::send(
            accountFor(server), {QStringLiteral("Subject %1").arg(n), c.body, {}}, nullptr);
        ASSERT_TRUE(result.ok()) << result.detail.toStdString();
        const QJsonObject message = server.message(++n);
        SCOPED_TRACE(c.encoding);
        EXPECT_EQ(headerNames(message),
                  (QStringList{"From", "To", "Subject", "Date", "Importance", "X-Mailer",
                               "X-MSMail-Priority", "X-Priority", "MIME-Version", "Content-Type",
                               "Content-Transfer-Encoding"}));
        EXPECT_EQ(message["headers"].toArray().at(0).toArray().at(1).toString(),
                  "Zaru Vuzarovuz <sniper@example.com>");
        EXPECT_EQ(message["login"].toString(), kUser);
        EXPECT_EQ(message["rcpt_tos"].toArray().at(0).toString(), "me@example.org");
        EXPECT_EQ(partValue(message, 0, "cte"), c.encoding);
        EXPECT_EQ(partValue(message, 0, "charset"), c.charset);
        EXPECT_EQ(payload(message, 0), c.bytes);
        EXPECT_TRUE(message["defects"].toArray().isEmpty());
        EXPECT_EQ(message["bare_line_feeds"].toInt(), 0);
        EXPECT_LE(message["longest_line"].toInt(), 77);
    }
    // The dots at line starts went over the wire doubled.
    EXPECT_TRUE(server.rawMessage(1).contains("\r\n.hidden line\r\n.\r\nend"));

    MailAttachment attachment;
    attachment.filePath = archive;
    const MailSendResult result = MailSendJob::send(
        accountFor(server), {QStringLiteral("Log"), QStringLiteral("The log.\r\n"), {attachment}},
        nullptr);
    ASSERT_TRUE(result.ok()) << result.detail.toStdString();
    const QJsonObject message = server.message(++n);
    EXPECT_EQ(message["content_type"].toString(), "multipart/mixed");
    EXPECT_EQ(payload(message, 0), "The log.\r\n");
    EXPECT_EQ(partValue(message, 1, "filename"), "qzvt.gz");
    EXPECT_EQ(partValue(message, 1, "disposition"), "attachment");
    EXPECT_EQ(partValue(message, 1, "content_type"), "application/gzip");
    EXPECT_EQ(partValue(message, 1, "cte"), "base64");
    EXPECT_EQ(payload(message, 1), binary);
    EXPECT_TRUE(message["defects"].toArray().isEmpty());
}

TEST(SmtpAiosmtpd, AuthenticationAndRefusals)
{
    SmtpServer server({kUser, kPassword});
    ASSERT_RUNS(server);
    AppHome home;

    // A wrong password ends the session; neither it nor its Base64 reaches the log.
    MailSendResult result = MailSendJob::send(accountFor(server, kUser, "Wr0ng-Secret"),
                                              {"s", "b", {}}, &home.app().log());
    EXPECT_EQ(result.outcome, MailSendResult::ConnectFailed);
    EXPECT_TRUE(home.logText().contains("SMTP error occurred..."));
    EXPECT_FALSE(home.logText().contains("Wr0ng-Secret"));
    EXPECT_FALSE(home.logText().contains(QByteArray("Wr0ng-Secret").toBase64()));

    // Without credentials MAIL FROM meets 530 a bounded number of times.
    RecordingSmtp smtp;
    smtp.setReplyTimeout(5000);
    ASSERT_TRUE(smtp.Connect("127.0.0.1", server.port()));
    MailMessage message;
    message.senderAddress = QStringLiteral("sniper@example.com");
    message.recipientAddress = QStringLiteral("me@example.org");
    EXPECT_EQ(smtp.SendMessage(message), 530);
    EXPECT_EQ(smtp.commands.count("MAIL FROM: <sniper@example.com>"), 1 + CSmtp::kMaxAuthRounds);
    EXPECT_TRUE(smtp.LastReply().startsWith("530"));
    // An address that would smuggle in a command is refused before anything is sent.
    message.recipientAddress = QStringLiteral("me@example.org>\r\nRCPT TO:<other@example.net");
    EXPECT_EQ(smtp.SendMessage(message), -1);
    smtp.Close();

    SmtpAccount noSender = accountFor(server);
    noSender.sender.clear();
    result = MailSendJob::send(noSender, {"s", "b", {}}, &home.app().log());
    EXPECT_EQ(result.code, -1);
    EXPECT_TRUE(home.logText().contains("SMTP internal error occurred..."));
    EXPECT_EQ(server.messageCount(), 0);
}

TEST(SmtpAiosmtpd, HeloFallbackAndTls)
{
    TestCertificate certificate;
    ASSERT_TRUE(certificate.isValid()) << certificate.errorString().toStdString();
    {
        SmtpServer::Options options;
        options.refuseEhlo = true;
        SmtpServer server(options);
        ASSERT_RUNS(server);
        RecordingSmtp smtp;
        smtp.setAuth(kUser, kPassword);
        ASSERT_TRUE(smtp.Connect("127.0.0.1", server.port()));
        EXPECT_FALSE(smtp.isEsmtp());
        MailMessage message;
        message.senderAddress = QStringLiteral("sniper@example.com");
        message.recipientAddress = QStringLiteral("me@example.org");
        EXPECT_EQ(smtp.SendMessage(message), 0);
        smtp.Close();
        ASSERT_GE(smtp.commands.size(), 3);
        EXPECT_TRUE(smtp.commands[1].startsWith("EHLO "));
        EXPECT_TRUE(smtp.commands[2].startsWith("HELO "));
        EXPECT_FALSE(smtp.commands.contains("AUTH LOGIN"));
        EXPECT_EQ(server.messageCount(), 1);
    }

    SmtpServer startTls({kUser, kPassword, false, &certificate});
    SmtpServer implicit({kUser, kPassword, false, nullptr, &certificate});
    ASSERT_RUNS(startTls);
    ASSERT_RUNS(implicit);
    SmtpAccount account = accountFor(startTls);
    account.security = {MailSecurity::StartTls, certificate.certFile()};
    MailSendResult result = MailSendJob::send(account, {"over STARTTLS", "b", {}}, nullptr);
    EXPECT_TRUE(result.ok()) << result.detail.toStdString();
    EXPECT_EQ(startTls.message(1)["login"].toString(), kUser);

    account = accountFor(implicit);
    account.security = {MailSecurity::ImplicitTls, certificate.certFile()};
    result = MailSendJob::send(account, {"over TLS", "b", {}}, nullptr);
    EXPECT_TRUE(result.ok()) << result.detail.toStdString();
    EXPECT_EQ(implicit.messageCount(), 1);

    AppHome home;
    account.security.extraCaFile.clear();
    result = MailSendJob::send(account, {"untrusted", "b", {}}, &home.app().log());
    EXPECT_EQ(result.outcome, MailSendResult::ConnectFailed);
    EXPECT_TRUE(result.detail.startsWith("TLS: the server's certificate is not trusted"))
        << result.detail.toStdString();
    EXPECT_TRUE(home.logText().contains("SMTP: TLS: the server's certificate is not trusted"));
    EXPECT_EQ(implicit.messageCount(), 1);
}

TEST(SmtpFaults, EndsWithinItsTimeOutAndRecovers)
{
    using S = ScriptedServer;
    RecordingSmtp smtp;
    smtp.setReplyTimeout(300);

    // A hang-up in the middle of the EHLO reply, a greeting that is no SMTP, silence.
    S cut({S::send("220 hi\r\n"), S::readLine(), S::send("250-first\r\n250-AUT"), S::hangUp()});
    EXPECT_FALSE(smtp.Connect("127.0.0.1", cut.port()));
    S garbage({S::send("HTTP/1.1 400 Bad Request\r\n\r\n")});
    EXPECT_FALSE(smtp.Connect("127.0.0.1", garbage.port()));
    EXPECT_EQ(smtp.failures.last(), -1);
    S silent({});
    EXPECT_FALSE(smtp.Connect("127.0.0.1", silent.port()));
    EXPECT_EQ(smtp.connectError(), "no greeting from the server");

    // The same client then completes a session in which a multi-line reply's last line
    // comes later: it belongs to its command alone.
    S slow({S::send("220 hi\r\n"), S::readLine(), S::send("250-first\r\n"), S::pause(100),
            S::send("250 last\r\n"), S::readLine(), S::send("250 sender ok\r\n"), S::readLine(),
            S::send("250 recipient ok\r\n"), S::readLine(), S::send("354 go ahead\r\n"),
            S::readUntil("."), S::send("250 queued\r\n"), S::readLine(), S::send("221 bye\r\n")});
    ASSERT_TRUE(smtp.Connect("127.0.0.1", slow.port()));
    EXPECT_EQ(smtp.LastReply(), "250-first\r\n250 last");
    MailMessage message;
    message.senderAddress = QStringLiteral("sniper@example.com");
    message.recipientAddress = QStringLiteral("me@example.org");
    EXPECT_EQ(smtp.SendMessage(message), 0) << smtp.LastReply().toStdString();
    smtp.Close();
    EXPECT_EQ(slow.lines().last(), "QUIT");
}

TEST(MailSender, OneThreadPerMail)
{
    static int argc = 1;
    static char name[] = "test_mail";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance())
        new QCoreApplication(argc, argv);
    using S = ScriptedServer;
    // One connection after the other: the second mail waits for its greeting meanwhile.
    S server({S::send("220 hi\r\n"), S::readLine(), S::send("250 hello\r\n"), S::readLine(),
              S::send("250 ok\r\n"), S::readLine(), S::send("250 ok\r\n"), S::readLine(),
              S::send("354 go ahead\r\n"), S::readUntil("."), S::send("250 queued\r\n"),
              S::readLine(), S::send("221 bye\r\n")});
    AppHome home;
    AppSettings& settings = home.app().settings();
    settings.smtpServer = QStringLiteral("127.0.0.1");
    settings.smtpPort = server.port();
    settings.notifySender = QStringLiteral("sniper@example.com");
    settings.notifyRecipient = QStringLiteral("me@example.org");
    home.app().publishSettings();

    MailSender sender(home.app());
    sender.setReplyTimeout(10000);
    QList<MailSendResult> results;
    QObject::connect(&sender, &MailSender::finished,
                     [&results](const MailSendResult& result) { results << result; });
    sender.send({QStringLiteral("First"), QStringLiteral("one"), {}});
    sender.send({QStringLiteral("Second"), QStringLiteral("two"), {}});
    EXPECT_EQ(sender.sending(), 2);
    const QDeadlineTimer deadline(20000);
    while (results.size() < 2 && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    ASSERT_EQ(results.size(), 2);
    EXPECT_TRUE(results[0].ok() && results[1].ok());
    EXPECT_EQ(sender.sending(), 0);
    EXPECT_EQ(server.lines().count("DATA"), 2);
    EXPECT_TRUE(server.lines().contains("Subject: First"));
    EXPECT_TRUE(server.lines().contains("Subject: Second"));
}
