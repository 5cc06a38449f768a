#include "model/documentstore.h"
#include "app/imainwindow.h"
#include "model/bidlistfile.h"
#include "model/recentfiles.h"
#include "model/safefilewriter.h"
#include "model/startuplist.h"
#include "modelfixture.h"

#include <QDir>
#include <QFile>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeAll(const QString& path, const QByteArray& content)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
}

} // namespace

class DocumentStoreTest : public ModelTest
{
protected:
    QString documents() { return m_home.app().paths().documentsDir(); }
    QString listPath(const QString& name) { return documents() + "/" + name; }
    QString savedList(const QString& name)
    {
        addItem("1234567890", StatusActive)->setTitle("Saved");
        const QString path = listPath(name);
        QDir().mkpath(documents());
        EXPECT_TRUE(DocumentStore(m_doc).save(path));
        return path;
    }

    DocumentStore m_store{m_doc};
};

TEST_F(DocumentStoreTest, SaveAndOpenTrackPathModifiedAndRecentFiles)
{
    const QString path = savedList("mine.bid");
    EXPECT_EQ(m_doc.path(), path);
    EXPECT_EQ(m_doc.title(), "mine.bid");
    EXPECT_FALSE(m_doc.isModified());
    EXPECT_EQ(RecentFiles(m_doc.environment()).list().value(0), path);

    m_doc.newDocument();
    QString message;
    ASSERT_TRUE(m_store.open(path, &message)) << message.toStdString();
    ASSERT_EQ(m_doc.itemCount(), 1);
    EXPECT_EQ(m_doc.itemAt(0)->title(), "Saved");
    EXPECT_EQ(m_doc.selectedFolderId(), CBidFolder::OpenAuctionsId);
    EXPECT_EQ(m_events.rows, std::vector<int>{0});

    EXPECT_TRUE(m_store.save(m_home.app().paths().autosaveFile()));
    EXPECT_EQ(RecentFiles(m_doc.environment()).list(),
              QStringList{path}); // the autosave copy is never recent
}

TEST_F(DocumentStoreTest, OpenFailures)
{
    addItem("1234567890", StatusActive);
    QString message;
    EXPECT_FALSE(m_store.open(listPath("missing.bid"), &message));
    EXPECT_TRUE(message.contains("missing.bid") && message.contains("does not exist"));
    EXPECT_EQ(m_doc.itemCount(), 1); // nothing read: the list stays

    const QString junk = writeFile("documents/junk.bid", "this is no bid list at all");
    EXPECT_FALSE(m_store.open(junk, &message));
    EXPECT_TRUE(message.startsWith("Failed to open the bid list \"" + junk + "\": it is not"));
    EXPECT_EQ(m_doc.itemCount(), 0);
    ASSERT_EQ(m_doc.folders().size(), 2u); // a new list again
    EXPECT_EQ(m_doc.folders()[1]->name(), "Closed auctions");
    EXPECT_TRUE(logText().contains("junk.bid"));

    RecentFiles(m_doc.environment()).add(junk);
    EXPECT_FALSE(m_store.openRecent(junk));
    EXPECT_TRUE(RecentFiles(m_doc.environment()).list().isEmpty());

    const QString empty = writeFile("documents/empty.bid", "");
    EXPECT_TRUE(m_store.open(empty));
    EXPECT_EQ(m_doc.folders().size(), 2u);
    EXPECT_FALSE(m_store.open(documents()));
}

TEST_F(DocumentStoreTest, SpecialFilesAreRefusedWithoutOpeningThem)
{
    addItem("1234567890", StatusActive);
    // A FIFO would block the open until a writer came; a loop names no file at all.
    ASSERT_TRUE(QDir().mkpath(documents()));
    const QString fifo = listPath("pipe.bid");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString loop = listPath("loop.bid");
    ASSERT_TRUE(QFile::link(loop, loop));
    const std::pair<QString, QString> cases[] = {
        {fifo, "it is a pipe (FIFO)"},
        {loop, "its symbolic links lead round in a loop"},
        {documents(), "it is a folder"},
    };
    for (const auto& [path, reason] : cases) {
        QString message;
        EXPECT_FALSE(m_store.open(path, &message));
        EXPECT_TRUE(message.endsWith(reason + ".")) << message.toStdString();
        EXPECT_EQ(m_doc.itemCount(), 1); // nothing read: the list stays
    }
}

TEST_F(DocumentStoreTest, RunningBidsRefuseOpening)
{
    EXPECT_TRUE(m_store.openRefusal().isEmpty());
    addItem("1234567890", StatusRunningOutbid);
    EXPECT_EQ(m_store.openRefusal(), "Please, stop all running bids before continue.");
}

TEST_F(DocumentStoreTest, AutosaveKeepsTheModifiedFlagAndThePath)
{
    const QString path = savedList("mine.bid");
    EXPECT_TRUE(m_store.autosave());
    EXPECT_FALSE(m_doc.isModified());
    m_doc.setModified(true);
    EXPECT_TRUE(m_store.autosave());
    EXPECT_TRUE(m_doc.isModified());
    EXPECT_EQ(m_doc.path(), path);
    EXPECT_EQ(readAll(m_home.app().paths().autosaveFile()), readAll(path));
    EXPECT_TRUE(logText().contains("Autosaving document..."));
}

TEST_F(DocumentStoreTest, SilentSaveGoesToTheDocumentsFolder)
{
    settings().autoSaveList = 0;
    EXPECT_FALSE(m_store.wantsSilentSave());
    m_doc.setSaveSilently(true);
    EXPECT_TRUE(m_store.wantsSilentSave());
    EXPECT_TRUE(m_doc.title().startsWith("List"));
    EXPECT_EQ(m_store.silentSavePath(), listPath(m_doc.title() + ".bid"));
    ASSERT_TRUE(m_store.saveSilently());
    EXPECT_TRUE(QFile::exists(listPath(m_doc.title())));
}

TEST_F(DocumentStoreTest, FailedOrCrashedSaveLeavesThePreviousFile)
{
    const QString path = savedList("mine.bid");
    const QByteArray before = readAll(path);
    const QByteArray longer(1 << 20, 'x');

    QString error;
    EXPECT_FALSE(SafeFileWriter::write(
        path, [](QIODevice& out) { return out.write("half") < 0; }, &error));
    EXPECT_EQ(readAll(path), before);

    // A process that dies in the middle of writing.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        SafeFileWriter::write(path, [&longer](QIODevice& out) {
            out.write(longer.left(longer.size() / 2));
            _exit(3);
            return true;
        });
        _exit(0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 3);
    EXPECT_EQ(readAll(path), before);

    EXPECT_TRUE(SafeFileWriter::write(path, longer));
    EXPECT_EQ(readAll(path), longer);
}

TEST_F(DocumentStoreTest, RecentFileList)
{
    for (int i = 0; i < 20; ++i)
        RecentFiles(m_doc.environment()).add(QStringLiteral("/lists/%1.bid").arg(i));
    RecentFiles(m_doc.environment()).add("/lists/5.bid");
    const QStringList files = RecentFiles(m_doc.environment()).list();
    ASSERT_EQ(files.size(), 16);
    EXPECT_EQ(files.first(), "/lists/5.bid");
    EXPECT_EQ(files.at(1), "/lists/19.bid");
    EXPECT_EQ(files.count("/lists/5.bid"), 1);
    EXPECT_EQ(m_home.app().userRegistry().readStr("Recent File List", "File1"), "/lists/5.bid");

    EXPECT_EQ(RecentFiles::menuText("/home/ann/a.bid"), "/home/ann/a.bid");
    EXPECT_EQ(RecentFiles::menuText("/home/ann/auctions/2024/spring/cameras.bid"),
              "/home/.../spring/cameras.bid");
    const QString longName = "/x/" + QString(40, 'n') + ".bid";
    EXPECT_EQ(RecentFiles::menuText(longName), QString(40, 'n') + ".bid");
}

class StartupListTest : public DocumentStoreTest
{
protected:
    StartupList::Source load(bool answer = true)
    {
        return StartupList::load(m_doc, [this, answer](const QString& question) {
            m_questions << question;
            return answer;
        });
    }
    QStringList m_questions;
};

TEST_F(StartupListTest, AutosaveCopyComesFirst)
{
    const QString recent = savedList("recent.bid");
    m_doc.itemAt(0)->setTitle("Autosaved");
    ASSERT_TRUE(m_store.autosave());
    EXPECT_EQ(load(), StartupList::Source::Autosave);
    EXPECT_EQ(m_doc.itemAt(0)->title(), "Autosaved");
    EXPECT_TRUE(m_doc.isModified());
    EXPECT_EQ(m_doc.path(), recent);
    EXPECT_TRUE(logText().contains("Try load 'autosave.dat' file!"));

    writeAll(m_home.app().paths().autosaveFile(), "garbage");
    EXPECT_EQ(load(), StartupList::Source::AutosaveCorrupted);
    EXPECT_EQ(m_doc.itemCount(), 0);
    EXPECT_EQ(m_doc.folders().size(), 2u);
    EXPECT_TRUE(m_doc.isModified());
    EXPECT_TRUE(logText().contains("'autosave.dat' file is corrupted!"));

    writeAll(m_home.app().paths().autosaveFile(), ""); // empty: ignored
    EXPECT_EQ(load(), StartupList::Source::RecentFile);
    EXPECT_EQ(m_doc.path(), recent);
    EXPECT_TRUE(logText().contains("Try load recent file '" + recent + "'"));
    EXPECT_TRUE(m_questions.isEmpty());
}

TEST_F(StartupListTest, DefaultListIsOfferedWhenNoRecentFileExists)
{
    savedList("List1.bid");
    RecentFiles(m_doc.environment()).remove(listPath("List1.bid"));
    RecentFiles(m_doc.environment()).add(listPath("gone.bid"));
    EXPECT_EQ(load(true), StartupList::Source::DefaultList);
    ASSERT_EQ(m_questions.size(), 1);
    EXPECT_TRUE(m_questions[0].startsWith("The file List1.bid, which includes"));
    EXPECT_EQ(m_doc.itemCount(), 1);

    RecentFiles(m_doc.environment()).remove(listPath("List1.bid"));
    EXPECT_EQ(load(false), StartupList::Source::NewList);
    EXPECT_EQ(m_doc.itemCount(), 0);
    // "a new empty list with the same name", as the question said.
    EXPECT_EQ(m_doc.path(), listPath("List1.bid"));

    QFile::remove(listPath("List1.bid"));
    m_questions.clear();
    EXPECT_EQ(load(), StartupList::Source::NewList);
    EXPECT_TRUE(m_questions.isEmpty());
}

namespace {

class MessageList : public IMainWindow
{
public:
    void postBidsViewCommand(int) override {}
    void addMessage(const QString& line, int) override { lines << line; }
    void setStatusText(const QString&) override {}
    void showTrayBalloon(const QString&, const QString&, int) override {}
    int ask(const Question& question) override { return question.defaultAnswer; }
    void itemsChanged() override {}
    void foldersChanged() override {}
    void siteChanged() override {}
    void activate() override {}

    QStringList lines;
};

} // namespace

// A kill, then a start that recovers the autosave copy, then a silent save at exit.
TEST_F(StartupListTest, RecoveredCopyGoesBackToItsOwnFileAndNothingElseIsOverwritten)
{
    MessageList window;
    m_home.app().setMainWindow(&window);
    const std::shared_ptr<void> detach(nullptr,
                                       [this](void*) { m_home.app().setMainWindow(nullptr); });
    const QString other = savedList("List1.bid");
    const QByteArray otherBytes = readAll(other);
    m_doc.newDocument();
    for (const char* id : {"1000000001", "1000000002", "1000000003"})
        addItem(id, StatusActive);
    const QString mine = listPath("mine.bid");
    ASSERT_TRUE(m_store.save(mine));
    addItem("1000000004", StatusActive);
    ASSERT_TRUE(m_store.autosave());

    m_doc.newDocument();
    EXPECT_EQ(load(), StartupList::Source::Autosave);
    EXPECT_EQ(m_doc.path(), mine);
    EXPECT_EQ(m_doc.itemCount(), 4);
    EXPECT_TRUE(m_doc.isModified());
    EXPECT_EQ(window.lines.filter("recovered from the autosave copy").size(), 1);
    EXPECT_TRUE(logText().contains("the list \"" + mine + "\" was recovered"));
    ASSERT_TRUE(m_store.saveSilently());
    EXPECT_EQ(readAll(other), otherBytes);
    EXPECT_EQ(RecentFiles(m_doc.environment()).list().value(0), mine);
    EXPECT_FALSE(QFile::exists(m_home.app().paths().autosaveFile())); // older than the file
    m_doc.newDocument();
    ASSERT_TRUE(m_store.open(mine));
    EXPECT_EQ(m_doc.itemCount(), 4);

    // A copy of a list that never had a file comes back as a new list, which takes a free
    // name rather than the one of a list already there.
    m_doc.newDocument();
    addItem("2000000001", StatusActive);
    ASSERT_TRUE(m_store.autosave());
    const QString taken = writeFile("documents/" + m_doc.title() + ".bid", otherBytes);
    EXPECT_EQ(load(), StartupList::Source::Autosave);
    EXPECT_TRUE(m_doc.path().isEmpty());
    ASSERT_TRUE(m_store.saveSilently());
    EXPECT_EQ(readAll(taken), otherBytes);
    const QString recoveredNew = m_doc.path();
    EXPECT_NE(recoveredNew, taken);
    EXPECT_TRUE(QFile::exists(recoveredNew));

    // The record belongs to one copy: a copy written without it (a crash between the two
    // writes) names no file.
    ASSERT_TRUE(m_store.open(mine));
    addItem("3000000001", StatusActive);
    ASSERT_TRUE(m_store.autosave());
    ASSERT_TRUE(SafeFileWriter::write(m_home.app().paths().autosaveFile(), readAll(recoveredNew)));
    EXPECT_EQ(load(), StartupList::Source::Autosave);
    EXPECT_TRUE(m_doc.path().isEmpty());
}
