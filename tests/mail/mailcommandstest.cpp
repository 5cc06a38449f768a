#include "app/stringtable.h"
#include "mail/mailcommandtext.h"
#include "mail/mailnotifications.h"
#include "mail/mailpoll.h"
#include "model/bidsdoc.h"
#include "support/apphome.h"
#include "support/dovecotserver.h"
#include "support/scriptedserver.h"
#include "web/itempagereader.h"

#include <QDeadlineTimer>
#include <QThread>
#include <gtest/gtest.h>

namespace {

constexpr const char* kBoss = "boss@example.org";
const QString kViewItem = QStringLiteral("http://site.test/view?item=%s");

QByteArray mailFrom(const char* from, const QByteArray& subject, const QByteArray& body)
{
    return QByteArray("From: Someone <") + from +
           ">\r\nTo: sniper@example.org\r\nSubject: " + subject + "\r\n\r\n" + body + "\r\n";
}

QString lotNumber(int n)
{
    return QStringLiteral("%1").arg(4000000000LL + n, 10, 10, QLatin1Char('0'));
}

// The poll's own list: items of every kind the commands meet.
class PollList
{
public:
    PollList()
    {
        doc.newDocument();
        settings->login = QStringLiteral("buyer");
        settings->password = QStringLiteral("site-secret");
    }

    CBidItem* add(const QString& id, quint32 status, float maxPrice = 10.0f)
    {
        auto item = std::make_unique<CBidItem>();
        item->setId(id);
        item->setStatus(status);
        item->setMaxPrice(maxPrice);
        item->setEndTime(QDateTime::currentSecsSinceEpoch() + 86400);
        return doc.appendItem(std::move(item), doc.folderById(CBidFolder::OpenAuctionsId));
    }

    MailPoll::ItemReader reader()
    {
        return [this](CBidItem& item, const QString& id) {
            ++pagesRead;
            ItemPageResult result;
            result.success = id != lotNumber(999);
            item.setTitle(QStringLiteral("Item ") + id);
            item.setCurrency(QStringLiteral("EUR"));
            item.setCurrentPrice(3.0f);
            item.setEndTime(QDateTime::currentSecsSinceEpoch() + 86400);
            return result;
        };
    }

    AppHome home;
    CBidsDoc doc{ListEnvironment::standalone()};
    std::shared_ptr<AppSettings> settings = std::make_shared<AppSettings>();
    int pagesRead = 0;
};

Pop3Account accountFor(int port)
{
    Pop3Account account;
    account.host = QStringLiteral("127.0.0.1");
    account.port = port;
    account.user = QString::fromLatin1(DovecotServer::kUser);
    account.password = QString::fromLatin1(DovecotServer::kPassword);
    account.acceptedSender = QString::fromLatin1(kBoss);
    account.replyTimeoutMs = 5000;
    return account;
}

// Deletions are committed once the server has read QUIT, which is not waited for.
bool waitForMailCount(const DovecotServer& server, int count)
{
    const QDeadlineTimer deadline(5000);
    while (server.mailCount() != count && !deadline.hasExpired())
        QThread::msleep(20);
    return server.mailCount() == count;
}

} // namespace

TEST(MailCommandText, CommandsAndParameters)
{
    // The tag in the subject, the command and its parameters in the body.
    MailCommandText add(mailFrom(kBoss, "QZVTMC", "addbid lot=1234567890 price=12,50"));
    EXPECT_TRUE(add.hasTag());
    EXPECT_TRUE(add.hasAddBid());
    EXPECT_FALSE(add.hasList());
    EXPECT_EQ(add.itemNumber(), "1234567890");
    EXPECT_EQ(add.addBidPrice().text, "12.50");
    EXPECT_TRUE(add.addBidPrice().valid);
    EXPECT_FLOAT_EQ(add.addBidPrice().value, 12.5f);

    // Five digits are no item number; capitals work; a word before the tag is ignored,
    // parameters count anywhere; "list" inside another word still counts.
    MailCommandText shortLot("ADDBID lot=12345 qzvtmc DEACTIVE price=1 listing");
    EXPECT_TRUE(shortLot.hasDeactivate());
    EXPECT_FALSE(shortLot.hasAddBid());
    EXPECT_TRUE(shortLot.hasList());
    EXPECT_EQ(shortLot.itemNumber(), "");
    EXPECT_EQ(shortLot.itemNumberText(), "12345 qzvt");
    EXPECT_EQ(shortLot.excerpt(), "qzvtmc deactive price=1 listing");

    // "price=" also matches inside "maxprice=": the first one in the text wins.
    MailCommandText both("qzvtmc change lot=0000000001 maxprice=7.5 price=9");
    EXPECT_EQ(both.addBidPrice().text, "7.5");
    EXPECT_EQ(both.changePrice().text, "7.5");

    // Prices the item dialog refuses, and a missing one.
    for (const char* bad : {"price=abc", "price=-5", "price=0", "price=1.234,50",
                            "price=999999999999999999999999999999999999999999"}) {
        const MailCommandText text(QByteArray("qzvtmc addbid lot=0000000001 ") + bad);
        EXPECT_TRUE(text.addBidPrice().present) << bad;
        EXPECT_FALSE(text.addBidPrice().valid) << bad;
    }
    EXPECT_FALSE(MailCommandText("qzvtmc addbid lot=0000000001").addBidPrice().present);
    EXPECT_FALSE(MailCommandText("no tag addbid lot=0000000001").hasTag());
    // Line breaks never reach the log's quote.
    EXPECT_EQ(MailCommandText("qzvtmc\r\nfoo\r\n").excerpt(), "qzvtmc  foo");
}

TEST(MailNotifications, TextsOfEveryMail)
{
    AppHome home;
    CBidsDoc doc{ListEnvironment::standalone()};
    doc.newDocument();
    // An empty list still has its header and both sections.
    const OutgoingMail empty = MailNotifications::bidsListMail(doc, kViewItem);
    EXPECT_EQ(empty.subject, "Zaru Vuzarovuz: Current bids list");
    EXPECT_EQ(empty.body, StringTable::text(413) +
                              "------ Open auctions ------\r\n\r\n------ Closed auctions "
                              "------\r\n0 items in list found.\r\n");

    auto won = std::make_unique<CBidItem>();
    won->setId(QStringLiteral("1111111111"));
    won->setStatus(StatusWon);
    won->setCurrentPrice(12.5f);
    won->setCurrency(QStringLiteral("EUR"));
    won->setHighBidders(QStringLiteral("buyer"));
    won->setSeller(QStringLiteral("seller1"));
    const CBidItem* wonItem =
        doc.appendItem(std::move(won), doc.folderById(CBidFolder::ClosedAuctionsId));
    auto open = std::make_unique<CBidItem>();
    open->setId(QStringLiteral("2222222222"));
    open->setStatus(StatusActiveOutbid);
    open->setCurrentPrice(3.0f);
    open->setCurrency(QStringLiteral("US $"));
    const CBidItem* openItem =
        doc.appendItem(std::move(open), doc.folderById(CBidFolder::OpenAuctionsId));

    const OutgoingMail ended = MailNotifications::endedMail(*wonItem, kViewItem);
    EXPECT_EQ(ended.subject, "Zaru Vuzarovuz: Notifycation of ended bidding... (#1111111111)");
    EXPECT_EQ(ended.body, "You have won the auction #1111111111. The final price is 12.50 EUR.\r\n"
                          "link to item: http://site.test/view?item=1111111111\r\n");
    EXPECT_EQ(MailNotifications::endedMail(*openItem, kViewItem).body,
              "The bidding of item #2222222222 is ended.\r\n"
              "link to item: http://site.test/view?item=2222222222\r\n");
    const OutgoingMail outbid = MailNotifications::outbidMail(*openItem, kViewItem);
    EXPECT_EQ(outbid.subject, "Zaru Vuzarovuz: Notifycation of overbid item...(#2222222222)");
    EXPECT_TRUE(outbid.body.startsWith(
        "Your bid for auction #2222222222 was overbid. The current price is 3.00 US $.\r\n"));

    // Open-type folders first, whatever the list order; status padded to 25.
    const QString list = MailNotifications::bidsListMail(doc, kViewItem).body;
    const QString openRow = StringTable::statusText(StatusActiveOutbid).leftJustified(25) +
                            "\t2222222222\t3.00 US $\t\t\t\r\n";
    EXPECT_TRUE(list.contains("------ Open auctions ------\r\n" + openRow +
                              "link to item: http://site.test/view?item=2222222222\r\n\r\n"
                              "------ Closed auctions ------\r\n"))
        << list.toStdString();
    EXPECT_TRUE(list.contains("\t1111111111\t12.50 EUR\tbuyer\t\tseller1\r\n"));
    EXPECT_FALSE(list.contains("0 items in list found."));
}

// Dovecot with a mailbox of 200 mails from two senders: every kind of command, good and
// bad, in one poll.
TEST(MailPollDovecot, TwoHundredMailsInOnePoll)
{
    DovecotServer server;
    ASSERT_TRUE(server.isRunning()) << server.errorString().toStdString();
    PollList list;
    for (int i = 0; i < 20; ++i) {
        list.add(lotNumber(100 + i), StatusActive); // deactivated
        list.add(lotNumber(200 + i), StatusActive); // changed
    }
    CBidItem* running = list.add(lotNumber(300), StatusRunning);
    CBidItem* won = list.add(lotNumber(301), StatusWon);

    for (int i = 0; i < 200; ++i) {
        const int n = i / 10;
        QByteArray body;
        const char* from = kBoss;
        switch (i % 10) {
        case 0:
            from = "mallory@evil.example";
            body = "qzvtmc addbid lot=" + lotNumber(500 + n).toLatin1() + " price=1";
            break;
        case 1:
            body = "qzvtmc addbid lot=" + lotNumber(n).toLatin1() + " price=12,50";
            break;
        case 2:
            body = "qzvtmc deactive lot=" + lotNumber(100 + n).toLatin1();
            break;
        case 3:
            body = "QZVTMC CHANGE LOT=" + lotNumber(200 + n).toLatin1() + " MAXPRICE=20.25";
            break;
        case 4:
            body = "addbid lot=" + lotNumber(600 + n).toLatin1() + " price=5";
            break;
        case 5:
            body = "qzvtmc addbid lot=12345 price=3";
            break;
        case 6:
            body = "qzvtmc addbid lot=" + lotNumber(700 + n).toLatin1() + " price=abc";
            break;
        case 7:
            body = "qzvtmc deactive lot=" + lotNumber(n % 2 ? 300 : 301).toLatin1();
            break;
        case 8:
            body = "qzvtmc change lot=" + lotNumber(800 + n).toLatin1() + " maxprice=4";
            break;
        case 9:
            body = "qzvtmc LIST";
            break;
        }
        server.addMail(mailFrom(from, "command " + QByteArray::number(i), body));
    }

    MailPoll poll(accountFor(server.port()), list.doc, list.home.app().log(), list.settings);
    poll.setItemReader(list.reader());
    int listRequests = 0;
    poll.setListRequest([&listRequests] { ++listRequests; });
    const MailPollReport report = poll.run();

    EXPECT_TRUE(report.completed) << report.error.toStdString();
    EXPECT_EQ(report.messageCount, 200);
    ASSERT_EQ(report.mails.size(), 200);
    EXPECT_EQ(listRequests, 20);
    // Only the boss's mails with the tag are read; the stranger's pages are never fetched.
    EXPECT_EQ(list.pagesRead, 20);
    int deleted = 0;
    for (const MailPollOutcome& mail : report.mails) {
        deleted += mail.deleted ? 1 : 0;
        const int kind = (mail.number - 1) % 10;
        EXPECT_EQ(mail.deleted, kind == 1 || kind == 2 || kind == 3 || kind == 9)
            << mail.number << ": " << mail.actions.join("; ").toStdString();
    }
    EXPECT_EQ(deleted, 80);
    EXPECT_TRUE(waitForMailCount(server, 120)) << server.mailCount();

    // 40 old items, 2 more and 20 added; every change as the mails asked.
    ASSERT_EQ(list.doc.itemCount(), 62);
    for (int n = 0; n < 20; ++n) {
        const CBidItem* added = list.doc.itemById(lotNumber(n));
        ASSERT_TRUE(added);
        EXPECT_FLOAT_EQ(added->maxPrice(), 12.5f);
        EXPECT_EQ(added->status(), quint32(StatusActive));
        EXPECT_EQ(added->folder()->id(), CBidFolder::OpenAuctionsId);
        EXPECT_EQ(list.doc.itemById(lotNumber(100 + n))->status(), quint32(StatusNotActive));
        EXPECT_FLOAT_EQ(list.doc.itemById(lotNumber(200 + n))->maxPrice(), 20.25f);
        EXPECT_FALSE(list.doc.itemById(lotNumber(700 + n)));
    }
    EXPECT_EQ(running->status(), quint32(StatusRunning));
    EXPECT_EQ(won->status(), quint32(StatusWon));
    EXPECT_TRUE(list.doc.isModified());

    const QString log = list.home.logText();
    EXPECT_TRUE(log.contains("Zaru Vuzarovuz: Item #4000000000 was added with price 12.50..."));
    EXPECT_TRUE(log.contains("Zaru Vuzarovuz: Item #4000000100 was deactivated..."));
    EXPECT_TRUE(log.contains("Zaru Vuzarovuz: Item 4000000200 was changed... maxprice = 20.25"));
    EXPECT_TRUE(log.contains("Zaru Vuzarovuz: unknown command."));
    EXPECT_TRUE(log.contains("msg: \"qzvtmc addbid lot=12345 price=3"));
    EXPECT_TRUE(log.contains("Item #4000000700 was not added: \"abc\" is no valid price."));
    EXPECT_TRUE(log.contains("Item #4000000300 is being bid on"));
    EXPECT_TRUE(log.contains("Item #4000000301 has ended"));
    EXPECT_FALSE(log.contains(DovecotServer::kPassword));
    EXPECT_FALSE(log.contains("site-secret"));

    // The mails left are seen again, and change nothing the second time.
    MailPoll again(accountFor(server.port()), list.doc, list.home.app().log(), list.settings);
    again.setItemReader(list.reader());
    const MailPollReport second = again.run();
    EXPECT_TRUE(second.completed);
    EXPECT_EQ(second.messageCount, 120);
    EXPECT_EQ(list.doc.itemCount(), 62);
    EXPECT_TRUE(waitForMailCount(server, 120));
}

// Without an accepted sender every poll warns; a page that cannot be read leaves the mail.
TEST(MailPollDovecot, AnySenderWarnsAndFailedPagesStay)
{
    DovecotServer server;
    ASSERT_TRUE(server.isRunning()) << server.errorString().toStdString();
    PollList list;
    list.settings->password.clear();
    server.addMail(mailFrom("anyone@example.net", "x",
                            "qzvtmc addbid lot=" + lotNumber(999).toLatin1() + " price=2"));
    server.addMail(mailFrom("anyone@example.net", "x",
                            "qzvtmc addbid lot=" + lotNumber(1).toLatin1() + " price=2"));
    Pop3Account account = accountFor(server.port());
    account.acceptedSender.clear();
    MailPoll poll(account, list.doc, list.home.app().log(), list.settings);
    poll.setItemReader(list.reader());
    const MailPollReport report = poll.run();
    ASSERT_TRUE(report.completed);
    EXPECT_FALSE(report.mails.at(0).deleted);
    EXPECT_TRUE(report.mails.at(1).deleted);
    // No site password: the item comes in, but not active.
    EXPECT_EQ(list.doc.itemById(lotNumber(1))->status(), quint32(StatusNotActive));
    EXPECT_TRUE(waitForMailCount(server, 1));
    EXPECT_TRUE(list.home.logText().contains(MailPoll::noAcceptedSenderText()));
}

// Servers that misbehave: each poll ends within its time-out with the error report, and
// the next poll works.
TEST(MailPollFaults, EndsWithinItsTimeOut)
{
    using S = ScriptedServer;
    PollList list;
    const std::vector<S::Step> login{S::send("+OK ready\r\n"), S::readLine(), S::send("+OK\r\n"),
                                     S::readLine(), S::send("+OK\r\n")};
    const auto poll = [&list](int port) {
        Pop3Account account = accountFor(port);
        account.replyTimeoutMs = 400;
        MailPoll poll(account, list.doc, list.home.app().log(), list.settings);
        poll.setItemReader(list.reader());
        MailPollReport report = poll.run();
        return report;
    };

    std::vector<S::Step> cutOff = login;
    cutOff.insert(cutOff.end(), {S::readLine(), S::send("+OK 1 99\r\n"), S::readLine(),
                                 S::send("+OK\r\nFrom: boss@exa"), S::hangUp()});
    std::vector<S::Step> garbage = login;
    garbage.insert(garbage.end(), {S::readLine(), S::send("+OK lots of mail\r\n")});
    std::vector<S::Step> silent = login;
    silent.insert(silent.end(), {S::readLine()});
    for (const auto& script : {cutOff, garbage, silent, std::vector<S::Step>{}}) {
        S server(script);
        const MailPollReport report = poll(server.port());
        EXPECT_FALSE(report.completed);
        EXPECT_FALSE(report.error.isEmpty());
    }
    EXPECT_TRUE(list.home.logText().contains("POP error occurred..."));
    EXPECT_TRUE(list.home.logText().contains("MC: Connection Closed!"));
    EXPECT_TRUE(list.home.logText().contains("MC: Connection TimeOut!"));

    // After all that, a sound server is polled as ever.
    std::vector<S::Step> sound = login;
    sound.insert(sound.end(), {S::readLine(), S::send("+OK 0 0\r\n"), S::readLine()});
    S server(sound);
    const MailPollReport report = poll(server.port());
    EXPECT_TRUE(report.completed) << report.error.toStdString();
    const QDeadlineTimer deadline(3000);
    while (!server.lines().contains("quit") && !deadline.hasExpired())
        QThread::msleep(10);
    EXPECT_TRUE(server.lines().contains("quit"));
}
