#pragma once

#include <QIODevice>
#include <QString>
#include <functional>

// Replaces a file as a whole: the content goes to a temporary file beside it, which is
// flushed to disk and renamed over the old one only when complete. A crash or a failed
// write meanwhile leaves the previous file as it was.
class SafeFileWriter
{
public:
    using Body = std::function<bool(QIODevice& out)>;

    // False with `error` set when the body fails or the file cannot be written.
    static bool write(const QString& path, const Body& body, QString* error = nullptr);
    static bool write(const QString& path, const QByteArray& content, QString* error = nullptr);
};
