// Pages built to stall the HTML parser, and ordinary markup that must come through the
// limits unchanged. Timings are in bench/hostilepage.cpp; these check the bounds.

#include "web/attributelimiter.h"
#include "web/htmldocument.h"
#include "web/htmlform.h"

#include <gtest/gtest.h>
#include <gumbo.h>

namespace {

QByteArray attributes(int count, const QByteArray& prefix = "a")
{
    QByteArray list;
    for (int i = 0; i < count; ++i)
        list += ' ' + prefix + QByteArray::number(i);
    return list;
}

unsigned attributeCount(const HtmlElement& element)
{
    return element.isNull() ? 0 : element.node()->v.element.attributes.length;
}

} // namespace

TEST(HostilePages, AttributesAreBoundedWhereverATagMayBegin)
{
    // Ordinary markup, odd quoting included, is left as it is.
    const QByteArray ordinary = R"(<p class=x id='y' title="a > b" data-x=1/><a href=/x>z</a>)"
                                R"(<script>if (a<b && c) { x = "<i " + y; }</script>)";
    EXPECT_EQ(AttributeLimiter::limit(ordinary), ordinary);

    // One tag with thousands of attributes keeps its first ones, its text and what follows.
    auto page = HtmlDocument::fromBytes("<html><body><div id=first" + attributes(5000) +
                                            " name=last>Item text</div><p>after</p>",
                                        "text/html");
    const HtmlElement div = page->elementById("first");
    EXPECT_EQ(attributeCount(div), unsigned(AttributeLimiter::kMaxPerTag));
    EXPECT_FALSE(div.hasAttribute("name"));
    EXPECT_EQ(page->bodyText(), "Item text\r\nafter");

    // Formatting elements, which the parser compares with each other, keep fewer.
    page = HtmlDocument::fromBytes("<b id=b" + attributes(100) + ">bold</b>", "text/html");
    EXPECT_EQ(attributeCount(page->elementById("b")),
              unsigned(AttributeLimiter::kMaxPerFormattingTag));

    // Repeated <html> tags are merged into one element: all of them together are bounded.
    QByteArray merged = "<html>";
    for (int i = 0; i < 50; ++i)
        merged += "<html" + attributes(40, "h" + QByteArray::number(i) + "_") + ">";
    page = HtmlDocument::fromBytes(merged + "<p>text</p>", "text/html");
    EXPECT_LE(attributeCount(page->elementsByTagName("html").value(0)),
              unsigned(AttributeLimiter::kMaxMergedIntoRoot));
    EXPECT_EQ(page->bodyText(), "text");

    // A tag hidden from a reading that starts inside a comment is still bounded, and a
    // script's text that reads like a long tag keeps its end tag.
    page = HtmlDocument::fromBytes("<!-- <a title=\"x --> <div id=d" + attributes(3000) +
                                       " x=\"y\">inside</div>",
                                   "text/html");
    EXPECT_LE(attributeCount(page->elementById("d")), unsigned(AttributeLimiter::kMaxPerTag));
    page = HtmlDocument::fromBytes("<script>var s = a<b" + attributes(200) +
                                       ";</script><form name=f><input name=q></form>",
                                   "text/html");
    ASSERT_EQ(page->forms().size(), 1);
    EXPECT_EQ(page->forms().first().elements().size(), 1);
}

TEST(HostilePages, ParseMemoryHasACeiling)
{
    // Each paragraph leaves another <b> open, and the parser clones all of them into every
    // later paragraph: 77 KB asked for gigabytes.
    QByteArray bomb = "<html><body>";
    for (int i = 0; i < 6000; ++i)
        bomb += "<p><b x" + QByteArray::number(i) + ">t";
    const auto refused = HtmlDocument::fromBytes(bomb, "text/html");
    EXPECT_TRUE(refused->refused());
    EXPECT_FALSE(refused->hasBody());
    EXPECT_TRUE(refused->bodyText().isEmpty());
    EXPECT_LE(refused->parseMemoryPeak(), refused->parseMemoryCeiling());

    // The densest ordinary markup stays well inside it.
    QByteArray dense = "<html><body>";
    while (dense.size() < (1 << 20))
        dense += "<p>";
    const auto read = HtmlDocument::fromBytes(dense, "text/html");
    EXPECT_FALSE(read->refused());
    EXPECT_LT(read->parseMemoryPeak(), read->parseMemoryCeiling() * 3 / 4);
}
