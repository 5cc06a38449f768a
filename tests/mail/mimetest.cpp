#include "mail/mailmessage.h"
#include "mail/mimeencoding.h"

#include <QTimeZone>
#include <gtest/gtest.h>

namespace {

QList<QByteArray> lines(const QByteArray& text)
{
    return text.split('\n');
}

QList<QByteArray> headerNames(const QByteArray& message)
{
    QList<QByteArray> names;
    for (const QByteArray& line : lines(message.left(message.indexOf("\r\n\r\n")))) {
        if (!line.startsWith('\t') && line.contains(':'))
            names << line.left(line.indexOf(':'));
    }
    return names;
}

} // namespace

TEST(MimeEncoding, ChoiceFollowsTheText)
{
    using namespace MimeEncoding;
    EXPECT_EQ(choose(""), SevenBit);
    EXPECT_EQ(choose("Short lines.\r\nOnly ASCII.\r\n"), SevenBit);
    EXPECT_EQ(choose(QByteArray(100, 'a') + "\r\n"), QuotedPrintable);
    // A long last line without a line end, and 77 characters on the first line, would be
    // cut by the line wrapping of 7bit: both go quoted-printable.
    EXPECT_EQ(choose("short\r\n" + QByteArray(100, 'b')), QuotedPrintable);
    EXPECT_EQ(choose(QByteArray(77, 'c') + "\r\n"), QuotedPrintable);
    EXPECT_EQ(choose(QByteArray(76, 'c') + "\r\n"), SevenBit);
    EXPECT_EQ(choose("Viele Gr\xFC\xDF"
                     "e aus K\xF6ln und eine sch\xF6ne Woche!\r\n"),
              EightBit);
    EXPECT_EQ(choose("Gr\xFC\xDF"
                     "e aus K\xF6ln\r\n"),
              Base64); // under 90 % printable
    EXPECT_EQ(choose(QByteArray("\x01\x02\x03\x04 text", 9)), Base64);
}

TEST(MimeEncoding, EncodingsWrapAndEscape)
{
    using namespace MimeEncoding;
    // Wrapping cuts after the last break character within 76, else at 76.
    const QByteArray words = QByteArray(70, 'w') + " tail-end of the line";
    EXPECT_EQ(wrapLines(words), QByteArray(70, 'w') + " tail-\r\nend of the line");
    EXPECT_EQ(wrapLines(QByteArray(80, 'x')), QByteArray(76, 'x') + "\r\nxxxx");
    // Every line end leaves as CR LF; a lone LF is a line end too.
    EXPECT_EQ(encode("a\nb\rc\r\nd", SevenBit), "a\r\nb\r\nc\r\nd");
    EXPECT_EQ(encode("caf\xE9", SevenBit), "caf?");

    // Quoted-printable: "=" and 8-bit bytes escaped, soft breaks never split a triple,
    // no line longer than 76, trailing blanks encoded.
    EXPECT_EQ(encode("a=b \xE9 \r\nend\t", QuotedPrintable), "a=3Db =E9=20\r\nend=09");
    QByteArray escapes = QByteArray(73, 'q') + QByteArray(20, '\xE9');
    const QByteArray qp = encode(escapes, QuotedPrintable);
    for (const QByteArray& line : qp.split('\n')) {
        const QByteArray bare = line.endsWith('\r') ? line.chopped(1) : line;
        EXPECT_LE(bare.size(), 76) << bare.constData();
        const qsizetype equals = bare.lastIndexOf('=');
        EXPECT_TRUE(equals < 0 || equals == bare.size() - 1 || equals + 2 < bare.size())
            << bare.constData();
    }
    EXPECT_TRUE(qp.startsWith(QByteArray(73, 'q') + "=\r\n=E9"));

    const QByteArray binary = QByteArray::fromHex("00ff10e0") + QByteArray(100, '\x80');
    const QByteArray b64 = encode(binary, Base64);
    EXPECT_EQ(QByteArray::fromBase64(b64), binary);
    EXPECT_EQ(b64.split('\n').first().size(), 77); // 76 and the CR

    EXPECT_EQ(dotStuff(".first\r\nmiddle\r\n.\r\n..two"), "..first\r\nmiddle\r\n..\r\n...two");
    EXPECT_EQ(headerText("Plain"), "Plain");
    EXPECT_EQ(headerText(QStringLiteral("Gr\u00FC\u00DFe")), "=?utf-8?B?R3LDvMOfZQ==?=");
}

TEST(MailMessage, HeadersAndParts)
{
    MailMessage message(QDateTime(QDate(2025, 3, 9), QTime(7, 5, 3), QTimeZone(3600)));
    message.senderName = QStringLiteral("Zaru Vuzarovuz");
    message.senderAddress = QStringLiteral("sniper@example.com");
    message.recipientAddress = QStringLiteral("me@example.org");
    message.to.push_back({QStringLiteral("Co \"Pilot\""), QStringLiteral("co@example.org")});
    // A line break in the subject must not start a header or end the mail.
    message.subject = QStringLiteral("Item #1\r\n.\r\nBcc: victim@example.net");
    MailTextPart part;
    part.text = QStringLiteral("Hello.\r\n");
    message.parts.push_back(part);
    message.addHeader(QStringLiteral("X-Mailer"), QStringLiteral("Kept"));

    QByteArray text = message.build();
    EXPECT_EQ(headerNames(text),
              (QList<QByteArray>{"From", "To", "Subject", "Date", "Importance", "X-MSMail-Priority",
                                 "X-Priority", "MIME-Version", "X-Mailer", "Content-Type",
                                 "Content-Transfer-Encoding"}));
    EXPECT_TRUE(text.contains("From: \"Zaru Vuzarovuz\" <sniper@example.com>\r\n"));
    EXPECT_TRUE(
        text.contains("To: <me@example.org>,\r\n\t\"Co \\\"Pilot\\\"\" <co@example.org>\r\n"));
    EXPECT_TRUE(text.contains("Date: Sun, 9 Mar 2025 7:05:03 +0100\r\n"));
    EXPECT_TRUE(text.contains("X-Mailer: Kept\r\n"));
    EXPECT_FALSE(text.contains("\nBcc:"));
    EXPECT_TRUE(text.endsWith("Content-Type: text/plain;\r\n\tcharset=\"iso-8859-1\"\r\n"
                              "Content-Transfer-Encoding: 7bit\r\n\r\nHello.\r\n"));

    // Two parts make it multipart/alternative; a second build replaces, never doubles.
    message.parts.push_back(part);
    text = message.build();
    EXPECT_EQ(message.multipartKind, MailMessage::Alternative);
    EXPECT_EQ(text.count("MIME-Version:"), 1);
    EXPECT_EQ(text.count("\r\n--CSmtpMsgPart123X456_000_"), 3);
    EXPECT_TRUE(text.contains("\r\n\r\nThis is a multipart message in MIME format\r\n"));

    EXPECT_EQ(MailMessage(QDateTime(QDate(2025, 1, 1), QTime(0, 0), QTimeZone::utc())).dateText(),
              "Wed, 1 Jan 2025 0:00:00 -0000");
    EXPECT_EQ(MailMessage(QDateTime(QDate(2025, 1, 1), QTime(0, 0), QTimeZone(-5 * 3600)))
                  .dateText()
                  .right(5),
              "-0500");
    EXPECT_EQ(MailMessage(QDateTime(QDate(2025, 1, 1), QTime(0, 0), QTimeZone(19800))).utcOffset(),
              530);
}
