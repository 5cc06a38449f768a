#pragma once

#include "mail/mimeencoding.h"

#include <QByteArray>
#include <QString>

// A file sent along with a mail. The file is read when the message is built; one that
// cannot be read is left out of the message.
struct MailAttachment
{
    QString filePath;
    // The name the recipient sees; empty for the file's own name.
    QString name;
    // Empty: guessed from the name's extension, else "application/octet-stream".
    QString contentType;
    // Written for "text/" types when not empty.
    QString charset;
    QString contentId;
    bool isInline = false;
    MimeEncoding::Encoding encoding = MimeEncoding::Automatic;

    // The name as it stands in the headers: printable ASCII, quotes and backslashes
    // replaced, so that it cannot break the header it stands in.
    QString shownName() const;
    QString shownContentType() const;
};
