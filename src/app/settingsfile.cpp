#include "app/settingsfile.h"

#include "app/windows1252.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr QFile::Permissions kPrivate = QFile::ReadOwner | QFile::WriteOwner;

bool hasControlBytes(const QByteArray& content)
{
    for (const char c : content) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 && byte != '\t' && byte != '\n' && byte != '\r' && byte != '\f')
            return true;
    }
    return false;
}

bool isUtf8(const QByteArray& content)
{
    QStringDecoder decoder(QStringDecoder::Utf8);
    // The decoder works lazily: only the conversion to a string decodes and sets hasError().
    const QString text = decoder(content);
    return !decoder.hasError();
}

// The five codes that Windows-1252 leaves unassigned.
bool isWindows1252(const QByteArray& content)
{
    for (const char c : content) {
        switch (static_cast<unsigned char>(c)) {
        case 0x81:
        case 0x8D:
        case 0x8F:
        case 0x90:
        case 0x9D:
            return false;
        default:
            break;
        }
    }
    return true;
}

SettingsFile::Inspection damaged(const QString& reason)
{
    SettingsFile::Inspection result;
    result.state = SettingsFile::State::Damaged;
    result.reason = reason;
    return result;
}

} // namespace

SettingsFile::Inspection SettingsFile::inspect(const QString& path)
{
    const QByteArray native = QFile::encodeName(path);
    // Non-blocking, so that a FIFO without a writer cannot hold the open.
    int fd;
    do {
        fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        if (errno == ENOENT)
            return Inspection{};
        return damaged(QStringLiteral("cannot be read (%1)")
                           .arg(QString::fromLocal8Bit(std::strerror(errno))));
    }
    struct stat info
    {
    };
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return damaged(QStringLiteral("is not a regular file"));
    }
    if (info.st_size > kMaxSize) {
        ::close(fd);
        return damaged(QStringLiteral("is too large to be a settings file (%1 bytes)")
                           .arg(qint64(info.st_size)));
    }
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return damaged(QStringLiteral("cannot be read"));
    }
    // Never more than the limit, even if the file grows meanwhile.
    Inspection result;
    result.content = file.read(kMaxSize + 1);
    if (result.content.size() > kMaxSize)
        return damaged(QStringLiteral("is too large to be a settings file"));
    if (hasControlBytes(result.content))
        return damaged(QStringLiteral("is not a settings file"));
    if (isUtf8(result.content))
        result.state = State::Utf8;
    else if (isWindows1252(result.content))
        result.state = State::Windows1252;
    else
        return damaged(QStringLiteral("is not a settings file (neither UTF-8 nor Windows-1252)"));
    return result;
}

bool SettingsFile::convertToUtf8(const QString& path, const QByteArray& content, QString* error)
{
    const QString backup = backupPath(path);
    QSaveFile copy(backup);
    if (!copy.open(QIODevice::WriteOnly) || copy.write(content) != content.size() ||
        !copy.commit()) {
        *error = copy.errorString();
        return false;
    }
    makePrivate(backup);
    QSaveFile out(path);
    const QByteArray utf8 = Windows1252::decode(content).toUtf8();
    if (!out.open(QIODevice::WriteOnly) || out.write(utf8) != utf8.size() || !out.commit()) {
        *error = out.errorString();
        return false;
    }
    makePrivate(path);
    return true;
}

void SettingsFile::makePrivate(const QString& path)
{
    struct stat info
    {
    };
    if (::stat(QFile::encodeName(path).constData(), &info) != 0 || !S_ISREG(info.st_mode))
        return;
    if ((info.st_mode & 0777) != 0600)
        QFile::setPermissions(path, kPrivate);
}
