#include "mail/mailtextpart.h"

#include <QStringEncoder>

QByteArray MailTextPart::bytes() const
{
    const auto known = QStringConverter::encodingForName(charset.toLatin1().constData());
    if (known && *known != QStringConverter::System) {
        QStringEncoder encoder(*known);
        return encoder.encode(text);
    }
    return text.toLatin1();
}

QString MailTextPart::charsetFor(const QString& text)
{
    for (const QChar c : text) {
        if (c.unicode() > 0xFF)
            return QStringLiteral("utf-8");
    }
    return QStringLiteral("iso-8859-1");
}
