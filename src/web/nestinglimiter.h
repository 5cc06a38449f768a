#pragma once

#include <QByteArray>

// Bounds how deep the elements of a page nest before it is parsed. The HTML parser
// spends time in proportion to the depth for every start tag, so a page of a million
// nested <div>s would take hours; browsers cap the depth the same way. A start tag
// beyond the bound is left out together with its end tag.
class NestingLimiter
{
public:
    static constexpr int kMaxDepth = 256;

    // `html` unchanged (and not copied) when it stays within `maxDepth`.
    static QByteArray limit(const QByteArray& html, int maxDepth = kMaxDepth);
};
