#include "model/safefilewriter.h"

#include "model/filecheck.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QRandomGenerator>
#include <QSet>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int kSuffixLength = 6;

QString temporaryPrefix(const QString& fileName)
{
    return QLatin1Char('.') + fileName + QLatin1String(".saving-");
}

QString systemText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// Temporary files being written by this process, which the clean-up leaves alone.
QMutex g_writingLock;
QSet<QString> g_writing;

// Removes what an earlier write of `fileName` in `folder` left behind when it was killed.
void removeLeftovers(const QString& folder, const QString& fileName)
{
    const QDir dir(folder);
    const QStringList names =
        dir.entryList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoSymLinks);
    QMutexLocker locker(&g_writingLock);
    for (const QString& name : names) {
        const QString path = dir.filePath(name);
        if (!SafeFileWriter::isTemporaryOf(name, fileName) || g_writing.contains(path))
            continue;
        struct stat info;
        if (::lstat(QFile::encodeName(path).constData(), &info) == 0 && S_ISREG(info.st_mode))
            ::unlink(QFile::encodeName(path).constData());
    }
}

// A new temporary file in `folder`, open for writing; -1 with `error` set when none can be
// made.
int createTemporary(const QString& folder, const QString& fileName, mode_t mode, QString* path,
                    QString* error)
{
    static const char letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    for (int attempt = 0; attempt < 100; ++attempt) {
        QString name = temporaryPrefix(fileName);
        for (int i = 0; i < kSuffixLength; ++i)
            name += QLatin1Char(letters[QRandomGenerator::global()->bounded(62)]);
        *path = QDir(folder).filePath(name);
        const int fd = ::open(QFile::encodeName(*path).constData(),
                              O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0)
            return fd;
        if (errno != EEXIST) {
            *error = systemText(errno);
            return -1;
        }
    }
    *error = QStringLiteral("no temporary file could be made");
    return -1;
}

void syncFolder(const QString& folder)
{
    // The rename itself reaches the disk with the folder.
    const int fd =
        ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// Writes straight to a file descriptor and keeps the system's reason when a write fails:
// QFile takes a write that stops part way (a disk that fills up meanwhile) for a short
// write without an error.
class DescriptorWriter : public QIODevice
{
public:
    explicit DescriptorWriter(int fd) : m_fd(fd)
    {
        open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    }

    bool isSequential() const override { return true; }
    // errno of the failed write; 0 when none failed.
    int failure() const { return m_failure; }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override
    {
        qint64 done = 0;
        while (done < size) {
            const ssize_t n = ::write(m_fd, data + done, static_cast<size_t>(size - done));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0) {
                m_failure = n < 0 ? errno : EIO;
                return -1;
            }
            done += n;
        }
        return done;
    }

private:
    int m_fd;
    int m_failure = 0;
};

bool fail(QString* error, const QString& text)
{
    if (error)
        *error = text;
    return false;
}

} // namespace

bool SafeFileWriter::isTemporaryOf(const QString& candidate, const QString& fileName)
{
    const QString prefix = temporaryPrefix(fileName);
    if (candidate.size() != prefix.size() + kSuffixLength || !candidate.startsWith(prefix))
        return false;
    for (qsizetype i = prefix.size(); i < candidate.size(); ++i) {
        const QChar c = candidate.at(i);
        if (c.unicode() > 127 || !c.isLetterOrNumber())
            return false;
    }
    return true;
}

bool SafeFileWriter::write(const QString& path, const Body& body, QString* error)
{
    const QString refusal = FileCheck::notReplaceable(path);
    if (!refusal.isEmpty())
        return fail(error, refusal);
    // Through a symbolic link to the file it names, so the link stays.
    const QFileInfo info(path);
    const QFileInfo target(info.exists() ? info.canonicalFilePath() : info.absoluteFilePath());
    const QString folder = target.absolutePath();
    const QString fileName = target.fileName();
    struct stat existing;
    const bool replacing = ::stat(QFile::encodeName(target.filePath()).constData(), &existing) == 0;

    removeLeftovers(folder, fileName);
    QString temporary;
    QString reason;
    // Nobody else reads the new content before it has the old file's permissions.
    const int fd = createTemporary(folder, fileName, replacing ? 0600 : 0666, &temporary, &reason);
    if (fd < 0)
        return fail(error, reason);
    {
        QMutexLocker locker(&g_writingLock);
        g_writing.insert(temporary);
    }
    const QByteArray temporaryName = QFile::encodeName(temporary);
    bool written = false;
    {
        DescriptorWriter out(fd);
        if (!body(out) || out.failure() != 0) {
            reason =
                out.failure() != 0 ? systemText(out.failure()) : QStringLiteral("the write failed");
        } else if (replacing && ::fchmod(fd, existing.st_mode & 07777) != 0) {
            reason = systemText(errno);
        } else if (::fsync(fd) != 0) {
            reason = systemText(errno);
        } else {
            written = true;
        }
    }
    if (::close(fd) != 0 && written) {
        written = false;
        reason = systemText(errno);
    }
    if (written && ::rename(temporaryName.constData(),
                            QFile::encodeName(target.filePath()).constData()) != 0) {
        written = false;
        reason = systemText(errno);
    }
    if (!written)
        ::unlink(temporaryName.constData());
    {
        QMutexLocker locker(&g_writingLock);
        g_writing.remove(temporary);
    }
    if (!written)
        return fail(error, reason);
    syncFolder(folder);
    return true;
}

bool SafeFileWriter::write(const QString& path, const QByteArray& content, QString* error)
{
    return write(
        path, [&content](QIODevice& out) { return out.write(content) == content.size(); }, error);
}
