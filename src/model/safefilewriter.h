#pragma once

#include <QIODevice>
#include <QString>
#include <functional>

// Replaces a file as a whole: the content goes to a temporary file beside it, which is
// flushed to disk and renamed over the old one only when complete. A crash or a failed
// write meanwhile leaves the previous file as it was; a temporary file a crash left behind
// is removed by the next write of the same file. Only a regular file (or the file a
// symbolic link leads to) or a new name is written: a device, a FIFO or a folder is refused.
class SafeFileWriter
{
public:
    using Body = std::function<bool(QIODevice& out)>;

    // False with `error` set (the system's words, such as "No space left on device") when
    // the body fails or the file cannot be written.
    static bool write(const QString& path, const Body& body, QString* error = nullptr);
    static bool write(const QString& path, const QByteArray& content, QString* error = nullptr);

    // The name of a temporary file for `fileName`: ".NAME.saving-" and six letters or
    // digits.
    static bool isTemporaryOf(const QString& candidate, const QString& fileName);
};
