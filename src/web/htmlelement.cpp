#include "web/htmlelement.h"

#include "web/bodytextrenderer.h"
#include "web/htmldocument.h"

#include <QStringList>
#include <gumbo.h>
#include <vector>

namespace {

const GumboElement& element(const GumboNode* node)
{
    return node->v.element;
}

bool hasTag(const GumboNode* node, GumboTag tag)
{
    return node && node->type == GUMBO_NODE_ELEMENT && node->v.element.tag == tag;
}

QString attributeOf(const GumboNode* node, const char* name)
{
    const GumboAttribute* a = gumbo_get_attribute(&node->v.element.attributes, name);
    return a ? QString::fromUtf8(a->value) : QString();
}

QString inputType(const GumboNode* node)
{
    const QString type = attributeOf(node, "type").trimmed().toLower();
    return type.isEmpty() ? QStringLiteral("text") : type;
}

bool isCheckable(const GumboNode* node)
{
    if (!hasTag(node, GUMBO_TAG_INPUT))
        return false;
    const QString type = inputType(node);
    return type == QLatin1String("checkbox") || type == QLatin1String("radio");
}

} // namespace

QString HtmlElement::tagName() const
{
    if (!m_node)
        return QString();
    const GumboElement& e = element(m_node);
    if (e.tag != GUMBO_TAG_UNKNOWN)
        return QString::fromLatin1(gumbo_normalized_tagname(e.tag));
    GumboStringPiece piece = e.original_tag;
    gumbo_tag_from_original_text(&piece);
    return QString::fromUtf8(piece.data, static_cast<qsizetype>(piece.length)).toLower();
}

bool HtmlElement::is(const char* tag) const
{
    return m_node && tagName() == QLatin1String(tag);
}

bool HtmlElement::hasAttribute(const QString& name) const
{
    return m_node &&
           gumbo_get_attribute(&element(m_node).attributes, name.toLower().toUtf8().constData());
}

QString HtmlElement::attribute(const QString& name) const
{
    return m_node ? attributeOf(m_node, name.toLower().toUtf8().constData()) : QString();
}

QByteArray HtmlElement::sourceAttribute(const QString& name) const
{
    if (!m_node)
        return QByteArray();
    const GumboAttribute* a =
        gumbo_get_attribute(&element(m_node).attributes, name.toLower().toUtf8().constData());
    if (!a || !a->original_value.data)
        return QByteArray();
    return QByteArray(a->original_value.data, static_cast<qsizetype>(a->original_value.length));
}

bool HtmlElement::hasClasses(const QString& classes) const
{
    const QStringList wanted = classes.simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (!m_node || wanted.isEmpty())
        return false;
    const QStringList have = className().simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (const QString& name : wanted) {
        if (!have.contains(name))
            return false;
    }
    return true;
}

QUrl HtmlElement::url(const QString& attributeName) const
{
    if (!m_node || !hasAttribute(attributeName))
        return QUrl();
    return m_document->resolve(attribute(attributeName));
}

QString HtmlElement::innerText() const
{
    return m_node ? BodyTextRenderer::render(m_node) : QString();
}

QString HtmlElement::text() const
{
    if (!m_node)
        return QString();
    QByteArray bytes;
    std::vector<const GumboNode*> stack{m_node};
    while (!stack.empty()) {
        const GumboNode* node = stack.back();
        stack.pop_back();
        if (node->type == GUMBO_NODE_ELEMENT) {
            const GumboVector& children = element(node).children;
            for (unsigned i = children.length; i-- > 0;)
                stack.push_back(static_cast<const GumboNode*>(children.data[i]));
        } else if (node->type == GUMBO_NODE_TEXT || node->type == GUMBO_NODE_WHITESPACE ||
                   node->type == GUMBO_NODE_CDATA) {
            bytes += node->v.text.text;
        }
    }
    return QString::fromUtf8(bytes).simplified();
}

QString HtmlElement::value() const
{
    if (!m_node)
        return QString();
    const auto changed = m_document->m_values.constFind(m_node);
    if (changed != m_document->m_values.constEnd())
        return *changed;
    switch (element(m_node).tag) {
    case GUMBO_TAG_TEXTAREA: {
        QByteArray bytes;
        const GumboVector& children = element(m_node).children;
        for (unsigned i = 0; i < children.length; ++i) {
            const auto* child = static_cast<const GumboNode*>(children.data[i]);
            if (child->type == GUMBO_NODE_TEXT || child->type == GUMBO_NODE_WHITESPACE)
                bytes += child->v.text.text;
        }
        return QString::fromUtf8(bytes);
    }
    case GUMBO_TAG_SELECT: {
        const QList<HtmlElement> selected = selectedOptions();
        return selected.isEmpty() ? QString() : selected.first().value();
    }
    case GUMBO_TAG_OPTION:
        return hasAttribute(QStringLiteral("value")) ? attribute(QStringLiteral("value")) : text();
    case GUMBO_TAG_INPUT:
        if (isCheckable(m_node) && !hasAttribute(QStringLiteral("value")))
            return QStringLiteral("on");
        return attribute(QStringLiteral("value"));
    default:
        return attribute(QStringLiteral("value"));
    }
}

bool HtmlElement::setValue(const QString& value) const
{
    if (!hasTag(m_node, GUMBO_TAG_INPUT) && !hasTag(m_node, GUMBO_TAG_TEXTAREA))
        return false;
    m_document->m_values.insert(m_node, value);
    return true;
}

bool HtmlElement::isChecked() const
{
    if (!isCheckable(m_node))
        return false;
    return m_document->m_checked.value(m_node, hasAttribute(QStringLiteral("checked")));
}

void HtmlElement::setChecked(bool checked) const
{
    if (isCheckable(m_node))
        m_document->m_checked.insert(m_node, checked);
}

bool HtmlElement::isSelected() const
{
    if (!hasTag(m_node, GUMBO_TAG_OPTION))
        return false;
    HtmlElement list = parent();
    while (list && !list.is("select"))
        list = list.parent();
    if (!list)
        return m_document->m_selected.value(m_node, hasAttribute(QStringLiteral("selected")));
    return list.selectedOptions().contains(*this);
}

QList<HtmlElement> HtmlElement::selectedOptions() const
{
    QList<HtmlElement> selected;
    const QList<HtmlElement> all = options();
    const bool multiple = hasAttribute(QStringLiteral("multiple"));
    for (const HtmlElement& option : all) {
        const bool on = m_document->m_selected.value(
            option.node(), option.hasAttribute(QStringLiteral("selected")));
        if (!on)
            continue;
        if (!multiple)
            selected.clear(); // the last one marked wins
        selected.append(option);
    }
    // A single-choice list without a choice shows (and sends) its first option.
    if (!multiple && selected.isEmpty() && !all.isEmpty())
        selected.append(all.first());
    return selected;
}

void HtmlElement::setSelected(bool selected) const
{
    if (!hasTag(m_node, GUMBO_TAG_OPTION))
        return;
    HtmlElement list = parent();
    while (list && !list.is("select"))
        list = list.parent();
    if (selected && list && !list.hasAttribute(QStringLiteral("multiple"))) {
        for (const HtmlElement& option : list.options())
            m_document->m_selected.insert(option.node(), false);
    }
    m_document->m_selected.insert(m_node, selected);
}

bool HtmlElement::isDisabled() const
{
    return hasAttribute(QStringLiteral("disabled"));
}

HtmlElement HtmlElement::parent() const
{
    if (!m_node || !m_node->parent || m_node->parent->type != GUMBO_NODE_ELEMENT)
        return HtmlElement();
    return HtmlElement(m_document, m_node->parent);
}

QList<HtmlElement> HtmlElement::children() const
{
    QList<HtmlElement> list;
    if (!m_node)
        return list;
    const GumboVector& children = element(m_node).children;
    for (unsigned i = 0; i < children.length; ++i) {
        const auto* child = static_cast<const GumboNode*>(children.data[i]);
        if (child->type == GUMBO_NODE_ELEMENT)
            list.append(HtmlElement(m_document, child));
    }
    return list;
}

QList<HtmlElement> HtmlElement::descendants(const QString& tag) const
{
    QList<HtmlElement> list;
    if (!m_node)
        return list;
    const QString wanted = tag.toLower();
    std::vector<const GumboNode*> stack;
    const GumboVector& top = element(m_node).children;
    for (unsigned i = top.length; i-- > 0;)
        stack.push_back(static_cast<const GumboNode*>(top.data[i]));
    while (!stack.empty()) {
        const GumboNode* node = stack.back();
        stack.pop_back();
        if (node->type != GUMBO_NODE_ELEMENT)
            continue;
        HtmlElement found(m_document, node);
        if (wanted.isEmpty() || found.tagName() == wanted)
            list.append(found);
        const GumboVector& children = element(node).children;
        for (unsigned i = children.length; i-- > 0;)
            stack.push_back(static_cast<const GumboNode*>(children.data[i]));
    }
    return list;
}

QList<HtmlElement> HtmlElement::rows() const
{
    QList<HtmlElement> list;
    if (!hasTag(m_node, GUMBO_TAG_TABLE))
        return list;
    for (const HtmlElement& child : children()) {
        if (child.is("tr")) {
            list.append(child);
        } else if (child.is("tbody") || child.is("thead") || child.is("tfoot")) {
            for (const HtmlElement& row : child.children()) {
                if (row.is("tr"))
                    list.append(row);
            }
        }
    }
    return list;
}

QList<HtmlElement> HtmlElement::cells() const
{
    QList<HtmlElement> list;
    for (const HtmlElement& child : children()) {
        if (child.is("td") || child.is("th"))
            list.append(child);
    }
    return list;
}

QList<HtmlElement> HtmlElement::options() const
{
    QList<HtmlElement> list;
    if (!hasTag(m_node, GUMBO_TAG_SELECT))
        return list;
    for (const HtmlElement& child : children()) {
        if (child.is("option"))
            list.append(child);
        else if (child.is("optgroup")) {
            for (const HtmlElement& option : child.children()) {
                if (option.is("option"))
                    list.append(option);
            }
        }
    }
    return list;
}
