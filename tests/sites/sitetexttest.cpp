#include "sites/sitetext.h"

#include <gtest/gtest.h>

TEST(SplitLines, DropsEmptyPieces)
{
    EXPECT_EQ(SplitLines(u"a\r\n\r\nb", u"\r\n"), QStringList({"a", "b"}));
    EXPECT_EQ(SplitLines(u"\r\n\r\na\r\n", u"\r\n"), QStringList({"a"}));
    EXPECT_EQ(SplitLines(u"one", u"\r\n"), QStringList({"one"}));
    EXPECT_TRUE(SplitLines(u"", u"\n").isEmpty());
    EXPECT_TRUE(SplitLines(u"\n\n\n", u"\n").isEmpty());
    // A lone CR is part of a line when the delimiter is CR LF, and stays with LF alone.
    EXPECT_EQ(SplitLines(u"a\rb\r\n", u"\r\n"), QStringList({"a\rb"}));
    EXPECT_EQ(SplitLines(u"[START]\r\nx\n", u"\n"), QStringList({"[START]\r", "x"}));
    EXPECT_EQ(SplitLines(u"DD/MM/YY  Jan Feb", u" "), QStringList({"DD/MM/YY", "Jan", "Feb"}));
}

TEST(SplitLines, OddInput)
{
    EXPECT_EQ(SplitLines(u"abc", u""), QStringList({"abc"}));
    EXPECT_EQ(SplitLines(u"ab", u"abc"), QStringList({"ab"}));
    // A delimiter cut short at the end of the text is ordinary text.
    EXPECT_EQ(SplitLines(u"a\r", u"\r\n"), QStringList({"a\r"}));
    const QString binary = QString::fromUtf16(u"x\0y\r\n\xD800z", 8);
    EXPECT_EQ(SplitLines(binary, u"\r\n").size(), 2);
    const QString huge = QString("line\r\n").repeated(100000);
    EXPECT_EQ(SplitLines(huge, u"\r\n").size(), 100000);
}

TEST(StripSpaces, TrimsAndRemovesInnerSpaces)
{
    EXPECT_EQ(StripSpaces("  1 234,50 \t\r\n"), "1234,50");
    EXPECT_EQ(StripSpaces("a\tb"), "a\tb");
    EXPECT_EQ(StripSpaces(""), "");
    EXPECT_EQ(StripSpaces("   "), "");
}
