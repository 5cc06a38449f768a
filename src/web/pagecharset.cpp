#include "web/pagecharset.h"

#include "app/windows1252.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace {

constexpr int kMetaScanBytes = 4096;

QByteArray characterReference(char32_t code)
{
    return "&#" + QByteArray::number(static_cast<uint>(code)) + ";";
}

} // namespace

QByteArray PageCharset::charsetParameter(const QByteArray& text)
{
    const QByteArray lower = text.toLower();
    const qsizetype at = lower.indexOf("charset");
    if (at < 0)
        return QByteArray();
    qsizetype i = at + 7;
    while (i < lower.size() && (lower[i] == ' ' || lower[i] == '\t'))
        ++i;
    if (i >= lower.size() || lower[i] != '=')
        return QByteArray();
    ++i;
    while (i < lower.size() && (lower[i] == ' ' || lower[i] == '"' || lower[i] == '\''))
        ++i;
    const qsizetype start = i;
    while (i < lower.size() && (QChar::isLetterOrNumber(uchar(lower[i])) || lower[i] == '-' ||
                                lower[i] == '_' || lower[i] == '.' || lower[i] == ':'))
        ++i;
    return lower.mid(start, i - start);
}

QByteArray PageCharset::declared(const QByteArray& contentType, const QByteArray& body)
{
    QByteArray charset = charsetParameter(contentType);
    if (!charset.isEmpty())
        return charset;
    const QByteArray head = body.left(kMetaScanBytes).toLower();
    for (qsizetype meta = head.indexOf("<meta"); meta >= 0;
         meta = head.indexOf("<meta", meta + 5)) {
        qsizetype end = head.indexOf('>', meta);
        if (end < 0)
            end = head.size();
        charset = charsetParameter(head.mid(meta, end - meta));
        if (!charset.isEmpty())
            return charset;
    }
    return QByteArray();
}

bool PageCharset::isWindows1252(const QByteArray& charset)
{
    // Browsers read every Latin-1 label as Windows-1252.
    static const QByteArray kLabels[] = {"windows-1252", "cp1252", "x-cp1252", "iso-8859-1",
                                         "iso8859-1",    "latin1", "l1",       "iso_8859-1",
                                         "us-ascii",     "ascii",  "ibm819",   "cp819"};
    for (const QByteArray& label : kLabels) {
        if (charset == label)
            return true;
    }
    return false;
}

bool PageCharset::isUtf8(const QByteArray& charset)
{
    return charset == "utf-8" || charset == "utf8" || charset == "unicode-1-1-utf-8";
}

QString PageCharset::fromWindows1252(const QByteArray& bytes)
{
    return Windows1252::decode(bytes);
}

QString PageCharset::decode(const QByteArray& body, const QByteArray& contentType, QByteArray* used)
{
    QByteArray charset;
    QString text;
    if (body.startsWith("\xEF\xBB\xBF")) {
        charset = "utf-8";
        text = QString::fromUtf8(body.mid(3));
    } else if (body.startsWith("\xFF\xFE") || body.startsWith("\xFE\xFF")) {
        charset = "utf-8"; // forms of a UTF-16 page are sent in UTF-8
        QStringDecoder decoder(body.startsWith("\xFF\xFE") ? QStringConverter::Utf16LE
                                                           : QStringConverter::Utf16BE);
        text = decoder(body.mid(2));
    } else {
        charset = declared(contentType, body);
        if (isWindows1252(charset)) {
            text = fromWindows1252(body);
        } else if (isUtf8(charset)) {
            text = QString::fromUtf8(body);
        } else {
            QStringDecoder named(charset.constData());
            if (!charset.isEmpty() && named.isValid()) {
                text = named(body);
            } else {
                QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
                text = utf8(body);
                charset = "utf-8";
                if (utf8.hasError()) {
                    text = fromWindows1252(body);
                    charset = "windows-1252";
                }
            }
        }
    }
    if (used)
        *used = charset;
    return text;
}

QByteArray PageCharset::encode(const QString& text, const QByteArray& charset)
{
    if (isWindows1252(charset)) {
        QByteArray out;
        out.reserve(text.size());
        for (qsizetype i = 0; i < text.size(); ++i) {
            const char16_t unit = text.at(i).unicode();
            const int byte = Windows1252::byteOf(unit);
            if (byte >= 0) {
                out.append(static_cast<char>(byte));
            } else if (QChar::isHighSurrogate(unit) && i + 1 < text.size() &&
                       QChar::isLowSurrogate(text.at(i + 1).unicode())) {
                out.append(
                    characterReference(QChar::surrogateToUcs4(unit, text.at(i + 1).unicode())));
                ++i;
            } else {
                out.append(characterReference(unit));
            }
        }
        return out;
    }
    if (!charset.isEmpty() && !isUtf8(charset)) {
        QStringEncoder named(charset.constData());
        if (named.isValid()) {
            QByteArray out = named(text);
            if (!named.hasError())
                return out;
        }
    }
    return text.toUtf8();
}
