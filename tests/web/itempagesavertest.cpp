// Saving an item page with its pictures and scripts: the practice site's page, a hostile
// page whose sources try to leave the folder, the limits, the page's charset and the
// failures the user is told about.

#include "eventwait.h"
#include "loopbackserver.h"

#include "support/apphome.h"
#include "support/practicesiteprocess.h"
#include "web/downloadcounter.h"
#include "web/itempagesaver.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>
#include <atomic>

namespace {

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// Every file below `root`, relative to it, sorted and joined by spaces.
std::string filesBelow(const QString& root)
{
    QStringList files;
    QDirIterator it(root, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << QDir(root).relativeFilePath(it.next());
    files.sort();
    return files.join(' ').toStdString();
}

} // namespace

TEST(ItemPageSaver, SavesThePracticeSiteItemPage)
{
    if (!QFile::exists(PracticeSiteProcess::binaryPath()))
        GTEST_SKIP() << "the practice site is not built";
    EnsureCoreApplication();
    AppHome home;
    PracticeSiteProcess site;
    ASSERT_TRUE(site.isRunning()) << site.errorString().toStdString();
    QTemporaryDir parent;
    const QString url = site.baseUrl() + "/ws/eBayISAPI.dll?ViewItem&item=3000000001";

    ItemPageSaver saver;
    const ItemPageSaveResult result = saver.save(url, "3000000001 \t", parent.path());
    ASSERT_TRUE(result.success) << result.error.toStdString();
    EXPECT_EQ(result.folder, parent.filePath("3000000001"));
    const QDir folder(result.folder);
    EXPECT_EQ(filesBelow(parent.path()),
              "3000000001/index.html 3000000001/item-3000000001.gif 3000000001/logo.gif "
              "3000000001/viewitem.js");
    const QByteArray page = readFile(folder.filePath("index.html"));
    EXPECT_TRUE(page.contains("<img src=\"item-3000000001.gif\""));
    EXPECT_TRUE(page.contains("<script src=\"viewitem.js\">"));
    EXPECT_TRUE(page.contains("Silver dollar 1921"));
    EXPECT_TRUE(readFile(folder.filePath("item-3000000001.gif")).startsWith("GIF89a"));
    EXPECT_TRUE(readFile(folder.filePath("viewitem.js")).contains("practiceSiteReady"));
    EXPECT_EQ(result.filesSaved, 3);
    EXPECT_EQ(DownloadCounter::running(), 0);
    EXPECT_TRUE(home.logText().contains("Saving bid #3000000001 in " + folder.path() + "..."));

    // Saved again into the folder that is there now: the files are replaced.
    EXPECT_TRUE(Utils::saveURLSource(url, "3000000001", parent.path()));
    EXPECT_EQ(filesBelow(parent.path()),
              "3000000001/index.html 3000000001/item-3000000001.gif 3000000001/logo.gif "
              "3000000001/viewitem.js");
}

TEST(ItemPageSaver, HostileSourcesStayInsideTheFolder)
{
    QSet<QString> taken{"index.html"};
    EXPECT_EQ(ItemPageSaver::localName(QUrl("http://a.test/img/pic.gif?v=1#x"), taken), "pic.gif");
    EXPECT_EQ(ItemPageSaver::localName(QUrl("http://b.test/PIC.gif"), taken), "PIC_2.gif");
    EXPECT_EQ(ItemPageSaver::localName(QUrl("http://a.test/..%2F..%2Fetc%2Fpasswd"), taken),
              "_.._etc_passwd");
    EXPECT_EQ(ItemPageSaver::localName(QUrl("http://a.test/x/Index.HTML"), taken), "Index_2.HTML");
    EXPECT_EQ(ItemPageSaver::localName(QUrl("http://a.test/..%5C..%5Cwin.ini"), taken),
              "_.._win.ini");
    EXPECT_EQ(ItemPageSaver::localName(QUrl("http://a.test/%2E%2E"), taken), "file");
    EXPECT_EQ(ItemPageSaver::localName(QUrl("http://a.test/a%00b%0A.js"), taken), "a_b_.js");
    EXPECT_EQ(
        ItemPageSaver::localName(QUrl("http://a.test/" + QString(500, 'n') + ".gif"), taken).size(),
        94);
    EXPECT_EQ(ItemPageSaver::folderName("../../etc \r\n"), ".._.._etc");
    EXPECT_EQ(ItemPageSaver::folderName(".. "), "");
    EXPECT_EQ(ItemPageSaver::folderName(" \t"), "");

    EnsureCoreApplication();
    AppHome home;
    LoopbackServer server;
    server.server().Get(".*", [](const httplib::Request& req, httplib::Response& res) {
        if (req.path == "/item") {
            res.set_content(
                "<html><head><base href=\"/assets/\"></head><body>"
                "<img src=\"pic.gif\"><img src='/other/pic.gif'><img src=pic.gif>"
                "<script src=\"../js/app.js\"></script><img src=\"../../../etc/passwd\">"
                "<img src=\"/x/..%2F..%2Fescape.gif\"><img src=\"/index.html\">"
                "<img src=\"/.htaccess\"><img src=\"/dir/\">"
                "<img src=\"/missing.gif?a=1&amp;b=2\"><img src=\"javascript:alert(1)\">"
                "<img src=\"file:///etc/passwd\"><script src=\"data:text/javascript,1\"></script>"
                "<p>Text pic.gif</p></body></html>",
                "text/html");
        } else if (req.path == "/missing.gif") {
            res.status = 404;
        } else {
            res.set_content("BODY:" + req.path, "application/octet-stream");
        }
    });
    server.start();

    QTemporaryDir parent;
    const ItemPageSaveResult result =
        ItemPageSaver().save(server.url("/item"), "42", parent.path());
    ASSERT_TRUE(result.success) << result.error.toStdString();
    EXPECT_EQ(filesBelow(parent.path()),
              "42/_.._escape.gif 42/app.js 42/file 42/htaccess 42/index.html 42/index_2.html "
              "42/passwd 42/pic.gif 42/pic_2.gif");
    const QDir folder(parent.filePath("42"));
    EXPECT_EQ(readFile(folder.filePath("pic.gif")), "BODY:/assets/pic.gif");
    EXPECT_EQ(readFile(folder.filePath("passwd")), "BODY:/etc/passwd");
    EXPECT_EQ(readFile(folder.filePath("index_2.html")), "BODY:/index.html");
    EXPECT_EQ(result.filesSaved, 8);
    EXPECT_EQ(result.filesLeft, 1);

    const QByteArray page = readFile(folder.filePath("index.html"));
    EXPECT_TRUE(page.startsWith("\xEF\xBB\xBF<html><head></head>")); // no <base> any more
    EXPECT_TRUE(page.contains("<img src=\"pic.gif\"><img src=\"pic_2.gif\"><img src=\"pic.gif\">"));
    EXPECT_TRUE(page.contains("<script src=\"app.js\">"));
    EXPECT_TRUE(page.contains("<img src=\"index_2.html\">"));
    // What was not saved is fetched from the web, from where the page meant.
    EXPECT_TRUE(
        page.contains("<img src=\"" + server.url("/missing.gif?a=1&amp;b=2").toUtf8() + "\">"));
    EXPECT_TRUE(page.contains("<img src=\"javascript:alert(1)\"><img src=\"file:///etc/passwd\">"
                              "<script src=\"data:text/javascript,1\">"));
    EXPECT_TRUE(page.contains("<p>Text pic.gif</p>"));
}

TEST(ItemPageSaver, KeepsToItsLimitsAndThePagesCharset)
{
    EnsureCoreApplication();
    AppHome home;
    std::atomic<int> pictures{0};
    const int kPictures = 100000;
    QByteArray many = "<html><body>";
    for (int i = 0; i < kPictures; ++i)
        many += "<img src=\"/img/" + QByteArray::number(i) + ".gif\">";
    many += "</body></html>";
    LoopbackServer server;
    server.server().Get(".*", [&](const httplib::Request& req, httplib::Response& res) {
        if (req.path == "/many") {
            // Not a text type: the server would spend seconds compressing it.
            res.set_content(many.toStdString(), "application/octet-stream");
        } else if (req.path == "/latin") {
            res.set_content("<html><head><meta charset=\"windows-1252\"></head><body>"
                            "K\xE4se <img src=\"k.gif\"></body></html>",
                            "text/html; charset=windows-1252");
        } else if (req.path == "/big") {
            res.set_content("<img src=\"/big.gif\"><img src=\"/small.gif\">", "text/html");
        } else if (req.path == "/big.gif") {
            res.set_content(std::string(5000, 'b'), "image/gif");
        } else {
            ++pictures;
            res.set_content("GIF", "image/gif");
        }
    });
    server.start();
    QTemporaryDir parent;

    ItemPageSaver saver;
    ItemPageSaver::Limits limits;
    limits.maxFiles = 5;
    saver.setLimits(limits);
    ItemPageSaveResult result = saver.save(server.url("/many"), "1", parent.path());
    ASSERT_TRUE(result.success) << result.error.toStdString();
    EXPECT_EQ(result.filesSaved, 5);
    EXPECT_EQ(result.filesLeft, kPictures - 5);
    EXPECT_EQ(pictures.load(), 5);
    const QByteArray page = readFile(parent.filePath("1/index.html"));
    EXPECT_TRUE(
        page.contains("<img src=\"4.gif\"><img src=\"" + server.url("/img/5.gif").toUtf8()));

    // Too large a file, and no time left: the page keeps the web addresses.
    limits = ItemPageSaver::Limits();
    limits.maxFileBytes = 4000;
    limits.maxSeconds = 0;
    saver.setLimits(limits);
    pictures = 0;
    result = saver.save(server.url("/many"), "2", parent.path());
    ASSERT_TRUE(result.success);
    EXPECT_EQ(result.filesSaved, 0);
    EXPECT_EQ(pictures.load(), 0);
    limits.maxSeconds = 60;
    saver.setLimits(limits);
    ASSERT_TRUE(saver.save(server.url("/big"), "3", parent.path()).success);
    EXPECT_FALSE(QFile::exists(parent.filePath("3/big.gif")));
    EXPECT_TRUE(QFile::exists(parent.filePath("3/small.gif")));

    // A page declared Windows-1252 is written in Windows-1252.
    ASSERT_TRUE(saver.save(server.url("/latin"), "4", parent.path()).success);
    EXPECT_EQ(readFile(parent.filePath("4/index.html")),
              "<html><head><meta charset=\"windows-1252\"></head><body>K\xE4se <img "
              "src=\"k.gif\"></body></html>");
}

TEST(ItemPageSaver, SaysWhyNothingWasSaved)
{
    EnsureCoreApplication();
    AppHome home;
    LoopbackServer server;
    server.server().Get("/item", [](const httplib::Request&, httplib::Response& res) {
        res.set_content("<html><body>item</body></html>", "text/html");
    });
    server.start();
    QTemporaryDir parent;
    ItemPageSaver saver;

    QFile plain(parent.filePath("plain"));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    ItemPageSaveResult result = saver.save(server.url("/item"), "7", plain.fileName());
    EXPECT_FALSE(result.success);
    EXPECT_TRUE(result.error.contains("cannot be created")) << result.error.toStdString();

    result = saver.save("http://127.0.0.1:1/item", "8", parent.path());
    EXPECT_FALSE(result.success);
    EXPECT_TRUE(result.error.contains("could not be downloaded")) << result.error.toStdString();
    EXPECT_FALSE(QFile::exists(parent.filePath("8"))); // the folder made for it is gone

    ASSERT_TRUE(QDir().mkpath(parent.filePath("9/index.html")));
    result = saver.save(server.url("/item"), "9", parent.path());
    EXPECT_FALSE(result.success);
    EXPECT_TRUE(result.error.contains("index.html could not be written"))
        << result.error.toStdString();

    EXPECT_FALSE(saver.save(server.url("/item"), "..", parent.path()).success);
    EXPECT_FALSE(saver.save(server.url("/item"), "10", "").success);
    saver.abort();
    result = saver.save(server.url("/item"), "11", parent.path());
    EXPECT_FALSE(result.success);
    EXPECT_FALSE(QFile::exists(parent.filePath("11")));
    EXPECT_EQ(filesBelow(parent.path()), "plain");
}
