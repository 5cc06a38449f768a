#include "model/autosaveorigin.h"

#include "model/safefilewriter.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>

namespace {

constexpr qint64 kMaxRecordSize = 64 * 1024;
const QByteArray kPathField = QByteArrayLiteral("path=");
const QByteArray kDigestField = QByteArrayLiteral("sha256=");

QByteArray digestOf(QByteArrayView copy)
{
    return QCryptographicHash::hash(copy, QCryptographicHash::Sha256).toHex();
}

} // namespace

bool AutosaveOrigin::write(const QString& recordPath, const QString& listPath, QByteArrayView copy,
                           QString* error)
{
    if (listPath.isEmpty()) {
        remove(recordPath);
        return true;
    }
    // Percent-encoded: a file name may hold a line break.
    const QByteArray record = kPathField + listPath.toUtf8().toPercentEncoding("/ ") + '\n' +
                              kDigestField + digestOf(copy) + '\n';
    return SafeFileWriter::write(recordPath, record, error);
}

QString AutosaveOrigin::read(const QString& recordPath, const QString& copyPath)
{
    const QFileInfo info(recordPath);
    if (!info.isFile() || info.size() > kMaxRecordSize)
        return QString();
    QFile record(recordPath);
    if (!record.open(QIODevice::ReadOnly))
        return QString();
    QByteArray path;
    QByteArray digest;
    for (const QByteArray& line : record.readAll().split('\n')) {
        if (line.startsWith(kPathField))
            path = QByteArray::fromPercentEncoding(line.mid(kPathField.size()));
        else if (line.startsWith(kDigestField))
            digest = line.mid(kDigestField.size());
    }
    if (path.isEmpty() || digest.isEmpty())
        return QString();
    QFile copy(copyPath);
    if (!copy.open(QIODevice::ReadOnly))
        return QString();
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!hash.addData(&copy) || hash.result().toHex() != digest)
        return QString();
    return QString::fromUtf8(path);
}

void AutosaveOrigin::remove(const QString& recordPath)
{
    QFile::remove(recordPath);
}
