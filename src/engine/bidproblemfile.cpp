#include "engine/bidproblemfile.h"

#include "model/safefilewriter.h"

#include <QDateTime>
#include <QDir>

namespace {

constexpr int kMaxIdLength = 40;

QString safeId(const QString& itemId)
{
    QString id;
    for (const QChar c : itemId.left(kMaxIdLength))
        id += (c.unicode() < 128 && c.isLetterOrNumber()) ? c : QLatin1Char('_');
    return id.isEmpty() ? QStringLiteral("_") : id;
}

} // namespace

QString BidProblemFile::path(const QString& dataDir, const QString& itemId, qint64 localTime)
{
    const QString stamp =
        QDateTime::fromSecsSinceEpoch(localTime).toString(QStringLiteral("ddMM_HHmmss"));
    return QDir(dataDir).filePath(
        QStringLiteral("Bidding/BidProblem_%1_%2.txt").arg(safeId(itemId), stamp));
}

bool BidProblemFile::save(const QString& dataDir, const QString& itemId, qint64 localTime,
                          const QString& pageText, const QString& password)
{
    if (!QDir(dataDir).mkpath(QStringLiteral("Bidding")))
        return false;
    QString text = pageText;
    if (!password.isEmpty())
        text.replace(password, QStringLiteral("********"));
    return SafeFileWriter::write(path(dataDir, itemId, localTime), text.toUtf8());
}
