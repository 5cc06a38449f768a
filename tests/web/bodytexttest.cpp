#include "web/htmldocument.h"
#include "web/nestinglimiter.h"

#include <gtest/gtest.h>

#include <QRandomGenerator>

namespace {

QString bodyText(const QString& html)
{
    return HtmlDocument(html).bodyText();
}

} // namespace

TEST(BodyText, BlocksAndBreaksMakeLines)
{
    EXPECT_EQ(bodyText("<p>First line</p><p>Second line</p>"), "First line\r\nSecond line");
    EXPECT_EQ(bodyText("one<br>two<br/><br>three"), "one\r\ntwo\r\nthree");
    EXPECT_EQ(bodyText("<h1>Title</h1>text <b>bold</b> <i>it</i>alic<div>block</div>tail"),
              "Title\r\ntext bold italic\r\nblock\r\ntail");
    EXPECT_EQ(bodyText("<ul><li>one<li>two</ul><ol><li>three</li></ol>"), "one\r\ntwo\r\nthree");
    EXPECT_EQ(bodyText("<dl><dt>term<dd>meaning</dl><hr>after"), "term\r\nmeaning\r\nafter");
    // No empty lines, whatever the markup stacks up.
    EXPECT_EQ(bodyText("<div><div><p></p>  <br><br></div></div>x<p>&nbsp;</p>"), "x\r\n\u00a0");
}

TEST(BodyText, WhiteSpaceCollapses)
{
    EXPECT_EQ(bodyText("  a \n\t b   c  "), "a b c");
    EXPECT_EQ(bodyText("<span>a</span>   <span>b</span><span> c</span>"), "a b c");
    EXPECT_EQ(bodyText("<p>  lead and trail  </p>"), "lead and trail");
    // A non-breaking space is text, as in a browser.
    EXPECT_EQ(bodyText("US&nbsp;$10.00"), QString::fromUtf8("US\u00a0$10.00"));
    EXPECT_EQ(bodyText("a &amp; b &lt;c&gt;"), "a & b <c>");
}

TEST(BodyText, TableRowsAreLinesWithTabbedCells)
{
    const QString html = "<table>"
                         "<tr><td>Current bid:</td><td><b>US $12.50</b></td></tr>"
                         "<tr><th>Seller:</th><td>seller1 ( 42 )</td></tr>"
                         "<tr><td><p>Time left:</p></td><td>2 days</td></tr>"
                         "<tr><td></td><td>no label</td></tr>"
                         "<tr><td>a</td><td></td><td>c</td></tr>"
                         "</table>after";
    EXPECT_EQ(bodyText(html), "Current bid:\tUS $12.50\r\nSeller:\tseller1 ( 42 )\r\n"
                              "Time left:\t2 days\r\nno label\r\na\tc\r\nafter");
    // A table inside a cell starts its own lines.
    EXPECT_EQ(bodyText("<table><tr><td>outer</td><td><table><tr><td>in1</td><td>in2</td></tr>"
                       "</table></td></tr></table>"),
              "outer\r\nin1\tin2");
}

TEST(BodyText, PreformattedTextKeepsItsLayout)
{
    EXPECT_EQ(bodyText("<pre>line one\n   indented  twice\n\nlast</pre>after"),
              "line one\r\n   indented  twice\r\nlast\r\nafter");
}

TEST(BodyText, InvisibleContentGivesNoText)
{
    EXPECT_EQ(bodyText("<script>var a = '<p>no</p>';</script><style>p{}</style>"
                       "<input type=hidden name=c value=secret><input value=typed>"
                       "<textarea>notes</textarea><div hidden>gone</div>"
                       "<div style=\"DISPLAY : None\">gone too</div><noscript>nag</noscript>"
                       "<img alt=picture src=x.gif><!-- comment -->visible"),
              "visible");
    EXPECT_EQ(bodyText("<select><option>first</option><option>second</select>"), "first\r\nsecond");
    EXPECT_EQ(bodyText("<button>Place bid</button> now"), "Place bid now");
}

TEST(BodyText, PagesWithoutBodyOrText)
{
    EXPECT_EQ(bodyText(QString()), QString());
    EXPECT_EQ(bodyText("<html><head><title>t</title></head></html>"), QString());
    HtmlDocument frames("<html><frameset><frame src=a.html></frameset></html>");
    EXPECT_FALSE(frames.hasBody());
    EXPECT_EQ(frames.bodyText(), QString());
}

TEST(BodyText, BrokenMarkupStillReads)
{
    EXPECT_EQ(bodyText("<p>one<p>two</div></span><div>three"), "one\r\ntwo\r\nthree");
    EXPECT_EQ(bodyText("<b>bold <i>both</b> italic</i> plain"), "bold both italic plain");
    EXPECT_EQ(bodyText("<table><tr><td>cell<tr><td>next"), "cell\r\nnext");
    EXPECT_EQ(bodyText("text <unknowntag>inside</unknowntag> <p"), "text inside");
    EXPECT_EQ(bodyText("<<<>>>&&&;;"), "<<<>>>&&&;;");
}

TEST(BodyText, DeepNestingIsBounded)
{
    const int depth = 200000;
    QString html = QString("<div>").repeated(depth) + "deep" + QString("</div>").repeated(depth);
    EXPECT_EQ(bodyText(html), "deep");
    EXPECT_EQ(bodyText(QString("<b>").repeated(depth) + "bold"), "bold");
    EXPECT_EQ(bodyText(QString("<table><tr><td>").repeated(20000) + "cell"), "cell");
    // Shallow pages pass through untouched.
    const QByteArray page = "<html><body><div><p>x</p></div></body></html>";
    EXPECT_EQ(NestingLimiter::limit(page).constData(), page.constData());
}

TEST(BodyText, NestingLimitKeepsStructureBelowIt)
{
    const QByteArray cut = NestingLimiter::limit("<div><div><div>a</div></div><p>b</p></div>", 2);
    EXPECT_EQ(cut, "<div><div>a</div><p>b</p></div>");
    // Elements that close their predecessor do not count as nesting.
    QByteArray list = "<select>";
    for (int i = 0; i < 1000; ++i)
        list += "<option>o" + QByteArray::number(i);
    EXPECT_EQ(NestingLimiter::limit(list, 10), list);
    EXPECT_EQ(NestingLimiter::limit("<script><div><div><div></script>", 2),
              "<script><div><div><div></script>");
}

TEST(BodyText, BinaryAndHugePages)
{
    QByteArray noise(200000, '\0');
    QRandomGenerator random(7);
    for (char& c : noise)
        c = static_cast<char>(random.bounded(256));
    auto fromNoise = HtmlDocument::fromBytes(noise, "text/html");
    (void)fromNoise->bodyText(); // anything but a crash

    const QString row = "<tr><td>Label:</td><td>value</td></tr>\n";
    const QString big = "<table>" + row.repeated(10 * 1024 * 1024 / row.size()) + "</table>";
    const QString text = bodyText(big);
    EXPECT_TRUE(text.startsWith("Label:\tvalue\r\nLabel:\tvalue"));
    EXPECT_EQ(text.count("\r\n") + 1, 10 * 1024 * 1024 / row.size());
}

TEST(BodyText, CharsetsOfDownloadedPages)
{
    EXPECT_EQ(HtmlDocument::fromBytes("<p>5 \x80 und M\xfc"
                                      "nchen</p>",
                                      "text/html; charset=ISO-8859-1")
                  ->bodyText(),
              QString::fromUtf8("5 € und München"));
    EXPECT_EQ(HtmlDocument::fromBytes("<meta charset=\"utf-8\"><p>\xe2\x82\xac</p>", "text/html")
                  ->bodyText(),
              QString::fromUtf8("€"));
    // Undeclared: UTF-8 when it is valid, Windows-1252 when not.
    EXPECT_EQ(HtmlDocument::fromBytes("<p>M\xc3\xbcnchen</p>", "")->bodyText(),
              QString::fromUtf8("München"));
    EXPECT_EQ(HtmlDocument::fromBytes("<p>M\xfcnchen</p>", "")->bodyText(),
              QString::fromUtf8("München"));
    EXPECT_EQ(HtmlDocument::fromBytes("<p>x</p>", "text/html")->charset(), "utf-8");
    EXPECT_EQ(HtmlDocument::fromBytes("<p>\xfc</p>", "text/html")->charset(), "windows-1252");
}
