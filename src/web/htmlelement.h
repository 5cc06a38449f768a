#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QUrl>

typedef struct GumboInternalNode GumboNode;
class HtmlDocument;

// A handle on one element of an HtmlDocument; valid while the document lives. Field
// values set through it live in the document, the markup stays as loaded.
class HtmlElement
{
public:
    HtmlElement() = default;
    HtmlElement(const HtmlDocument* document, const GumboNode* node)
        : m_document(document), m_node(node)
    {
    }

    bool isNull() const { return !m_node; }
    explicit operator bool() const { return m_node != nullptr; }
    bool operator==(const HtmlElement& other) const { return m_node == other.m_node; }
    const GumboNode* node() const { return m_node; }
    const HtmlDocument* document() const { return m_document; }

    // Lower case; unknown tags as written.
    QString tagName() const;
    bool is(const char* tag) const;
    bool hasAttribute(const QString& name) const;
    QString attribute(const QString& name) const;
    // The attribute's value as written in the page, quotes and entities included.
    QByteArray sourceAttribute(const QString& name) const;
    QString id() const { return attribute(QStringLiteral("id")); }
    QString name() const { return attribute(QStringLiteral("name")); }
    QString className() const { return attribute(QStringLiteral("class")); }
    // True when the class list holds every class of `classes` (white space separated).
    bool hasClasses(const QString& classes) const;
    // An address attribute ("href", "src", "action") resolved against the page.
    QUrl url(const QString& attributeName) const;

    // The rendered text, lines joined by "\r\n" (see BodyTextRenderer).
    QString innerText() const;
    // All text below, white space collapsed to single spaces and trimmed.
    QString text() const;

    // Current value of an input, text area, select list or option.
    QString value() const;
    // Sets the value of an input or text area; false for other elements.
    bool setValue(const QString& value) const;
    bool isChecked() const;
    void setChecked(bool checked) const;
    bool isSelected() const;
    void setSelected(bool selected) const;
    bool isDisabled() const;

    HtmlElement parent() const;
    QList<HtmlElement> children() const;
    // Descendants in document order, by tag (lower case) or all with an empty tag.
    QList<HtmlElement> descendants(const QString& tag = QString()) const;
    // A table's rows (not those of nested tables); a row's cells; a select list's options.
    QList<HtmlElement> rows() const;
    QList<HtmlElement> cells() const;
    QList<HtmlElement> options() const;
    // A select list's chosen options (its first when nothing is chosen in a single list).
    QList<HtmlElement> selectedOptions() const;

private:
    const HtmlDocument* m_document = nullptr;
    const GumboNode* m_node = nullptr;
};
