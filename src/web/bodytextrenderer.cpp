#include "web/bodytextrenderer.h"

#include <cstring>
#include <gumbo.h>

namespace {

bool isCollapsible(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

const GumboAttribute* attribute(const GumboNode* node, const char* name)
{
    return gumbo_get_attribute(&node->v.element.attributes, name);
}

} // namespace

bool BodyTextRenderer::isHidden(const GumboNode* node)
{
    if (attribute(node, "hidden"))
        return true;
    const GumboAttribute* style = attribute(node, "style");
    if (!style)
        return false;
    // "display: none" in any spelling of spaces and case.
    QByteArray compact;
    for (const char* p = style->value; *p; ++p) {
        if (!isCollapsible(*p))
            compact += static_cast<char>(*p >= 'A' && *p <= 'Z' ? *p + 32 : *p);
    }
    return compact.contains("display:none");
}

BodyTextRenderer::Kind BodyTextRenderer::kindOf(const GumboNode* node)
{
    switch (node->v.element.tag) {
    case GUMBO_TAG_HEAD:
    case GUMBO_TAG_TITLE:
    case GUMBO_TAG_SCRIPT:
    case GUMBO_TAG_STYLE:
    case GUMBO_TAG_NOSCRIPT:
    case GUMBO_TAG_TEMPLATE:
    case GUMBO_TAG_TEXTAREA:
    case GUMBO_TAG_INPUT:
    case GUMBO_TAG_IFRAME:
    case GUMBO_TAG_OBJECT:
    case GUMBO_TAG_EMBED:
    case GUMBO_TAG_IMG:
    case GUMBO_TAG_SVG:
    case GUMBO_TAG_MATH:
    case GUMBO_TAG_CANVAS:
    case GUMBO_TAG_VIDEO:
    case GUMBO_TAG_AUDIO:
    case GUMBO_TAG_MAP:
    case GUMBO_TAG_DATALIST:
    case GUMBO_TAG_NOFRAMES:
    case GUMBO_TAG_NOEMBED:
    case GUMBO_TAG_FRAMESET:
    case GUMBO_TAG_PARAM:
    case GUMBO_TAG_SOURCE:
    case GUMBO_TAG_TRACK:
        return Kind::Skip;
    case GUMBO_TAG_BR:
        return Kind::Break;
    case GUMBO_TAG_TR:
        return Kind::Row;
    case GUMBO_TAG_TD:
    case GUMBO_TAG_TH:
        return Kind::Cell;
    case GUMBO_TAG_PRE:
    case GUMBO_TAG_LISTING:
    case GUMBO_TAG_XMP:
    case GUMBO_TAG_PLAINTEXT:
        return Kind::Preformatted;
    case GUMBO_TAG_ADDRESS:
    case GUMBO_TAG_ARTICLE:
    case GUMBO_TAG_ASIDE:
    case GUMBO_TAG_BLOCKQUOTE:
    case GUMBO_TAG_BODY:
    case GUMBO_TAG_CAPTION:
    case GUMBO_TAG_CENTER:
    case GUMBO_TAG_DD:
    case GUMBO_TAG_DETAILS:
    case GUMBO_TAG_DIR:
    case GUMBO_TAG_DIV:
    case GUMBO_TAG_DL:
    case GUMBO_TAG_DT:
    case GUMBO_TAG_FIELDSET:
    case GUMBO_TAG_FIGCAPTION:
    case GUMBO_TAG_FIGURE:
    case GUMBO_TAG_FOOTER:
    case GUMBO_TAG_FORM:
    case GUMBO_TAG_H1:
    case GUMBO_TAG_H2:
    case GUMBO_TAG_H3:
    case GUMBO_TAG_H4:
    case GUMBO_TAG_H5:
    case GUMBO_TAG_H6:
    case GUMBO_TAG_HEADER:
    case GUMBO_TAG_HGROUP:
    case GUMBO_TAG_HR:
    case GUMBO_TAG_HTML:
    case GUMBO_TAG_LEGEND:
    case GUMBO_TAG_LI:
    case GUMBO_TAG_MAIN:
    case GUMBO_TAG_MENU:
    case GUMBO_TAG_NAV:
    case GUMBO_TAG_OL:
    case GUMBO_TAG_OPTGROUP:
    case GUMBO_TAG_OPTION:
    case GUMBO_TAG_P:
    case GUMBO_TAG_SECTION:
    case GUMBO_TAG_SUMMARY:
    case GUMBO_TAG_TABLE:
    case GUMBO_TAG_TBODY:
    case GUMBO_TAG_TFOOT:
    case GUMBO_TAG_THEAD:
    case GUMBO_TAG_UL:
        return Kind::Block;
    default:
        return Kind::Inline;
    }
}

QString BodyTextRenderer::render(const GumboNode* root)
{
    if (!root || root->type != GUMBO_NODE_ELEMENT)
        return QString();
    BodyTextRenderer renderer;
    struct Frame
    {
        const GumboNode* node;
        Kind kind;
        unsigned next;
    };
    // An explicit stack: nesting depth is the page's choice, not ours.
    std::vector<Frame> stack;
    stack.push_back({root, Kind::Block, 0});
    renderer.enter(root, Kind::Block);
    while (!stack.empty()) {
        Frame& frame = stack.back();
        const GumboVector& children = frame.node->v.element.children;
        if (frame.next >= children.length) {
            renderer.leave(frame.kind);
            stack.pop_back();
            continue;
        }
        const auto* child = static_cast<const GumboNode*>(children.data[frame.next++]);
        switch (child->type) {
        case GUMBO_NODE_TEXT:
        case GUMBO_NODE_WHITESPACE:
        case GUMBO_NODE_CDATA:
            if (renderer.m_preDepth > 0)
                renderer.preformatted(child->v.text.text, std::strlen(child->v.text.text));
            else
                renderer.text(child->v.text.text, std::strlen(child->v.text.text));
            break;
        case GUMBO_NODE_ELEMENT: {
            const Kind kind = isHidden(child) ? Kind::Skip : kindOf(child);
            if (kind == Kind::Skip)
                break;
            renderer.enter(child, kind);
            stack.push_back({child, kind, 0});
            break;
        }
        default:
            break;
        }
    }
    renderer.finishLine();
    return QString::fromUtf8(renderer.m_out);
}

void BodyTextRenderer::enter(const GumboNode*, Kind kind)
{
    switch (kind) {
    case Kind::Block:
        requestBreak();
        break;
    case Kind::Preformatted:
        requestBreak();
        ++m_preDepth;
        break;
    case Kind::Row:
        requestBreak();
        m_rows.push_back({0, m_serial});
        break;
    case Kind::Cell:
        if (!m_rows.empty()) {
            Row& row = m_rows.back();
            // A break left by a block at the end of the previous cell of this row turns
            // into the tab, so a label in its own <p> still shares the line with its value.
            if (row.cells++ > 0 && m_serial != row.serialAtStart) {
                m_pendingBreak = false;
                m_pendingSpace = false;
                m_pendingTab = true;
            }
        }
        break;
    case Kind::Break:
        requestBreak();
        break;
    default:
        break;
    }
}

void BodyTextRenderer::leave(Kind kind)
{
    switch (kind) {
    case Kind::Block:
        requestBreak();
        break;
    case Kind::Preformatted:
        --m_preDepth;
        requestBreak();
        break;
    case Kind::Row:
        if (!m_rows.empty())
            m_rows.pop_back();
        requestBreak();
        break;
    default:
        break;
    }
}

void BodyTextRenderer::put(const char* data, size_t length)
{
    if (m_pendingBreak) {
        finishLine();
    } else if (!m_line.isEmpty()) {
        if (m_pendingTab)
            m_line += '\t';
        else if (m_pendingSpace)
            m_line += ' ';
    }
    m_pendingBreak = m_pendingSpace = m_pendingTab = false;
    m_line.append(data, static_cast<qsizetype>(length));
    m_serial += length;
}

void BodyTextRenderer::text(const char* data, size_t length)
{
    size_t i = 0;
    while (i < length) {
        if (isCollapsible(data[i])) {
            m_pendingSpace = true;
            ++i;
            continue;
        }
        size_t end = i + 1;
        while (end < length && !isCollapsible(data[end]))
            ++end;
        put(data + i, end - i);
        i = end;
    }
}

void BodyTextRenderer::preformatted(const char* data, size_t length)
{
    for (size_t i = 0; i < length; ++i) {
        const char c = data[i];
        if (c == '\n') {
            requestBreak();
        } else if (c != '\r') {
            // Spaces count as text here; the line's start keeps its indentation.
            if (m_pendingBreak)
                finishLine();
            m_pendingBreak = false;
            if (c == ' ' || c == '\t')
                m_line += c;
            else
                put(&data[i], 1);
        }
    }
}

void BodyTextRenderer::finishLine()
{
    qsizetype end = m_line.size();
    while (end > 0 && (m_line[end - 1] == ' ' || m_line[end - 1] == '\t'))
        --end;
    if (end > 0) {
        if (!m_out.isEmpty())
            m_out += "\r\n";
        m_out.append(m_line.constData(), end);
    }
    m_line.clear();
    m_pendingBreak = m_pendingSpace = m_pendingTab = false;
}
