#include "mail/mimeencoding.h"

namespace {

bool isPrintable(unsigned char c)
{
    return c == '\t' || c == '\n' || c == '\r' || (c >= 32 && c <= 126);
}

// Calls `line(text, ended)` for each line; `ended` is false only for a last line that has
// no line end.
template <class Line> void forEachLine(QByteArrayView text, Line line)
{
    const qsizetype size = text.size();
    qsizetype start = 0;
    for (qsizetype i = 0; i < size; ++i) {
        const char c = text[i];
        if (c != '\r' && c != '\n')
            continue;
        line(text.sliced(start, i - start), true);
        if (c == '\r' && i + 1 < size && text[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < size)
        line(text.sliced(start), false);
}

bool isBreak(char c)
{
    return c == ' ' || c == '-' || c == ';' || c == '.' || c == ',' || c == '?' || c == '!';
}

QByteArray quotedPrintable(QByteArrayView data)
{
    static const char kHex[] = "0123456789ABCDEF";
    QByteArray escaped;
    escaped.reserve(data.size() + data.size() / 8);
    for (const char ch : data) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '\t' || c == '\n' || c == '\r' || (c >= 32 && c <= 126 && c != '=')) {
            escaped.append(ch);
        } else {
            escaped.append('=');
            escaped.append(kHex[c >> 4]);
            escaped.append(kHex[c & 15]);
        }
    }
    QByteArray out;
    out.reserve(escaped.size() + escaped.size() / 20);
    forEachLine(escaped, [&out](QByteArrayView line, bool ended) {
        QByteArray rest = line.toByteArray();
        while (true) {
            if (rest.size() >= MimeEncoding::kLineWidth + 1) {
                // Never split "=XX"; a soft line break adds the "=".
                const qsizetype cut = rest[74] == '=' ? 74 : rest[73] == '=' ? 73 : 75;
                out.append(rest.first(cut));
                out.append("=\r\n");
                rest.remove(0, cut);
                continue;
            }
            // Blanks at a line's end may be dropped on the way; encoded they survive.
            if (rest.endsWith(' ')) {
                rest.chop(1);
                rest.append("=20");
                continue;
            }
            if (rest.endsWith('\t')) {
                rest.chop(1);
                rest.append("=09");
                continue;
            }
            break;
        }
        out.append(rest);
        if (ended)
            out.append("\r\n");
    });
    return out;
}

QByteArray sevenBit(QByteArrayView data)
{
    QByteArray plain = data.toByteArray();
    for (char& c : plain) {
        if (static_cast<unsigned char>(c) >= 127)
            c = '?';
    }
    return MimeEncoding::wrapLines(plain);
}

} // namespace

namespace MimeEncoding {

QByteArray name(Encoding encoding)
{
    switch (encoding) {
    case SevenBit:
        return "7bit";
    case EightBit:
        return "8bit";
    case QuotedPrintable:
        return "quoted-printable";
    case Base64:
        return "base64";
    case Automatic:
        break;
    }
    return {};
}

Encoding choose(QByteArrayView data)
{
    if (data.isEmpty())
        return SevenBit;
    qsizetype printable = 0;
    for (const char c : data) {
        if (isPrintable(static_cast<unsigned char>(c)))
            ++printable;
    }
    if (printable * 100 / data.size() < 90)
        return Base64;
    bool longLine = false;
    forEachLine(data, [&longLine](QByteArrayView line, bool) {
        if (line.size() > kLineWidth)
            longLine = true;
    });
    if (longLine)
        return QuotedPrintable;
    return printable < data.size() ? EightBit : SevenBit;
}

QByteArray encode(QByteArrayView data, Encoding encoding)
{
    switch (encoding == Automatic ? choose(data) : encoding) {
    case SevenBit:
        return sevenBit(data);
    case EightBit:
        return wrapLines(data);
    case QuotedPrintable:
        return quotedPrintable(data);
    case Base64:
    case Automatic:
        break;
    }
    return wrapLines(data.toByteArray().toBase64());
}

QByteArray wrapLines(QByteArrayView text)
{
    QByteArray out;
    out.reserve(text.size() + text.size() / 30 + 2);
    forEachLine(text, [&out](QByteArrayView line, bool ended) {
        while (line.size() > kLineWidth) {
            qsizetype cut = kLineWidth;
            for (qsizetype i = kLineWidth - 1; i >= 0; --i) {
                if (isBreak(line[i])) {
                    cut = i + 1;
                    break;
                }
            }
            out.append(line.first(cut));
            out.append("\r\n");
            line = line.sliced(cut);
        }
        out.append(line);
        if (ended)
            out.append("\r\n");
    });
    return out;
}

QByteArray dotStuff(QByteArrayView message)
{
    QByteArray out;
    out.reserve(message.size() + 16);
    if (message.startsWith('.'))
        out.append('.');
    for (qsizetype i = 0; i < message.size(); ++i) {
        out.append(message[i]);
        if (message[i] == '\n' && i + 1 < message.size() && message[i + 1] == '.')
            out.append('.');
    }
    return out;
}

QByteArray headerText(const QString& text)
{
    bool plain = true;
    for (const QChar c : text) {
        if (c.unicode() < 32 || c.unicode() > 126)
            plain = false;
    }
    if (plain)
        return text.toLatin1();
    // Encoded words of at most 75 characters: 45 bytes of UTF-8 give 60 of base64, and a
    // character is never split between two words.
    QByteArray out;
    QByteArray word;
    const auto flush = [&] {
        if (word.isEmpty())
            return;
        if (!out.isEmpty())
            out.append("\r\n ");
        out.append("=?utf-8?B?" + word.toBase64() + "?=");
        word.clear();
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        qsizetype length = text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        QString character = text.mid(i, length);
        // Control characters, line breaks above all, become blanks.
        if (length == 1 && text[i].unicode() < 32)
            character = QStringLiteral(" ");
        const QByteArray bytes = character.toUtf8();
        if (word.size() + bytes.size() > 45)
            flush();
        word.append(bytes);
        i += length - 1;
    }
    flush();
    return out;
}

} // namespace MimeEncoding
