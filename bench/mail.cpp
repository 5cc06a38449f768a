// The mail protocol layer on loopback against real servers: one POP3 session that reads
// the headers (TOP n 1) of every mail in a 200-mail Dovecot mailbox, as a poll does, and
// 100 notification mails sent one after another to aiosmtpd, each on its own connection
// as the send threads do. The figures are the wall time per session and per 100 mails.

#include "mail/mailsendjob.h"
#include "mail/pop3client.h"
#include "mail/pop3reply.h"
#include "support/dovecotserver.h"
#include "support/smtpserver.h"

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

} // namespace

BENCHMARK_MAIN();
