// `gavelind mail check` with no copy running: the list start-up would load is changed by
// the mailbox's commands and saved; `gavelind mail test` prints the server's replies.

#include "model/bidlistfile.h"
#include "model/bidsdoc.h"
#include "model/listenvironment.h"
#include "support/dovecotserver.h"
#include "support/smtpserver.h"
#include "support/temphome.h"

#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>

namespace {

struct DaemonRun
{
    int status = -1;
    QString out;
    QString err;
};

DaemonRun daemon(const TempHome& home, const QStringList& arguments)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("GAVELIN_HOME", home.root());
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(GAVELIN_BINARY_DIR "/src/gavelind"), arguments);
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
        return {};
    }
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

void set(const TempHome& home, const QString& key, const QString& value)
{
    const DaemonRun run = daemon(home, {"settings", "set", "MailCmd", key, value});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
}

} // namespace

TEST(GavelindMail, CheckChangesTheStartupListAndTestPrintsTheReplies)
{
    DovecotServer pop;
    SmtpServer smtp;
    ASSERT_TRUE(pop.isRunning()) << pop.errorString().toStdString();
    ASSERT_TRUE(smtp.isRunning()) << smtp.errorString().toStdString();
    TempHome home;
    set(home, "server", "127.0.0.1");
    set(home, "port", QString::number(pop.port()));
    set(home, "login", DovecotServer::kUser);
    set(home, "pass", DovecotServer::kPassword);
    set(home, "email", "boss@example.org");
    set(home, "server2", "127.0.0.1");
    set(home, "port2", QString::number(smtp.port()));
    set(home, "sender", "sniper@example.com");
    set(home, "recv", "me@example.org");

    // The default list of the documents folder, with two bids.
    {
        CBidsDoc doc(ListEnvironment::standalone());
        doc.newDocument();
        for (const char* id : {"1234567890", "2345678901"}) {
            auto item = std::make_unique<CBidItem>();
            item->setId(QString::fromLatin1(id));
            item->setMaxPrice(5.0f);
            item->setEndTime(1'900'000'000);
            doc.appendItem(std::move(item), doc.folderById(CBidFolder::OpenAuctionsId));
        }
        home.writeFile("documents/List1.bid", BidListFile::write(doc));
    }
    pop.addMail("From: boss@example.org\r\nSubject: qzvtmc change\r\n\r\nlot=1234567890 "
                "maxprice=17,25 and list it\r\n");
    pop.addMail("From: mallory@example.net\r\nSubject: qzvtmc deactive\r\n\r\nlot=2345678901\r\n");

    const DaemonRun check = daemon(home, {"mail", "check"});
    EXPECT_EQ(check.status, 0) << check.err.toStdString();
    EXPECT_TRUE(check.out.contains("mail 1 from boss@example.org: changed #1234567890 to 17.25; "
                                   "bids list requested; deleted"))
        << check.out.toStdString();
    EXPECT_TRUE(check.out.contains("mail 2 from mallory@example.net: from another sender"));
    EXPECT_TRUE(check.out.contains("bids list: sent"));
    ASSERT_EQ(smtp.messageCount(), 1);

    QFile saved(home.paths().documentsDir() + "/List1.bid");
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    CBidsDoc doc(ListEnvironment::standalone());
    ASSERT_TRUE(BidListFile::read(saved.readAll(), doc, BidListReadContext::forList(doc)));
    EXPECT_FLOAT_EQ(doc.itemById("1234567890")->maxPrice(), 17.25f);
    EXPECT_EQ(doc.itemById("2345678901")->status(), quint32(StatusActive));

    const DaemonRun json = daemon(home, {"mail", "check", "--json"});
    EXPECT_EQ(json.status, 0);
    EXPECT_TRUE(json.out.startsWith("{\"completed\":true")) << json.out.toStdString();

    const DaemonRun test = daemon(home, {"mail", "test"});
    EXPECT_EQ(test.status, 0) << test.out.toStdString();
    EXPECT_TRUE(test.out.contains("< 220")) << test.out.toStdString();
    EXPECT_TRUE(test.out.contains("> DATA"));
    EXPECT_TRUE(test.out.contains("The test mail was sent to me@example.org."));
    EXPECT_FALSE(test.out.contains(DovecotServer::kPassword));

    EXPECT_EQ(daemon(home, {"mail", "fetch"}).status, 2);
}
