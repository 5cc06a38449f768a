#include "app/windows1252.h"

#include <gtest/gtest.h>

namespace {

TEST(Windows1252Test, EveryByteDecodesToAUnitThatEncodesBackToIt)
{
    QByteArray all(256, '\0');
    for (int b = 0; b < 256; ++b)
        all[b] = static_cast<char>(b);
    const QString text = Windows1252::decode(all);
    ASSERT_EQ(text.size(), 256);
    for (int b = 0; b < 256; ++b)
        EXPECT_EQ(Windows1252::byteOf(text.at(b).unicode()), b) << b;
}

TEST(Windows1252Test, DiffersFromLatin1OnlyBetween0x80And0x9F)
{
    EXPECT_EQ(Windows1252::decode("Gr\xFC\xDF \x80 \x93q\x94 \x9F"),
              QStringLiteral("Grüß € “q” Ÿ"));
    // Unassigned codes stand for the C1 control of the same value.
    EXPECT_EQ(Windows1252::decode("\x81\x8D\x8F\x90\x9D"),
              QString::fromUtf16(u"\u0081\u008D\u008F\u0090\u009D"));
    EXPECT_EQ(Windows1252::byteOf(u'€'), 0x80);
    EXPECT_EQ(Windows1252::byteOf(u'ÿ'), 0xFF);
    // Latin-1 controls that 1252 puts printable characters in place of have no byte.
    EXPECT_EQ(Windows1252::byteOf(u'\u0080'), -1);
    EXPECT_EQ(Windows1252::byteOf(u'\u009F'), -1);
    EXPECT_EQ(Windows1252::byteOf(u'\u0100'), -1);
    EXPECT_EQ(Windows1252::byteOf(u'\xD83D'), -1);
}

} // namespace
