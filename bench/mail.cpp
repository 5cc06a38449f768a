// The mail protocol layer on loopback against real servers: one POP3 session that reads
// the headers (TOP n 1) of every mail in a 200-mail Dovecot mailbox, as a poll does, and
// 100 notification mails sent one after another to aiosmtpd, each on its own connection
// as the send threads do; and one whole mail-command poll of a 200-mail mailbox (every
// mail's From, the tagged ones retrieved, commands carried out against a 100-item list,
// the carried-out mails deleted). The figures are the wall time per session, per 100
// mails and per poll; the poll's item pages are read by a stand-in, so the figure is the
// program's own share without the site's page downloads.

#include "mail/mailpoll.h"
#include "mail/mailsendjob.h"
#include "mail/pop3client.h"
#include "mail/pop3reply.h"
#include "model/bidsdoc.h"
#include "support/apphome.h"
#include "support/dovecotserver.h"
#include "support/smtpserver.h"
#include "web/itempagereader.h"

#include <QElapsedTimer>
#include <benchmark/benchmark.h>

namespace {

QByteArray sampleMail(int n)
{
    QByteArray mail;
    for (int hop = 0; hop < 8; ++hop)
        mail += "Received: from relay" + QByteArray::number(hop) +
                ".example.net (relay.example.net [192.0.2." + QByteArray::number(hop) +
                "])\n\tby mx.example.org with ESMTPS id " + QByteArray::number(n * 100 + hop) +
                "\n\tfor <me@example.org>; Mon, 8 Dec 2025 09:00:00 +0100\n";
    mail += "From: Sender " + QByteArray::number(n) + " <sender" + QByteArray::number(n) +
            "@example.com>\nTo: me@example.org\nSubject: qzvtmc addbid " + QByteArray::number(n) +
            "\nMessage-ID: <" + QByteArray::number(n) +
            "@example.com>\n"
            "Content-Type: text/plain; charset=utf-8\n\n";
    for (int line = 0; line < 40; ++line)
        mail += "addbid lot=1234567890 price=12,50 and some more words on this line.\n";
    return mail;
}

// Connect, log in, STAT, TOP of every mail with its From and Subject, QUIT.
bool readHeaders(const DovecotServer& server, int expected, benchmark::State& state)
{
    Pop3Client client;
    QString text;
    if (!client.Connect("127.0.0.1", server.port()) ||
        !client.Login(DovecotServer::kUser, DovecotServer::kPassword, false) ||
        !client.Stat(text) || text.section(' ', 0, 0).toInt() != expected) {
        client.LastMessage(text);
        state.SkipWithError(("POP3 session failed: " + text).toUtf8().constData());
        return false;
    }
    for (int n = 1; n <= expected; ++n) {
        QByteArray reply;
        QByteArray from;
        QByteArray subject;
        if (!client.Top(n, reply) || !Pop3Reply::headerValue(reply, "From:", from) ||
            !Pop3Reply::headerValue(reply, "Subject:", subject)) {
            state.SkipWithError("TOP failed");
            return false;
        }
        benchmark::DoNotOptimize(subject);
    }
    client.Quit();
    client.Disconnect();
    return true;
}

void Pop3HeadersOf200Mails(benchmark::State& state)
{
    constexpr int kMails = 200;
    DovecotServer server;
    if (!server.isRunning()) {
        state.SkipWithError(server.errorString().toUtf8().constData());
        return;
    }
    for (int n = 0; n < kMails; ++n)
        server.addMail(sampleMail(n));
    // The first session also makes Dovecot index the new mails.
    QElapsedTimer cold;
    cold.start();
    if (!readHeaders(server, kMails, state))
        return;
    const double coldMs = double(cold.nsecsElapsed()) / 1e6;
    for (auto _ : state) {
        if (!readHeaders(server, kMails, state))
            return;
    }
    state.counters["first_session_ms"] = coldMs;
    state.counters["mails"] = kMails;
}
BENCHMARK(Pop3HeadersOf200Mails)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

void Smtp100Mails(benchmark::State& state)
{
    constexpr int kMails = 100;
    SmtpServer::Options options;
    options.user = QStringLiteral("sniper");
    options.password = QStringLiteral("Pa55-w0rd!");
    SmtpServer server(options);
    if (!server.isRunning()) {
        state.SkipWithError(server.errorString().toUtf8().constData());
        return;
    }
    SmtpAccount account;
    account.host = QStringLiteral("127.0.0.1");
    account.port = server.port();
    account.user = options.user;
    account.password = options.password;
    account.sender = QStringLiteral("sniper@example.com");
    account.recipient = QStringLiteral("me@example.org");
    OutgoingMail mail;
    mail.subject = QStringLiteral("Zaru Vuzarovuz: Current bids list");
    for (int row = 0; row < 30; ++row)
        mail.body +=
            QStringLiteral("Active              \t1234567890\t12.50 EUR\tbidder\t\tseller\r\n");
    for (auto _ : state) {
        for (int n = 0; n < kMails; ++n) {
            const MailSendResult result = MailSendJob::send(account, mail, nullptr);
            if (!result.ok()) {
                state.SkipWithError(("SMTP failed: " + result.detail).toUtf8().constData());
                return;
            }
        }
    }
    state.counters["mails"] = kMails;
    state.counters["ms_per_mail"] =
        benchmark::Counter(double(kMails) * state.iterations(),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(Smtp100Mails)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

QString lot(int n)
{
    return QStringLiteral("%1").arg(5000000000LL + n, 10, 10, QLatin1Char('0'));
}

// 200 mails: 50 "addbid", 50 "deactive", 50 "change" from the accepted sender, 25 from
// another sender, 25 without the tag.
void fillCommandMailbox(DovecotServer& server)
{
    for (int n = 0; n < 200; ++n) {
        QByteArray mail = sampleMail(n);
        const qsizetype from = mail.indexOf("From: ");
        mail.replace(from, mail.indexOf('\n', from) - from,
                     n % 8 == 6 ? "From: other@example.net" : "From: Boss <boss@example.org>");
        QByteArray command;
        switch (n % 4) {
        case 0:
            command = "qzvtmc addbid lot=" + lot(1000 + n).toLatin1() + " price=12,50";
            break;
        case 1:
            command = "qzvtmc deactive lot=" + lot(n % 100).toLatin1();
            break;
        case 2:
            command = "qzvtmc change lot=" + lot(n % 100).toLatin1() + " maxprice=20";
            break;
        default:
            command = n % 8 == 7 ? "no command here" : "qzvtmc addbid lot=12345";
            break;
        }
        mail.replace("Subject: qzvtmc addbid", "Subject: " + command);
        server.addMail(mail);
    }
}

void MailPollOf200CommandMails(benchmark::State& state)
{
    DovecotServer server;
    if (!server.isRunning()) {
        state.SkipWithError(server.errorString().toUtf8().constData());
        return;
    }
    AppHome home;
    auto settings = std::make_shared<AppSettings>();
    settings->login = QStringLiteral("buyer");
    settings->password = QStringLiteral("secret");
    Pop3Account account;
    account.host = QStringLiteral("127.0.0.1");
    account.port = server.port();
    account.user = DovecotServer::kUser;
    account.password = DovecotServer::kPassword;
    account.acceptedSender = QStringLiteral("boss@example.org");
    int deleted = 0;
    for (auto _ : state) {
        state.PauseTiming();
        server.clearMailbox();
        fillCommandMailbox(server);
        CBidsDoc doc(ListEnvironment::standalone());
        doc.newDocument();
        for (int n = 0; n < 100; ++n) {
            auto item = std::make_unique<CBidItem>();
            item->setId(lot(n));
            item->setEndTime(QDateTime::currentSecsSinceEpoch() + 86400);
            doc.appendItem(std::move(item), doc.folderById(CBidFolder::OpenAuctionsId));
        }
        MailPoll poll(account, doc, home.app().log(), settings);
        poll.setItemReader([](CBidItem& item, const QString&) {
            item.setEndTime(QDateTime::currentSecsSinceEpoch() + 86400);
            ItemPageResult result;
            result.success = true;
            return result;
        });
        state.ResumeTiming();
        const MailPollReport report = poll.run();
        if (!report.completed) {
            state.SkipWithError(("poll failed: " + report.error).toUtf8().constData());
            return;
        }
        deleted = 0;
        for (const MailPollOutcome& mail : report.mails)
            deleted += mail.deleted ? 1 : 0;
    }
    state.counters["mails"] = 200;
    state.counters["deleted"] = deleted;
}
BENCHMARK(MailPollOf200CommandMails)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
