// gavelind as a user runs it on a server: nothing but a list file and settings in its
// folders, the practice site as the auction site. It must sync its clock, read the item,
// bid once just before the end, follow the auction to its verdict and save the list on
// SIGTERM.

#include "model/bidlistfile.h"
#include "model/bidsdoc.h"
#include "model/listenvironment.h"
#include "support/practicesiteprocess.h"
#include "support/temphome.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QThread>
#include <gtest/gtest.h>

namespace {

const QString kDaemon = QStringLiteral(GAVELIN_BINARY_DIR "/src/gavelind");

void EnsureCoreApplication()
{
    static int argc = 1;
    static char name[] = "test_e2e";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance())
        new QCoreApplication(argc, argv);
}

class GavelindSnipeTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        EnsureCoreApplication();
        if (!QFile::exists(PracticeSiteProcess::binaryPath()))
            GTEST_SKIP() << "the practice site is not built";
        m_site = std::make_unique<PracticeSiteProcess>();
        ASSERT_TRUE(m_site->isRunning()) << m_site->errorString().toStdString();
    }

    QProcess* daemon(const QStringList& arguments)
    {
        auto* process = new QProcess;
        m_processes.emplace_back(process);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("GAVELIN_HOME", m_home.root());
        process->setProcessEnvironment(environment);
        process->start(kDaemon, arguments);
        EXPECT_TRUE(process->waitForStarted(5000));
        return process;
    }
    void setting(const QString& section, const QString& key, const QString& value)
    {
        QProcess* process = daemon({"settings", "set", section, key, value});
        ASSERT_TRUE(process->waitForFinished(10000));
        ASSERT_EQ(process->exitCode(), 0) << process->readAllStandardError().constData();
    }

    QByteArray log() const
    {
        QFile file(m_home.paths().logFile());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    bool waitForLog(const QString& text, int milliseconds)
    {
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < milliseconds) {
            if (QString::fromUtf8(log()).contains(text))
                return true;
            QThread::msleep(100);
        }
        return false;
    }

    QJsonValue control(const QByteArray& method, const QString& path, const QByteArray& json = {})
    {
        const PracticeSiteProcess::Reply reply = m_site->control(method, path, json);
        EXPECT_TRUE(reply.ok()) << path.toStdString() << ": " << reply.body.toStdString();
        const QJsonDocument doc = QJsonDocument::fromJson(reply.body);
        return doc.isArray() ? QJsonValue(doc.array()) : QJsonValue(doc.object());
    }

    TempHome m_home;
    std::unique_ptr<PracticeSiteProcess> m_site;
    std::vector<std::unique_ptr<QProcess>> m_processes;
};

TEST_F(GavelindSnipeTest, SnipesAnAuctionToWonWithOnlyAListAndSettings)
{
    // An auction that ends a little after the default 60 s before its end, a rival at 8.
    const QString id = control("POST", "/auctions",
                               R"({"site":"us","title":"Brass lamp","startPrice":5,"endsIn":75,)"
                               R"("bids":[{"bidder":"rival_bert","max":8}]})")
                           .toObject()["item"]
                           .toString();
    ASSERT_FALSE(id.isEmpty());

    // The settings a user would write: the site's addresses, the account, the list.
    QProcess profile;
    profile.start(PracticeSiteProcess::binaryPath(),
                  {"--print-profile", "--port", QString::number(m_site->port()), "--ini"});
    ASSERT_TRUE(profile.waitForFinished(10000));
    m_home.writeFile("config/machine.ini", profile.readAllStandardOutput());
    m_home.writeFile("config/gavelin.ini", "[Options]\ncurrentSite=www.ebay.com\n");

    CBidsDoc list(ListEnvironment::standalone());
    list.newDocument();
    auto item = std::make_unique<CBidItem>();
    item->setId(id);
    item->setMaxPrice(20.0f);
    item->setStatus(StatusActive);
    list.appendItem(std::move(item), list.folderById(CBidFolder::OpenAuctionsId));
    const QString listPath = m_home.writeFile("documents/Lamps.bid", BidListFile::write(list));

    setting("Login", "Login", "practice_user");
    setting("Login", "Password", "practice");
    setting("Recent File List", "File1", listPath);

    QProcess* engine = daemon({});
    ASSERT_TRUE(waitForLog(QStringLiteral("Bid #%1: confirmation received at").arg(id), 90000))
        << log().constData();
    EXPECT_EQ(control("GET", "/auctions/" + id).toObject()["highBidder"].toString(),
              "practice_user");
    control("POST", "/auctions/" + id + "/end", "{}");
    ASSERT_TRUE(waitForLog("You won the auction !", 60000)) << log().constData();

    engine->terminate();
    ASSERT_TRUE(engine->waitForFinished(30000));
    EXPECT_EQ(engine->exitCode(), 0);

    // The list on disk holds the verdict; the site saw exactly one committed bid.
    QFile saved(listPath);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    CBidsDoc reread(ListEnvironment::standalone());
    ASSERT_TRUE(BidListFile::read(saved.readAll(), reread, BidListReadContext::forList(reread)));
    ASSERT_NE(reread.itemById(id), nullptr);
    EXPECT_EQ(reread.itemById(id)->status(), quint32(StatusWon));
    int confirmed = 0;
    for (const QJsonValue entry :
         control("GET", "/log?page=MakeBid").toObject()["entries"].toArray()) {
        const QJsonObject e = entry.toObject();
        if (e["item"].toString() == id && e["form"].toObject()["confirm"].toString() == "1")
            ++confirmed;
    }
    EXPECT_EQ(confirmed, 1);
    EXPECT_FALSE(log().contains("practice\r\n"));
}

} // namespace
