#include "model/filecheck.h"

#include <QFile>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString systemText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// What a path that exists but is no regular file is.
QString kindText(mode_t mode)
{
    if (S_ISDIR(mode))
        return QStringLiteral("it is a folder");
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return QStringLiteral("it is a device");
    if (S_ISFIFO(mode))
        return QStringLiteral("it is a pipe (FIFO)");
    if (S_ISSOCK(mode))
        return QStringLiteral("it is a socket");
    return QStringLiteral("it is not a regular file");
}

QString missingText(int error, const QByteArray& path)
{
    if (error == ELOOP)
        return QStringLiteral("its symbolic links lead round in a loop");
    if (error != ENOENT)
        return systemText(error);
    struct stat link;
    if (::lstat(path.constData(), &link) == 0 && S_ISLNK(link.st_mode))
        return QStringLiteral("it is a symbolic link to a file that does not exist");
    return QStringLiteral("the file does not exist");
}

} // namespace

QString FileCheck::notReadable(const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat info;
    if (name.isEmpty())
        return QStringLiteral("the file does not exist");
    if (::stat(name.constData(), &info) != 0)
        return missingText(errno, name);
    return S_ISREG(info.st_mode) ? QString() : kindText(info.st_mode);
}

QString FileCheck::notReplaceable(const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat info;
    if (name.isEmpty())
        return QStringLiteral("no file name was given");
    if (::stat(name.constData(), &info) == 0)
        return S_ISREG(info.st_mode) ? QString() : kindText(info.st_mode);
    const int error = errno;
    struct stat link;
    // A new name; a dangling link is not one: its target may be on a drive not mounted.
    if (error == ENOENT && ::lstat(name.constData(), &link) != 0)
        return QString();
    return missingText(error, name);
}

bool FileCheck::readAll(const QString& path, qint64 maxBytes, QByteArray* content, QString* reason)
{
    // Looked at before opening: opening a FIFO would wait for a writer, and opening some
    // devices does something.
    *reason = notReadable(path);
    if (!reason->isEmpty())
        return false;
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        *reason = systemText(errno);
        return false;
    }
    // And again what was opened: the path may have been replaced meanwhile.
    struct stat info;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        *reason = ::fstat(fd, &info) != 0 ? systemText(errno) : kindText(info.st_mode);
        ::close(fd);
        return false;
    }
    if (info.st_size > maxBytes) {
        *reason = QStringLiteral("it is larger than %1").arg(sizeText(maxBytes));
        ::close(fd);
        return false;
    }
    // A file that grows while it is read is cut at one byte past the limit.
    QByteArray data;
    data.resize(static_cast<qsizetype>(std::min<qint64>(info.st_size, maxBytes) + 1));
    qsizetype got = 0;
    while (got < data.size()) {
        const ssize_t n = ::read(fd, data.data() + got, static_cast<size_t>(data.size() - got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            *reason = systemText(errno);
            ::close(fd);
            return false;
        }
        if (n == 0)
            break;
        got += n;
        if (got == data.size() && got <= maxBytes)
            data.resize(std::min<qsizetype>(data.size() * 2, maxBytes + 1));
    }
    ::close(fd);
    if (got > maxBytes) {
        *reason = QStringLiteral("it is larger than %1").arg(sizeText(maxBytes));
        return false;
    }
    data.truncate(got);
    *content = std::move(data);
    return true;
}

QString FileCheck::sizeText(qint64 bytes)
{
    constexpr qint64 kMegabyte = 1024 * 1024;
    if (bytes >= kMegabyte && bytes % kMegabyte == 0)
        return QStringLiteral("%1 MB").arg(bytes / kMegabyte);
    return QStringLiteral("%1 bytes").arg(bytes);
}
