#include "app/programlog.h"

#include "app/imainwindow.h"
#include "app/siteclock.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString formatTime(const char* format, qint64 seconds)
{
    const time_t t = static_cast<time_t>(seconds);
    struct tm parts
    {
    };
    if (!localtime_r(&t, &parts))
        return QString();
    char buffer[128];
    const size_t n = strftime(buffer, sizeof buffer, format, &parts);
    return QString::fromLocal8Bit(buffer, static_cast<qsizetype>(n));
}

int openAppend(const QString& path)
{
    const QByteArray native = QFile::encodeName(path);
    int fd;
    do {
        // Non-blocking: a FIFO in the log's place must not hold the start-up.
        fd = ::open(native.constData(),
                    O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, 0600);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0)
        return fd;
    struct stat info
    {
    };
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return -1;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    // The log names the user's auctions and accounts: a log left readable by everyone by an
    // older version is closed too.
    if ((info.st_mode & 0777) != 0600)
        ::fchmod(fd, 0600);
    return fd;
}

} // namespace

ProgramLog::ProgramLog(const SiteClock& clock) : m_clock(clock) {}

ProgramLog::~ProgramLog()
{
    close();
}

bool ProgramLog::open(const QString& path, qint64 sizeLimit)
{
    close();
    m_path = path;
    int fd = openAppend(path);
    if (fd < 0)
        return false;
    if (QFileInfo(path).size() > sizeLimit) {
        ::close(fd);
        const QString old = previousLogPath(path);
        QFile::remove(old);
        QFile::rename(path, old);
        fd = openAppend(path);
        if (fd < 0)
            return false;
    }
    m_fd.store(fd);
    return true;
}

void ProgramLog::close()
{
    const int fd = m_fd.exchange(-1);
    if (fd >= 0)
        ::close(fd);
}

char ProgramLog::marker(int level)
{
    switch (level) {
    case Success:
        return '+';
    case Warning:
        return '!';
    case Error:
        return '#';
    default:
        return '-';
    }
}

QString ProgramLog::formatLine(const QString& text, qint64 localTime) const
{
    QString line = formatTime("%x, %X: ", localTime);
    if (m_clock.isSynchronised())
        line += formatTime("(%X): ", m_clock.localToSite(localTime));
    return line + text;
}

QString ProgramLog::write(const QString& text, int level)
{
    if (text.isEmpty())
        return QString();
    const QString line = formatLine(text, m_clock.localNow());
    const int fd = m_fd.load();
    if (fd >= 0) {
        const QByteArray bytes = marker(level) + line.toUtf8() + "\r\n";
        // One write per line; a failure is deliberately ignored and the run goes on.
        ssize_t written;
        do {
            written = ::write(fd, bytes.constData(), static_cast<size_t>(bytes.size()));
        } while (written < 0 && errno == EINTR);
    }
    return line;
}

QString ProgramLog::message(const QString& text, int level)
{
    const QString line = write(text, level);
    if (!line.isEmpty()) {
        if (IMainWindow* window = m_window.load())
            window->addMessage(line, level);
    }
    return line;
}
