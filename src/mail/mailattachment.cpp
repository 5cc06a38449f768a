#include "mail/mailattachment.h"

#include <QFileInfo>
#include <QMimeDatabase>

QString MailAttachment::shownName() const
{
    QString shown = name.isEmpty() ? QFileInfo(filePath).fileName() : name;
    for (QChar& c : shown) {
        if (c.unicode() < 32 || c.unicode() > 126 || c == QLatin1Char('"') ||
            c == QLatin1Char('\\'))
            c = QLatin1Char('_');
    }
    return shown;
}

QString MailAttachment::shownContentType() const
{
    if (!contentType.isEmpty())
        return contentType;
    const QString shown = shownName();
    const qsizetype dot = shown.indexOf(QLatin1Char('.'));
    if (dot >= 0) {
        const QMimeDatabase database;
        const QMimeType type = database.mimeTypeForFile(shown, QMimeDatabase::MatchExtension);
        if (type.isValid() && !type.isDefault())
            return type.name();
    }
    return QStringLiteral("application/octet-stream");
}
