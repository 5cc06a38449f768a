#include "web/itempagereport.h"
#include "loopbackserver.h"
#include "sites/sitesettings.h"
#include "support/apphome.h"
#include "support/localzone.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTextStream>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class ItemPageReportTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_home.app().settings().currentSite = "www.ebay.com";
        m_sites.load(m_home.app().machineRegistry(), "www.ebay.com");
        ASSERT_TRUE(m_dir.isValid());
    }

    int run(const QStringList& arguments)
    {
        m_out.clear();
        m_err.clear();
        QTextStream out(&m_out);
        QTextStream err(&m_err);
        return ItemPageReport::run(arguments, out, err);
    }
    QString write(const QString& name, const QByteArray& bytes)
    {
        const QString path = m_dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }
    QJsonObject json() const { return QJsonDocument::fromJson(m_out.toUtf8()).object(); }

    LocalZone m_zone;
    AppHome m_home;
    SiteSettings m_sites;
    QTemporaryDir m_dir;
    QString m_out;
    QString m_err;
};

const QByteArray kGermanPage =
    "<html><head><meta charset=\"windows-1252\"></head><body>"
    "<div>Kategorie: M\xfcnzen &gt; Mark</div><h1>Silberm\xfcnze</h1>"
    "<table><tr><td>Artikelnummer:</td><td>3000000011</td></tr>"
    "<tr><td>Aktuelles Gebot:</td><td>EUR 1.234,50</td></tr>"
    "<tr><td>Angebot endet:</td><td>15.03.06 18:25:30 MEZ</td></tr>"
    "<tr><td>Angaben zum</td><td>h\xe4ndler ( 5 )</td></tr></table>"
    "<h2>Beschreibung</h2><p>Geben Sie mindestens EUR 1,00 ein. (from the seller)</p>"
    "<h2>Gebot abgeben</h2><p>Geben Sie mindestens EUR 1.235,50 ein.</p></body></html>";

} // namespace

TEST_F(ItemPageReportTest, SavedPagesInBothShapes)
{
    // A Windows-1252 page read with the German wording; the seller's description, which
    // quotes the minimum-bid text, is cut before parsing.
    const QString html = write("de.html", kGermanPage);
    ASSERT_EQ(run({"--site", "www.ebay.de", html}), 0) << m_err.toStdString();
    QJsonObject j = json();
    EXPECT_TRUE(j["success"].toBool());
    EXPECT_EQ(j["id"].toString(), "3000000011");
    EXPECT_EQ(j["title"].toString(), QString::fromUtf8("Silbermünze"));
    EXPECT_EQ(j["seller"].toString(), QString::fromUtf8("händler"));
    EXPECT_DOUBLE_EQ(j["currentPrice"].toDouble(), 1234.5);
    EXPECT_DOUBLE_EQ(j["minBid"].toDouble(), 1235.5);
    EXPECT_EQ(j["endTime"].toInteger(), LocalZone::utc(2006, 3, 15, 17, 25, 30));
    // Only this run used the German site.
    EXPECT_EQ(m_home.app().settings().currentSite, "www.ebay.com");
    EXPECT_TRUE(m_home.app().userRegistry().readStr("Options", "currentSite", "").isEmpty());

    // Its body text, saved and read back with --text, gives the same fields, also when
    // an editor turned the line ends into "\n".
    ASSERT_EQ(run({"--site", "www.ebay.de", "--body-text", html}), 0);
    const QString text = write("de.txt", m_out.toUtf8().replace("\r\n", "\n"));
    ASSERT_EQ(run({"--site", "www.ebay.de", "--text", text}), 0) << m_out.toStdString();
    EXPECT_EQ(json()["id"].toString(), "3000000011");
    EXPECT_DOUBLE_EQ(json()["minBid"].toDouble(), 1235.5);
}

TEST_F(ItemPageReportTest, FailuresAndBadArguments)
{
    const QString page = write("empty.html", "<html><body><p>Nothing here</p></body></html>");
    EXPECT_EQ(run({page}), 1);
    EXPECT_FALSE(json()["success"].toBool());
    EXPECT_TRUE(json()["error"].toString().endsWith("[Error in _keyWord_ItemID]"));

    EXPECT_EQ(run({}), 2);
    EXPECT_TRUE(m_err.contains("usage:"));
    EXPECT_EQ(run({"--bogus", page}), 2);
    EXPECT_EQ(run({page, page}), 2);
    EXPECT_EQ(run({"--site", "www.example.org", page}), 2);
    EXPECT_TRUE(m_err.contains("unknown site"));
    EXPECT_EQ(run({m_dir.filePath("missing.html")}), 2);
    EXPECT_TRUE(m_err.contains("cannot read"));
    EXPECT_TRUE(m_out.isEmpty());
}

TEST_F(ItemPageReportTest, UnreadablePagesSayWhy)
{
    // Special files are refused before anything is read: /dev/zero never ends, a FIFO
    // waits for a writer.
    const QString fifo = m_dir.filePath("fifo");
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString loop = m_dir.filePath("loop");
    ASSERT_EQ(symlink("loop", QFile::encodeName(loop).constData()), 0);
    const QString large = write("large.html", QByteArray(9 << 20, ' '));
    const std::pair<QString, QString> cases[] = {
        {"/dev/zero", "it is a device"},
        {fifo, "it is a pipe (FIFO)"},
        {m_dir.path(), "it is a folder"},
        {loop, "its symbolic links lead round in a loop"},
        {m_dir.filePath("missing.html"), "the file does not exist"},
        {large, "it is larger than 8 MB"}};
    for (const auto& [path, reason] : cases) {
        EXPECT_EQ(run({path}), 2) << path.toStdString();
        EXPECT_EQ(m_err, "gavelind parse-item: cannot read " + path + ": " + reason + "\n");
        EXPECT_TRUE(m_out.isEmpty());
    }

    // A download that fails says why on standard error.
    int port = 0;
    {
        LoopbackServer closed;
        closed.start();
        port = closed.port();
    }
    const QString url = QStringLiteral("http://127.0.0.1:%1/item").arg(port);
    EXPECT_EQ(run({url}), 2);
    EXPECT_TRUE(m_err.startsWith("gavelind parse-item: " + url + " gave no page: "));
    EXPECT_TRUE(m_err.contains("Connection refused")) << m_err.toStdString();
    LoopbackServer http;
    http.server().Get("/gone",
                      [](const httplib::Request&, httplib::Response& res) { res.status = 404; });
    http.start();
    EXPECT_EQ(run({http.url("/gone")}), 2);
    EXPECT_TRUE(m_err.endsWith("gave no page: HTTP status 404 Not Found\n"));
}
