#pragma once

#include <QByteArray>

// Bounds the attributes of a page's tags before it is parsed. The HTML parser compares
// every new attribute with all earlier ones of its tag, merges the attributes of each
// repeated <html> or <body> into the first, and compares the attributes of formatting
// elements (<b>, <font>, ...) with those already open; a page of one tag with 200,000
// attributes took three minutes. No real page comes near these bounds; attributes beyond
// them are left out.
//
// One linear pass, and no guess about where tags are: any "<" before a letter may open a
// tag (inside a script or a comment it does not), so every such reading is followed at
// once, and readings that reach the same tokenizer state go on as one. A reading that
// goes past its bound loses the attributes beyond it up to its ">", or, where another
// reading of the same bytes is alive or the attributes hold a "<", is closed by an
// inserted ">" so that no markup is ever cut out.
class AttributeLimiter
{
public:
    static constexpr int kMaxPerTag = 64;
    // <b>, <i>, <font> and the other formatting elements but <a>.
    static constexpr int kMaxPerFormattingTag = 16;
    // All <html> tags of a page together, and all <body> tags together.
    static constexpr int kMaxMergedIntoRoot = 256;

    // `html` unchanged (and not copied) when every tag stays within the bounds.
    static QByteArray limit(const QByteArray& html);
};
