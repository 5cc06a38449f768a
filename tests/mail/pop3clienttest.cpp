#include "mail/pop3client.h"
#include "mail/pop3reply.h"
#include "support/dovecotserver.h"
#include "support/scriptedserver.h"
#include "support/testcertificate.h"

#include <QDeadlineTimer>
#include <QThread>
#include <gtest/gtest.h>
#include <memory>
#include <thread>

namespace {

QString status(const Pop3Client& client)
{
    QString text;
    client.LastMessage(text);
    return text;
}

// One Dovecot for the suite: starting it costs about a second.
class Pop3Dovecot : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        certificate = new TestCertificate;
        server = new DovecotServer(certificate);
    }
    static void TearDownTestSuite()
    {
        delete server;
        delete certificate;
    }
    void SetUp() override
    {
        // In CI a server that cannot start is a failure, never a skip.
        ASSERT_TRUE(certificate->isValid()) << certificate->errorString().toStdString();
        ASSERT_TRUE(server->isRunning()) << server->errorString().toStdString();
        server->clearMailbox();
    }

    static bool waitForMailCount(int count)
    {
        const QDeadlineTimer deadline(5000);
        while (server->mailCount() != count && !deadline.hasExpired())
            QThread::msleep(20);
        return server->mailCount() == count;
    }

    static inline TestCertificate* certificate = nullptr;
    static inline DovecotServer* server = nullptr;
};

} // namespace

TEST(Pop3Reply, FramingAndParts)
{
    using namespace Pop3Reply;
    EXPECT_TRUE(isComplete("+OK 2 320\r\n", kLineEnd));
    EXPECT_FALSE(isComplete("+OK 2 320\r", kLineEnd));
    EXPECT_TRUE(isComplete("+OK\r\nSubject: x\r\n\r\n.\r\n", kMultiLineEnd));
    // A body line ending with a full stop at the end of a read is not the end.
    EXPECT_FALSE(isComplete("+OK\r\nSubject: x\r\n\r\nSee you.\r\n", kMultiLineEnd));
    EXPECT_TRUE(isComplete("-err no such message\r\n", kMultiLineEnd));
    EXPECT_FALSE(isComplete("", kLineEnd));
    EXPECT_TRUE(isNegative("-ERR"));
    EXPECT_FALSE(isNegative(""));
    EXPECT_EQ(statText("+OK 0 0\r\n"), "0 0");
    EXPECT_EQ(statText("+OK\r\n"), "");
    EXPECT_EQ(apopTimestamp("+OK ready <1.2@host>\r\n"), "<1.2@host>");
    EXPECT_EQ(apopTimestamp("+OK a > b <c\r\n"), "");
    QByteArray value;
    EXPECT_TRUE(headerValue("X-Original-From: a@x\r\nFrom: b@y\r\n", "From:", value));
    EXPECT_EQ(value, "a@x");
    EXPECT_FALSE(headerValue("To: c@z\r\n", "Subject:", value));
}

TEST_F(Pop3Dovecot, SessionReadsHeadersRetrievesAndDeletes)
{
    server->addMail("From: Boss <boss@example.com>\nTo: me@example.org\n"
                    "Subject: qzvtmc addbid\n\nlot=1234567890 price=12,50\n");
    // Several full reads, lines that end with a full stop and a line that is one.
    QByteArray body;
    for (int i = 0; i < 300; ++i)
        body += "Line " + QByteArray::number(i) + " of a long mail ends here.\n";
    body += ".\n";
    server->addMail("X-Original-From: relay@example.net\nFrom: other@example.org\n\n" + body);
    server->addMail("From: third@example.org\n\nno subject\n");

    Pop3Client client;
    ASSERT_TRUE(client.Connect("127.0.0.1", server->port())) << status(client).toStdString();
    EXPECT_TRUE(client.apopTimestamp().startsWith('<'));
    QString text;
    EXPECT_FALSE(client.Stat(text));
    EXPECT_EQ(status(client), "Not Connected!");
    ASSERT_TRUE(client.Login(DovecotServer::kUser, DovecotServer::kPassword, false))
        << status(client).toStdString();

    ASSERT_TRUE(client.Stat(text));
    EXPECT_TRUE(text.startsWith("3 ")) << text.toStdString();
    ASSERT_TRUE(client.GetFrom(1, text));
    EXPECT_EQ(text, "Boss <boss@example.com>");
    ASSERT_TRUE(client.GetSubject(1, text));
    EXPECT_EQ(text, "qzvtmc addbid");
    // The first "From:" is the end of a longer header name.
    ASSERT_TRUE(client.GetFrom(2, text));
    EXPECT_EQ(text, "relay@example.net");
    EXPECT_FALSE(client.GetSubject(3, text));
    EXPECT_EQ(status(client), "No Subject!");
    QByteArray mail;
    EXPECT_FALSE(client.Top(9, mail));
    EXPECT_EQ(status(client), "Get Mail Header error!");

    ASSERT_TRUE(client.Retrieve(2, mail)) << status(client).toStdString();
    QByteArray expected = body;
    expected.replace("\n", "\r\n").replace("\r\n.\r\n", "\r\n..\r\n");
    EXPECT_TRUE(mail.startsWith("+OK")) << mail.left(40).constData();
    EXPECT_TRUE(mail.endsWith("\r\n" + expected + ".\r\n"));

    EXPECT_TRUE(client.Delete(1));
    EXPECT_FALSE(client.Delete(1));
    EXPECT_EQ(status(client), "Delete Mail error!");
    EXPECT_TRUE(client.Quit());
    EXPECT_TRUE(client.Disconnect());
    EXPECT_TRUE(waitForMailCount(2));
}

TEST_F(Pop3Dovecot, ApopTlsAndRefusals)
{
    Pop3Client client;
    QString text = "unchanged";
    EXPECT_TRUE(client.LastMessage(text));
    EXPECT_EQ(text, "unchanged");
    EXPECT_FALSE(client.Stat(text));
    EXPECT_EQ(status(client), "Socket not Create!");

    ASSERT_TRUE(client.Connect("127.0.0.1", server->port()));
    EXPECT_TRUE(client.Login(DovecotServer::kUser, DovecotServer::kPassword, true))
        << status(client).toStdString();
    ASSERT_TRUE(client.Stat(text));
    EXPECT_EQ(text, "0 0");
    client.Disconnect();

    ASSERT_TRUE(client.Connect("127.0.0.1", server->port()));
    EXPECT_FALSE(client.Login(DovecotServer::kUser, "wrong", true));
    EXPECT_EQ(status(client), "Username or Password error!");
    ASSERT_TRUE(client.Connect("127.0.0.1", server->port()));
    EXPECT_FALSE(client.Login(DovecotServer::kUser, "wrong", false));
    EXPECT_EQ(status(client), "User or Password error!");
    EXPECT_FALSE(status(client).contains("wrong"));

    const MailSecurity trusted{MailSecurity::ImplicitTls, certificate->certFile()};
    ASSERT_TRUE(client.Connect("127.0.0.1", server->tlsPort(), trusted))
        << status(client).toStdString();
    EXPECT_TRUE(client.isEncrypted());
    EXPECT_TRUE(client.Login(DovecotServer::kUser, DovecotServer::kPassword, false));
    EXPECT_TRUE(client.Stat(text));
    client.Disconnect();

    const MailSecurity startTls{MailSecurity::StartTls, certificate->certFile()};
    ASSERT_TRUE(client.Connect("127.0.0.1", server->port(), startTls))
        << status(client).toStdString();
    EXPECT_TRUE(client.isEncrypted());
    EXPECT_TRUE(client.Login(DovecotServer::kUser, DovecotServer::kPassword, true));
    EXPECT_TRUE(client.Stat(text));
    client.Disconnect();

    // The system's store does not know the test certificate.
    EXPECT_FALSE(client.Connect("127.0.0.1", server->tlsPort(), {MailSecurity::ImplicitTls, {}}));
    EXPECT_TRUE(
        status(client).startsWith("TLS Error! TLS: the server's certificate is not trusted"))
        << status(client).toStdString();
    EXPECT_FALSE(client.Connect("127.0.0.1", server->port(), {MailSecurity::StartTls, {}}));
    EXPECT_TRUE(status(client).contains("not trusted"));
}

TEST(Pop3Faults, EndsWithinItsTimeOutAndRecovers)
{
    using S = ScriptedServer;
    const std::vector<S::Step> login{S::send("+OK ready\r\n"), S::readLine(), S::send("+OK\r\n"),
                                     S::readLine(), S::send("+OK\r\n")};
    Pop3Client client;
    client.setReplyTimeout(300);
    QString text;
    QByteArray mail;

    // Without a timestamp APOP is refused before anything is sent.
    {
        S server(login);
        ASSERT_TRUE(client.Connect("127.0.0.1", server.port()));
        EXPECT_FALSE(client.Login("user", "secret", true));
        EXPECT_EQ(status(client), "Apop error!");
        client.Disconnect();
        EXPECT_TRUE(server.lines().isEmpty());
    }
    // A hang-up in the middle of a reply: what came is not taken for the mail.
    {
        std::vector<S::Step> script = login;
        script.insert(script.end(),
                      {S::readLine(), S::send("+OK\r\nFrom: a@b\r\nSubj"), S::hangUp()});
        S server(script);
        ASSERT_TRUE(client.Connect("127.0.0.1", server.port()));
        ASSERT_TRUE(client.Login("user", "secret", false));
        EXPECT_FALSE(client.Top(1, mail));
        EXPECT_EQ(status(client), "Connection Closed!");
        EXPECT_FALSE(client.isConnected());
        // The next session works.
        ASSERT_TRUE(client.Connect("127.0.0.1", server.port()));
        EXPECT_TRUE(client.Login("user", "secret", false));
        client.Disconnect();
        EXPECT_EQ(server.lines().mid(0, 3),
                  (QList<QByteArray>{"user user", "pass secret", "top 1 1"}));
    }
    // Garbage without a line end times out; its remains do not spoil the next reply; a
    // negative reply ends the wait at once.
    {
        std::vector<S::Step> script = login;
        script.insert(script.end(), {S::readLine(), S::send("garbage \x01\x02 no end"),
                                     S::readLine(), S::send("+OK 2 320\r\n"), S::readLine(),
                                     S::send("-ERR no such message\r\n")});
        S server(script);
        ASSERT_TRUE(client.Connect("127.0.0.1", server.port()));
        ASSERT_TRUE(client.Login("user", "secret", false));
        EXPECT_FALSE(client.Stat(text));
        EXPECT_EQ(status(client), "Connection TimeOut!");
        ASSERT_TRUE(client.Stat(text)) << status(client).toStdString();
        EXPECT_EQ(text, "2 320");
        EXPECT_FALSE(client.Top(7, mail));
        EXPECT_EQ(status(client), "Get Mail Header error!");
        client.Disconnect();
    }
    // A server that never greets; and abort() ends a long wait from another thread.
    {
        S server({});
        EXPECT_FALSE(client.Connect("127.0.0.1", server.port()));
        EXPECT_EQ(status(client), "Connection TimeOut!");
        client.setReplyTimeout(60000);
        std::thread stopper([&client] {
            QThread::msleep(100);
            client.abort();
        });
        EXPECT_FALSE(client.Connect("127.0.0.1", server.port()));
        stopper.join();
        EXPECT_EQ(status(client), "Aborted!");
        client.Disconnect();
    }
    EXPECT_FALSE(client.Connect("host.invalid", 110));
    EXPECT_TRUE(status(client).startsWith("Hostname Error!!! ")) << status(client).toStdString();
}
