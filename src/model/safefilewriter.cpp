#include "model/safefilewriter.h"

#include <QSaveFile>

bool SafeFileWriter::write(const QString& path, const Body& body, QString* error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    if (!body(file)) {
        if (error)
            *error = file.error() != QFileDevice::NoError ? file.errorString()
                                                          : QStringLiteral("the write failed");
        file.cancelWriting();
        return false;
    }
    // commit() syncs the temporary file to disk before it renames it into place.
    if (!file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

bool SafeFileWriter::write(const QString& path, const QByteArray& content, QString* error)
{
    return write(
        path, [&content](QIODevice& out) { return out.write(content) == content.size(); }, error);
}
