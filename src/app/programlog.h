#pragma once

#include <QString>
#include <atomic>

class IMainWindow;
class SiteClock;

// The program log "qzvt.log": one line per call, written with a single write so that
// every thread may log without a lock. Message() also feeds the main window's list.
class ProgramLog
{
public:
    enum Level
    {
        Info = 0,
        Success = 1,
        Warning = 2,
        Error = 3
    };

    static constexpr qint64 kDefaultSizeLimit = 204800;

    explicit ProgramLog(const SiteClock& clock);
    ~ProgramLog();

    ProgramLog(const ProgramLog&) = delete;
    ProgramLog& operator=(const ProgramLog&) = delete;

    // Opens (creating it, readable by the user alone) and appends; a file past sizeLimit
    // bytes becomes the ".old" log first. False when the file cannot be opened or is no
    // regular file: logging is then disabled.
    bool open(const QString& path, qint64 sizeLimit = kDefaultSizeLimit);
    void close();
    bool isOpen() const { return m_fd.load() >= 0; }
    QString path() const { return m_path; }

    // Appends one line; returns it without its level marker and line end. Empty text
    // writes nothing and returns an empty string.
    QString write(const QString& text, int level = Info);
    // write(), then the line goes to the top of the main window's message list.
    QString message(const QString& text, int level = Info);

    void setMainWindow(IMainWindow* window) { m_window.store(window); }

    // The line without marker: "%x, %X: " local time, "(%X): " site time once synchronised.
    QString formatLine(const QString& text, qint64 localTime) const;
    static char marker(int level);
    static QString previousLogPath(const QString& path) { return path + ".old"; }

private:
    const SiteClock& m_clock;
    QString m_path;
    std::atomic<int> m_fd{-1};
    std::atomic<IMainWindow*> m_window{nullptr};
};
