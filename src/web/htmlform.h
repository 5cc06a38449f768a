#pragma once

#include "web/htmlelement.h"

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QUrl>

class HtmlDocument;

// What submitting a form sends: a GET of `url` (data in its query) or a POST of `body`.
struct FormSubmission
{
    QByteArray method;
    QUrl url;
    QByteArray body;
    QByteArray contentType;
};

// One form of an HtmlDocument with the fields that belong to it, also those the parser
// placed outside the form element (a form opened inside a table).
class HtmlForm
{
public:
    using Fields = QList<QPair<QString, QString>>;

    HtmlForm() = default;
    HtmlForm(const HtmlDocument* document, int index) : m_document(document), m_index(index) {}

    bool isNull() const { return !m_document; }
    explicit operator bool() const { return m_document != nullptr; }
    bool operator==(const HtmlForm& other) const
    {
        return m_document == other.m_document && m_index == other.m_index;
    }
    const HtmlDocument* document() const { return m_document; }
    int index() const { return m_index; }

    HtmlElement element() const;
    QString name() const;
    // The form's fields (input, button, select, textarea) in document order.
    QList<HtmlElement> elements() const;

    // The first field of the tag whose name (or, failing that, id) is `name`.
    HtmlElement findInput(const QString& name) const;
    HtmlElement findTextArea(const QString& name) const;
    HtmlElement findSelect(const QString& name) const;
    bool setInputValue(const QString& name, const QString& value) const;
    bool setTextAreaValue(const QString& name, const QString& value) const;
    // Chooses the option whose value is `value` in the select list `selectName`.
    bool selectOption(const QString& selectName, const QString& value) const;

    // The name/value pairs a browser sends; `submitter` is the button that submits, if any.
    Fields data(const HtmlElement& submitter = HtmlElement()) const;
    // Method, action resolved against the page, and the urlencoded data.
    FormSubmission submission(const HtmlElement& submitter = HtmlElement()) const;

    static QByteArray urlEncode(const Fields& fields, const QByteArray& charset);

private:
    HtmlElement findField(const char* tag, const QString& name) const;

    const HtmlDocument* m_document = nullptr;
    int m_index = -1;
};
