#include "model/safefilewriter.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <csignal>
#include <cstring>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool isFifo(const QString& path)
{
    struct stat info;
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 && S_ISFIFO(info.st_mode);
}

} // namespace

TEST(SafeFileWriter, OnlyRegularFilesOrNewNamesAreReplaced)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString fifo = dir.filePath("fifo");
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString loop = dir.filePath("loop");
    ASSERT_EQ(symlink("loop", QFile::encodeName(loop).constData()), 0);
    const QString dangling = dir.filePath("dangling");
    ASSERT_EQ(symlink("/nonexistent-drive/list.bid", QFile::encodeName(dangling).constData()), 0);

    const std::pair<QString, QString> refusals[] = {
        {fifo, "it is a pipe (FIFO)"},
        {loop, "its symbolic links lead round in a loop"},
        {dangling, "it is a symbolic link to a file that does not exist"},
        {dir.path(), "it is a folder"}};
    for (const auto& [path, reason] : refusals) {
        QString error;
        EXPECT_FALSE(SafeFileWriter::write(path, QByteArray("list"), &error)) << path.toStdString();
        EXPECT_EQ(error, reason);
    }
    EXPECT_TRUE(isFifo(fifo));
    EXPECT_TRUE(QFileInfo(loop).isSymLink());

    // A link to a list is written through: the link stays, the file it names changes and
    // keeps its permissions.
    const QString real = dir.filePath("real.bid");
    ASSERT_TRUE(SafeFileWriter::write(real, QByteArray("old")));
    QFile::setPermissions(real, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    const QString link = dir.filePath("link.bid");
    ASSERT_TRUE(QFile::link(real, link));
    EXPECT_TRUE(SafeFileWriter::write(link, QByteArray("new")));
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(readAll(real), "new");
    EXPECT_EQ(QFile::permissions(real), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                            QFileDevice::ReadUser | QFileDevice::WriteUser);
    EXPECT_TRUE(SafeFileWriter::write(dir.filePath("new.bid"), QByteArray("first")));
}

TEST(SafeFileWriter, KilledSaveLeavesTheOldFileAndItsLeftoverGoesAtTheNextSave)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath("mine.bid");
    ASSERT_TRUE(SafeFileWriter::write(path, QByteArray("before")));
    // Kept: not of this list, or not of the temporary shape.
    for (const char* name :
         {".mine.bid.saving-toolong7", "mine.bid.backup", ".other.bid.saving-Ab12Cd"})
        ASSERT_TRUE(QFile(dir.filePath(name)).open(QIODevice::WriteOnly));

    // Killed with the new content complete, just before it would be renamed into place.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        SafeFileWriter::write(path, [](QIODevice& out) {
            out.write("after");
            ::raise(SIGKILL);
            return true;
        });
        _exit(0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(readAll(path), "before");
    // A leftover of an earlier program that wrote the list the same way.
    ASSERT_TRUE(QFile(dir.filePath(".mine.bid.saving-Zz9Yx8")).open(QIODevice::WriteOnly));

    ASSERT_TRUE(SafeFileWriter::write(path, QByteArray("after")));
    EXPECT_EQ(readAll(path), "after");
    QStringList names = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
    names.sort();
    EXPECT_EQ(names, QStringList({".mine.bid.saving-toolong7", ".other.bid.saving-Ab12Cd",
                                  "mine.bid", "mine.bid.backup"}));
}

TEST(SafeFileWriter, FullDiskIsNamedAndKeepsTheOldFile)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath("mine.bid");
    ASSERT_TRUE(SafeFileWriter::write(path, QByteArray("before")));
    int pipeEnds[2];
    ASSERT_EQ(pipe(pipeEnds), 0);
    // A file-size limit fails the write the way a full disk does, in a child of its own.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{100, 100};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        QString error;
        const bool written = SafeFileWriter::write(path, QByteArray(1000, 'x'), &error);
        const QByteArray text = error.toUtf8();
        [[maybe_unused]] const ssize_t n = ::write(pipeEnds[1], text.constData(), text.size());
        _exit(written ? 0 : 1);
    }
    ::close(pipeEnds[1]);
    char buffer[256] = {};
    [[maybe_unused]] const ssize_t n = ::read(pipeEnds[0], buffer, sizeof buffer - 1);
    ::close(pipeEnds[0]);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1);
    EXPECT_STREQ(buffer, strerror(EFBIG));
    EXPECT_EQ(readAll(path), "before");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList({"mine.bid"}));
}
