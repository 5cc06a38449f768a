#pragma once

#include <QByteArray>
#include <QString>

// Why a path will not do as a file read or replaced as a whole, in words for a message.
// Special files are named for what they are: reading /dev/zero never ends, opening a FIFO
// waits for a writer, and a device node replaced by a file breaks the system.
class FileCheck
{
public:
    // Empty when `path` (symbolic links followed) is a regular file.
    static QString notReadable(const QString& path);
    // Empty when `path` is a regular file (symbolic links followed) or names nothing yet.
    static QString notReplaceable(const QString& path);

    // The whole of the regular file `path` when it holds at most `maxBytes`; otherwise
    // false with `reason` set. Checks the kind and size before reading anything.
    static bool readAll(const QString& path, qint64 maxBytes, QByteArray* content, QString* reason);

    // "8 MB", or a count of bytes.
    static QString sizeText(qint64 bytes);
};
