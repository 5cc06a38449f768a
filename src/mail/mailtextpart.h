#pragma once

#include "mail/mimeencoding.h"

#include <QByteArray>
#include <QString>

// One text part of a mail: its type, character set, optional content id, transfer
// encoding (Automatic lets the text decide) and the text itself.
struct MailTextPart
{
    QString contentType = QStringLiteral("text/plain");
    QString charset = QStringLiteral("iso-8859-1");
    QString contentId;
    MimeEncoding::Encoding encoding = MimeEncoding::Automatic;
    QString text;

    // The text in the part's character set; characters it cannot hold become "?". A
    // character set this program does not know is treated as ISO-8859-1.
    QByteArray bytes() const;
    // "iso-8859-1" when the text fits it, "utf-8" otherwise: nothing is lost either way.
    static QString charsetFor(const QString& text);
};
