#include "eventwait.h"
#include "loopbackserver.h"

#include "support/apphome.h"
#include "web/pagesaver.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

} // namespace

TEST(PageSaver, LocalNamesStayInTheFolder)
{
    QSet<QString> taken{"index.html"};
    EXPECT_EQ(PageSaver::localName(QUrl("http://a.test/img/pic.gif"), taken), "pic.gif");
    EXPECT_EQ(PageSaver::localName(QUrl("http://b.test/other/pic.gif"), taken), "pic_2.gif");
    EXPECT_EQ(PageSaver::localName(QUrl("http://a.test/x/INDEX.HTML"), taken), "_INDEX.HTML");
    EXPECT_EQ(PageSaver::localName(QUrl("http://a.test/dir/"), taken), "file");
    EXPECT_EQ(PageSaver::localName(QUrl("http://a.test/..%2F..%2Fetc%2Fpasswd"), taken),
              "_2F.._2Fetc_2Fpasswd");
    EXPECT_EQ(PageSaver::localName(QUrl("http://a.test/s.js?v=1&x=/y"), taken), "y");
    EXPECT_EQ(PageSaver::localName(QUrl("http://a.test/.hidden"), taken), "hidden");
    const QString longName =
        PageSaver::localName(QUrl("http://a.test/" + QString(500, 'n')), taken);
    EXPECT_EQ(longName.size(), 100);
}

TEST(PageSaver, SavesPageImagesAndScripts)
{
    EnsureCoreApplication();
    AppHome home;
    LoopbackServer server;
    server.server().Get("/item", [](const httplib::Request&, httplib::Response& res) {
        res.set_content("<html><body><img src=\"img/pic.gif\"><img src='/other/pic.gif'>"
                        "<img src=img/pic.gif><script src=\"js/app.js\"></script>"
                        "<img src=\"../../escape.gif\"><img src=\"index.html\">"
                        "<img src=\"data:image/gif;base64,R0lG\"><p>Text img/pic.gif</p>"
                        "</body></html>",
                        "text/html");
    });
    server.server().Get(R"(/(img|other)/pic\.gif)",
                        [](const httplib::Request& req, httplib::Response& res) {
                            res.set_content("GIF:" + req.path, "image/gif");
                        });
    server.server().Get("/js/app.js", [](const httplib::Request&, httplib::Response& res) {
        res.set_content("var a;", "application/javascript");
    });
    server.server().Get("/escape.gif", [](const httplib::Request&, httplib::Response& res) {
        res.set_content("ESC", "image/gif");
    });
    server.start();

    QTemporaryDir parent;
    ASSERT_TRUE(Utils::saveURLSource(server.url("/item"), "12345 \t", parent.path()));
    const QDir folder(parent.filePath("12345"));
    const QByteArray page = readFile(folder.filePath("index.html"));
    EXPECT_TRUE(page.contains("<img src=\"pic.gif\"><img src='pic_2.gif'><img src=pic.gif>"));
    EXPECT_TRUE(page.contains("<script src=\"app.js\">"));
    EXPECT_TRUE(page.contains("<img src=\"escape.gif\">"));
    EXPECT_TRUE(page.contains("<img src=\"_index.html\">"));
    EXPECT_TRUE(page.contains("data:image/gif;base64"));
    EXPECT_TRUE(page.contains("<p>Text img/pic.gif</p>")); // only addresses in attributes change
    EXPECT_EQ(readFile(folder.filePath("pic.gif")), "GIF:/img/pic.gif");
    EXPECT_EQ(readFile(folder.filePath("pic_2.gif")), "GIF:/other/pic.gif");
    EXPECT_EQ(readFile(folder.filePath("app.js")), "var a;");
    EXPECT_EQ(readFile(folder.filePath("escape.gif")), "ESC");
    EXPECT_FALSE(QFile::exists(parent.filePath("escape.gif")));
    EXPECT_TRUE(home.logText().contains("Saving bid #12345 in " + folder.path() + "..."));
}

TEST(PageSaver, RefusesBadFoldersAndDeadPages)
{
    EnsureCoreApplication();
    AppHome home;
    QTemporaryDir parent;
    EXPECT_FALSE(Utils::saveURLSource("http://127.0.0.1:1/item", "..", parent.path()));
    EXPECT_FALSE(Utils::saveURLSource("http://127.0.0.1:1/item", "   ", parent.path()));
    EXPECT_EQ(PageSaver("http://x", "../../etc", parent.path()).targetFolder(),
              QDir(parent.path()).filePath(".._.._etc"));
    EXPECT_FALSE(Utils::saveURLSource("http://127.0.0.1:1/item", "777", parent.path()));
    EXPECT_FALSE(QFile::exists(parent.filePath("777/index.html")));
}
