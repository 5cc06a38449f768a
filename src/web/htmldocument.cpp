#include "web/htmldocument.h"

#include "web/attributelimiter.h"
#include "web/bodytextrenderer.h"
#include "web/gumboarena.h"
#include "web/htmlform.h"
#include "web/nestinglimiter.h"
#include "web/pagecharset.h"

#include <algorithm>
#include <cstring>
#include <gumbo.h>

namespace {

bool isControl(GumboTag tag)
{
    return tag == GUMBO_TAG_INPUT || tag == GUMBO_TAG_BUTTON || tag == GUMBO_TAG_SELECT ||
           tag == GUMBO_TAG_TEXTAREA;
}

} // namespace

HtmlDocument::HtmlDocument(const QString& html, const QUrl& url, const QByteArray& charset)
    : m_buffer(NestingLimiter::limit(AttributeLimiter::limit(html.toUtf8()))), m_url(url),
      m_charset(charset), m_arena(std::make_unique<GumboArena>(
                              GumboArena::ceilingFor(static_cast<size_t>(m_buffer.size()))))
{
    m_output = m_arena->parse(m_buffer.constData(), static_cast<size_t>(m_buffer.size()));
    m_refused = !m_output;
    index();
    assignControls();
}

HtmlDocument::~HtmlDocument() = default;

size_t HtmlDocument::parseMemoryPeak() const
{
    return m_arena->peak();
}

size_t HtmlDocument::parseMemoryCeiling() const
{
    return m_arena->ceiling();
}

QString HtmlDocument::refusalText()
{
    return QStringLiteral("the page would need far more memory than any real page; it was "
                          "not read");
}

std::unique_ptr<HtmlDocument>
HtmlDocument::fromBytes(const QByteArray& body, const QByteArray& contentType, const QUrl& url)
{
    QByteArray charset;
    const QString html = PageCharset::decode(body, contentType, &charset);
    auto document = std::make_unique<HtmlDocument>(html, url, charset);
    document->m_raw = body;
    return document;
}

void HtmlDocument::index()
{
    if (!m_output || !m_output->root)
        return;
    std::vector<const GumboNode*> stack{m_output->root};
    while (!stack.empty()) {
        const GumboNode* node = stack.back();
        stack.pop_back();
        if (node->type != GUMBO_NODE_ELEMENT)
            continue;
        m_elements.push_back(node);
        const GumboElement& element = node->v.element;
        if (element.tag == GUMBO_TAG_BODY && m_body.isNull())
            m_body = HtmlElement(this, node);
        else if (element.tag == GUMBO_TAG_FORM)
            m_forms.push_back(node);
        else if (element.tag == GUMBO_TAG_BASE && !m_base.isValid()) {
            if (const GumboAttribute* href = gumbo_get_attribute(&element.attributes, "href"))
                m_base = m_url.resolved(QUrl(QString::fromUtf8(href->value).trimmed()));
        }
        for (unsigned i = element.children.length; i-- > 0;)
            stack.push_back(static_cast<const GumboNode*>(element.children.data[i]));
    }
    // Where each </form> stands in the source, for fields the parser put outside their form.
    const char* data = m_buffer.constData();
    for (qsizetype at = m_buffer.indexOf("</"); at >= 0; at = m_buffer.indexOf("</", at + 2)) {
        if (m_buffer.size() - at >= 6 && qstrnicmp(data + at + 2, "form", 4) == 0)
            m_formEndTags.push_back(at);
    }
}

qsizetype HtmlDocument::formSourceEnd(const GumboNode* form) const
{
    const qsizetype start = form->v.element.start_pos.offset;
    const auto next = std::upper_bound(m_formEndTags.begin(), m_formEndTags.end(), start);
    return next == m_formEndTags.end() ? m_buffer.size() : *next;
}

void HtmlDocument::assignControls()
{
    m_controls.assign(m_forms.size(), {});
    QHash<QString, int> formsById;
    std::vector<std::pair<qsizetype, int>> formsBySource;
    for (size_t i = 0; i < m_forms.size(); ++i) {
        const QString id = HtmlElement(this, m_forms[i]).id();
        if (!id.isEmpty() && !formsById.contains(id))
            formsById.insert(id, static_cast<int>(i));
        if (m_forms[i]->v.element.original_tag.length > 0)
            formsBySource.emplace_back(m_forms[i]->v.element.start_pos.offset, static_cast<int>(i));
    }
    std::sort(formsBySource.begin(), formsBySource.end());

    for (const GumboNode* node : m_elements) {
        if (!isControl(node->v.element.tag))
            continue;
        int owner = -1;
        const QString formId = HtmlElement(this, node).attribute(QStringLiteral("form"));
        if (!formId.isEmpty())
            owner = formsById.value(formId, -1);
        for (const GumboNode* up = node->parent; owner < 0 && up; up = up->parent) {
            if (up->type == GUMBO_NODE_ELEMENT && up->v.element.tag == GUMBO_TAG_FORM)
                owner = static_cast<int>(std::find(m_forms.begin(), m_forms.end(), up) -
                                         m_forms.begin());
        }
        if (owner < 0 && formId.isEmpty() && node->v.element.original_tag.length > 0) {
            // A form opened inside a table is closed at once by the parser, and its fields
            // end up outside it; they belong to the form whose source encloses them.
            const qsizetype at = node->v.element.start_pos.offset;
            auto after = std::upper_bound(formsBySource.begin(), formsBySource.end(),
                                          std::make_pair(at, -1));
            if (after != formsBySource.begin()) {
                const int candidate = std::prev(after)->second;
                if (at < formSourceEnd(m_forms[static_cast<size_t>(candidate)]))
                    owner = candidate;
            }
        }
        if (owner >= 0 && owner < static_cast<int>(m_forms.size())) {
            m_controls[static_cast<size_t>(owner)].push_back(node);
            m_controlForm.insert(node, owner);
        }
    }
}

QUrl HtmlDocument::resolve(const QString& reference) const
{
    const QUrl relative(reference.trimmed());
    const QUrl& base = m_base.isValid() ? m_base : m_url;
    return base.isValid() ? base.resolved(relative) : relative;
}

QString HtmlDocument::title() const
{
    for (const GumboNode* node : m_elements) {
        if (node->v.element.tag == GUMBO_TAG_TITLE)
            return HtmlElement(this, node).text();
    }
    return QString();
}

QString HtmlDocument::bodyText() const
{
    return m_body.isNull() ? QString() : BodyTextRenderer::render(m_body.node());
}

QList<HtmlElement> HtmlDocument::elements() const
{
    QList<HtmlElement> list;
    list.reserve(static_cast<qsizetype>(m_elements.size()));
    for (const GumboNode* node : m_elements)
        list.append(HtmlElement(this, node));
    return list;
}

QList<HtmlElement> HtmlDocument::elementsByTagName(const QString& tag) const
{
    QList<HtmlElement> list;
    const QString wanted = tag.toLower();
    for (const GumboNode* node : m_elements) {
        HtmlElement element(this, node);
        if (element.tagName() == wanted)
            list.append(element);
    }
    return list;
}

QList<HtmlElement> HtmlDocument::elementsByClassName(const QString& classes) const
{
    QList<HtmlElement> list;
    if (classes.trimmed().isEmpty())
        return list;
    for (const GumboNode* node : m_elements) {
        HtmlElement element(this, node);
        if (element.hasClasses(classes))
            list.append(element);
    }
    return list;
}

HtmlElement HtmlDocument::elementById(const QString& id) const
{
    for (const GumboNode* node : m_elements) {
        HtmlElement element(this, node);
        if (!id.isEmpty() && element.id() == id)
            return element;
    }
    return HtmlElement();
}

QList<HtmlElement> HtmlDocument::links() const
{
    QList<HtmlElement> list;
    for (const GumboNode* node : m_elements) {
        const GumboTag tag = node->v.element.tag;
        if ((tag == GUMBO_TAG_A || tag == GUMBO_TAG_AREA) &&
            gumbo_get_attribute(&node->v.element.attributes, "href"))
            list.append(HtmlElement(this, node));
    }
    return list;
}

QList<HtmlForm> HtmlDocument::forms() const
{
    QList<HtmlForm> list;
    for (int i = 0; i < formCount(); ++i)
        list.append(HtmlForm(this, i));
    return list;
}

HtmlElement HtmlDocument::formElement(int index) const
{
    if (index < 0 || index >= formCount())
        return HtmlElement();
    return HtmlElement(this, m_forms[static_cast<size_t>(index)]);
}

QList<HtmlElement> HtmlDocument::formControls(int index) const
{
    QList<HtmlElement> list;
    if (index < 0 || index >= formCount())
        return list;
    for (const GumboNode* node : m_controls[static_cast<size_t>(index)])
        list.append(HtmlElement(this, node));
    return list;
}

int HtmlDocument::formOf(const GumboNode* control) const
{
    return m_controlForm.value(control, -1);
}
