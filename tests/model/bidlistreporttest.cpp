#include "model/bidlistreport.h"
#include "model/archivewriter.h"
#include "model/documentstore.h"
#include "modelfixture.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTextStream>
#include <sys/stat.h>

class BidListReportTest : public ModelTest
{
protected:
    int run(const QStringList& arguments)
    {
        m_out.clear();
        m_err.clear();
        QTextStream out(&m_out);
        QTextStream err(&m_err);
        const int status = BidListReport::run(arguments, out, err);
        out.flush();
        err.flush();
        return status;
    }
    QString m_out;
    QString m_err;
};

TEST_F(BidListReportTest, JsonListsFoldersAndItemsInFileOrder)
{
    addFolder(1, -1, "Cameras")->setOnlyOneItemWins(true);
    CBidItem* item = addItem("1234567890", StatusWon, 1);
    item->setCurrentPrice(12.3f);
    item->setEndTime(1700001234);
    item->setHighBidders("Mitgliedsname");
    addItem("2222222222", StatusActive);
    const QString path = writeFile("a.bid", QByteArray());
    ASSERT_TRUE(DocumentStore(m_doc).save(path));

    ASSERT_EQ(run({path, "--json"}), 0) << m_err.toStdString();
    const QJsonObject json = QJsonDocument::fromJson(m_out.toUtf8()).object();
    const QJsonArray folders = json["folders"].toArray();
    ASSERT_EQ(folders.size(), 3);
    EXPECT_EQ(folders[2].toObject()["parentId"].toInt(), -1);
    EXPECT_TRUE(folders[2].toObject()["onlyOneItemWins"].toBool());
    const QJsonArray items = json["items"].toArray();
    ASSERT_EQ(items.size(), 2);
    const QJsonObject first = items[0].toObject();
    EXPECT_EQ(first["folderId"].toInt(), 1);
    EXPECT_EQ(first["id"].toString(), "1234567890");
    EXPECT_EQ(first["status"].toInt(), 7);
    EXPECT_EQ(first["currentPrice"].toDouble(), 12.3);
    EXPECT_EQ(first["endTime"].toDouble(), 1700001234.0);
    EXPECT_TRUE(first["private"].toBool());
    EXPECT_TRUE(first["ended"].toBool());
    EXPECT_EQ(first.keys().size(), 21);

    ASSERT_EQ(run({path}), 0);
    EXPECT_TRUE(m_out.contains("#1234567890  Won  folder 1"));
}

TEST_F(BidListReportTest, RewriteConvertsOldListsAndBadFilesFail)
{
    ArchiveWriter old;
    old.writeUInt32(0);
    old.writeUInt32(1);
    old.writeInt32(-1);
    old.writeUInt32(0);
    old.writeString("1234567890");
    old.writeUInt32(StatusActive);
    old.writeString("Old item");
    old.writeInt32(1);
    old.writeFloat(1.0f);
    old.writeFloat(2.0f);
    old.writeUInt32(0);
    old.writeString("seller$$$#");
    old.writeString("bidder");
    old.writeInt64(1234);
    old.writeString("EUR");
    old.writeString("cat");
    const QString path = writeFile("old.bid", old.data());
    const QString out = root() + "/new.bid";

    ASSERT_EQ(run({path, "--rewrite", out}), 0) << m_err.toStdString();
    ASSERT_EQ(run({out, "--json"}), 0);
    const QJsonObject item =
        QJsonDocument::fromJson(m_out.toUtf8()).object()["items"].toArray()[0].toObject();
    EXPECT_EQ(item["seller"].toString(), "seller");
    EXPECT_EQ(item["currency"].toString(), "EUR");
    EXPECT_EQ(item["endTime"].toInt(), 1234);

    const QString junk = writeFile("junk.bid", "not a list");
    EXPECT_EQ(run({junk}), 1);
    EXPECT_TRUE(m_err.contains("Failed to open the bid list"));
    EXPECT_EQ(run({}), 2);
    EXPECT_EQ(run({path, "--xml"}), 2);
}

TEST_F(BidListReportTest, RewriteRefusesSpecialFilesAndNamesTheCause)
{
    addItem("1234567890", StatusActive);
    const QString path = writeFile("a.bid", QByteArray());
    ASSERT_TRUE(DocumentStore(m_doc).save(path));
    const QString fifo = root() + "/fifo";
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString loop = root() + "/loop";
    ASSERT_TRUE(QFile::link("loop", loop));

    EXPECT_EQ(run({path, "--rewrite", fifo}), 1);
    EXPECT_TRUE(m_err.contains("\"" + fifo + "\": it is a pipe (FIFO)")) << m_err.toStdString();
    EXPECT_TRUE(m_out.isEmpty());
    EXPECT_FALSE(QFileInfo(fifo).isFile());
    EXPECT_EQ(run({path, "--rewrite", loop}), 1);
    EXPECT_TRUE(m_err.contains("its symbolic links lead round in a loop"));
    EXPECT_TRUE(QFileInfo(loop).isSymLink());
    EXPECT_EQ(run({loop}), 1);
    EXPECT_TRUE(m_err.contains("its symbolic links lead round in a loop"));
    EXPECT_EQ(run({fifo}), 1);
    EXPECT_TRUE(m_err.contains("it is a pipe (FIFO)"));
}
