#include "web/documentaccess.h"

#include "web/pagecharset.h"
#include "web/urlsource.h"

std::unique_ptr<HtmlDocument> LoadHtmlDocument(const QString& url)
{
    const QString html = getUrlSource(url, false);
    if (html.isEmpty())
        return nullptr;
    // The page's own declaration decides the charset its forms are sent in.
    QByteArray charset = PageCharset::declared(QByteArray(), html.left(4096).toUtf8());
    if (charset.isEmpty())
        charset = "utf-8";
    return std::make_unique<HtmlDocument>(html, QUrl(url), charset);
}

QString GetBodyText(const HtmlDocument* document)
{
    return document ? document->bodyText() : QString();
}

bool FindFormByName(const HtmlDocument* document, const QString& name, HtmlForm* form)
{
    if (form)
        *form = HtmlForm();
    if (!document)
        return false;
    for (const HtmlForm& candidate : document->forms()) {
        const QString formName = candidate.name();
        if (!formName.isEmpty() && formName.compare(name, Qt::CaseInsensitive) == 0) {
            if (form)
                *form = candidate;
            break;
        }
    }
    return true;
}

HtmlElement FindInputByName(const HtmlForm& form, const QString& name)
{
    return form.findInput(name);
}

bool SetInputValue(const HtmlForm& form, const QString& name, const QString& value)
{
    return form.setInputValue(name, value);
}

bool SetTextAreaValue(const HtmlForm& form, const QString& name, const QString& value)
{
    return form.setTextAreaValue(name, value);
}

HtmlForm FindFormByInputValue(const HtmlDocument* document, const QString& fieldName,
                              const QString& fieldValue)
{
    if (!document || fieldName.isEmpty())
        return HtmlForm();
    for (const HtmlForm& form : document->forms()) {
        for (const HtmlElement& field : form.elements()) {
            if (field.is("input") && field.name() == fieldName &&
                field.value().compare(fieldValue, Qt::CaseInsensitive) == 0)
                return form;
        }
    }
    return HtmlForm();
}
