#pragma once

#include <QByteArray>
#include <QString>

// What is on disk where a settings file should be, judged before anything reads it: a
// FIFO or device would block every reader and a huge file would be read whole, so the
// type and size are checked on an opened descriptor first. The text must be UTF-8; an
// older file in Windows-1252 is converted once, anything else counts as damaged.
class SettingsFile
{
public:
    // Far above any real settings file (the site tables of every site fit in a few
    // hundred kilobytes), far below what could hurt to read.
    static constexpr qint64 kMaxSize = qint64(16) << 20;

    enum class State
    {
        Missing,
        Utf8,
        Windows1252,
        Damaged
    };

    struct Inspection
    {
        State state = State::Missing;
        QString reason; // why a file is damaged: "is not a regular file", ...
        QByteArray content;
    };

    static Inspection inspect(const QString& path);

    // Rewrites a Windows-1252 file as UTF-8, keeping the original as backupPath(path).
    // False with `error` set when either cannot be written; the file is then unchanged.
    static bool convertToUtf8(const QString& path, const QByteArray& content, QString* error);
    static QString backupPath(const QString& path) { return path + ".cp1252"; }

    // Only the user may read the file (it holds passwords): 0600 for a regular file.
    static void makePrivate(const QString& path);
};
