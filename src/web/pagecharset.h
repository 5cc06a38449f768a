#pragma once

#include <QByteArray>
#include <QString>

// Pages come in the charset their Content-Type header or meta tag declares; many of the
// sites' pages are Windows-1252. Everything inside the program is Unicode.
class PageCharset
{
public:
    // The charset a page declares, lower case: the header's first, then a meta tag near
    // the top. Empty when neither says.
    static QByteArray declared(const QByteArray& contentType, const QByteArray& body);

    // Decodes a page. Undeclared pages are UTF-8 when they are valid UTF-8, else
    // Windows-1252. `used` receives the charset that was applied.
    static QString decode(const QByteArray& body, const QByteArray& contentType,
                          QByteArray* used = nullptr);

    // Encodes form text for a page in `charset`; characters the charset lacks become
    // numeric character references, as browsers send them.
    static QByteArray encode(const QString& text, const QByteArray& charset);

    static QString fromWindows1252(const QByteArray& bytes);
    static bool isWindows1252(const QByteArray& charset);
    static bool isUtf8(const QByteArray& charset);

private:
    static QByteArray charsetParameter(const QByteArray& text);
};
