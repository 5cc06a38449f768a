#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// The transfer encodings of a MIME part, their automatic choice and line wrapping.
//
// Text is bytes in the part's character set. Lines end at CR, CR LF or a lone LF; every
// encoding writes them as CR LF, so no bare line feed ever reaches an SMTP server.
namespace MimeEncoding {

enum Encoding
{
    Automatic = 0,
    SevenBit = 1,
    EightBit = 2,
    QuotedPrintable = 3,
    Base64 = 4
};

inline constexpr int kLineWidth = 76;

// "7bit", "8bit", "quoted-printable", "base64"; empty for Automatic.
QByteArray name(Encoding encoding);

// Fewer than 90 % printable characters (TAB, LF, CR, 32 to 126): base64; else a line
// longer than 76 characters: quoted-printable; else any other byte: 8bit; else 7bit.
// Empty text is 7bit.
Encoding choose(QByteArrayView data);

// The encoded text. Automatic encodes as choose() decides.
QByteArray encode(QByteArrayView data, Encoding encoding);

// Cuts lines longer than 76 characters after the last of " -;.,?!" among the first 76,
// or after 76 when there is none; every line end and every cut becomes CR LF.
QByteArray wrapLines(QByteArrayView text);

// Doubles a dot that starts a line, the first line included, so that no line of the
// message can read as the end of the mail.
QByteArray dotStuff(QByteArrayView message);

// A header text as it may stand in a header: printable ASCII as it is, anything else as
// RFC 2047 encoded words (UTF-8, base64), folded so that no line grows too long.
QByteArray headerText(const QString& text);

} // namespace MimeEncoding
