// libFuzzer target for what the mail clients read from a server: any bytes, split into
// network reads of any size, must frame as POP3 and SMTP replies and give up their parts
// without a crash, a hang or a reply that breaks the framing rules; the MIME encodings
// of the same bytes keep their line limits and never leave a bare CR or LF.

#include "mail/mimeencoding.h"
#include "mail/pop3reply.h"
#include "mail/smtpreplyreader.h"

#include <QByteArray>
#include <cstdint>
#include <cstdlib>

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

void pop3(QByteArrayView data, qsizetype readSize)
{
    for (const QByteArrayView terminator : {Pop3Reply::kLineEnd, Pop3Reply::kMultiLineEnd}) {
        QByteArray received;
        for (qsizetype at = 0; at < data.size(); at += readSize) {
            received += data.sliced(at, qMin(readSize, data.size() - at));
            if (!Pop3Reply::isComplete(received, terminator))
                continue;
            check(received.contains("\r\n"));
            check(Pop3Reply::isNegative(received) || received.endsWith("\r\n"));
            break;
        }
        const QByteArray stat = Pop3Reply::statText(received);
        check(stat.size() <= received.size());
        const QByteArray stamp = Pop3Reply::apopTimestamp(received);
        check(stamp.isEmpty() || (stamp.startsWith('<') && stamp.endsWith('>')));
        QByteArray value;
        if (Pop3Reply::headerValue(received, "From:", value))
            check(!value.contains("\r\n"));
    }
}

void smtp(QByteArrayView data, qsizetype readSize)
{
    SmtpReplyReader reader;
    for (qsizetype at = 0; at < data.size(); at += readSize) {
        if (reader.add(data.sliced(at, qMin(readSize, data.size() - at))) !=
            SmtpReplyReader::Incomplete)
            break;
    }
    switch (reader.state()) {
    case SmtpReplyReader::Complete:
        check(reader.code() >= 100 && reader.code() <= 599);
        check(!reader.text().endsWith('\n'));
        break;
    case SmtpReplyReader::Invalid:
        check(reader.code() == -1);
        check(reader.text().size() <= SmtpReplyReader::kMaxReplySize);
        break;
    case SmtpReplyReader::Incomplete:
        check(reader.code() == -1);
        break;
    }
}

void mime(QByteArrayView data)
{
    for (const auto encoding : {MimeEncoding::SevenBit, MimeEncoding::EightBit,
                                MimeEncoding::QuotedPrintable, MimeEncoding::Base64}) {
        const QByteArray encoded = MimeEncoding::encode(data, encoding);
        qsizetype lineStart = 0;
        for (qsizetype i = 0; i < encoded.size(); ++i) {
            if (encoded[i] == '\r') {
                check(i + 1 < encoded.size() && encoded[i + 1] == '\n');
                check(i - lineStart <= MimeEncoding::kLineWidth);
                lineStart = ++i + 1;
            } else {
                check(encoded[i] != '\n');
            }
        }
        check(encoded.size() - lineStart <= MimeEncoding::kLineWidth);
        const QByteArray stuffed = MimeEncoding::dotStuff(encoded);
        check(!stuffed.startsWith('.') || stuffed.startsWith(".."));
        check(!stuffed.contains("\r\n.\r\n"));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    // The first byte picks the size of the network reads.
    const qsizetype readSize = 1 + data[0] % 64 * 37;
    const QByteArrayView bytes(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));
    pop3(bytes, readSize);
    smtp(bytes, readSize);
    if (bytes.size() <= 4096)
        mime(bytes);
    return 0;
}
