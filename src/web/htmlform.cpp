#include "web/htmlform.h"

#include "web/htmldocument.h"
#include "web/pagecharset.h"

namespace {

QString normalisedNewlines(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    return text;
}

QByteArray percentEncoded(const QByteArray& bytes)
{
    static const char kHex[] = "0123456789ABCDEF";
    QByteArray out;
    out.reserve(bytes.size() * 3);
    for (const char ch : bytes) {
        const auto c = static_cast<uchar>(ch);
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
            c == '*' || c == '-' || c == '.' || c == '_') {
            out += static_cast<char>(c);
        } else if (c == ' ') {
            out += '+';
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
    }
    return out;
}

} // namespace

HtmlElement HtmlForm::element() const
{
    return m_document ? m_document->formElement(m_index) : HtmlElement();
}

QString HtmlForm::name() const
{
    return element().name();
}

QList<HtmlElement> HtmlForm::elements() const
{
    return m_document ? m_document->formControls(m_index) : QList<HtmlElement>();
}

HtmlElement HtmlForm::findField(const char* tag, const QString& name) const
{
    if (name.isEmpty())
        return HtmlElement();
    const QList<HtmlElement> fields = elements();
    for (const HtmlElement& field : fields) {
        if (field.is(tag) && field.name() == name)
            return field;
    }
    for (const HtmlElement& field : fields) {
        if (field.is(tag) && field.id() == name)
            return field;
    }
    return HtmlElement();
}

HtmlElement HtmlForm::findInput(const QString& name) const
{
    return findField("input", name);
}

HtmlElement HtmlForm::findTextArea(const QString& name) const
{
    return findField("textarea", name);
}

HtmlElement HtmlForm::findSelect(const QString& name) const
{
    return findField("select", name);
}

bool HtmlForm::setInputValue(const QString& name, const QString& value) const
{
    const HtmlElement input = findInput(name);
    return input && input.setValue(value);
}

bool HtmlForm::setTextAreaValue(const QString& name, const QString& value) const
{
    const HtmlElement area = findTextArea(name);
    return area && area.setValue(value);
}

bool HtmlForm::selectOption(const QString& selectName, const QString& value) const
{
    const HtmlElement list = findSelect(selectName);
    for (const HtmlElement& option : list.options()) {
        if (option.value() == value) {
            option.setSelected(true);
            return true;
        }
    }
    return false;
}

HtmlForm::Fields HtmlForm::data(const HtmlElement& submitter) const
{
    Fields fields;
    for (const HtmlElement& field : elements()) {
        if (field.isDisabled())
            continue;
        const QString name = field.name();
        const QString tag = field.tagName();
        if (tag == QLatin1String("select")) {
            if (!name.isEmpty()) {
                for (const HtmlElement& option : field.selectedOptions()) {
                    if (!option.isDisabled())
                        fields.append({name, option.value()});
                }
            }
            continue;
        }
        if (tag == QLatin1String("textarea")) {
            if (!name.isEmpty())
                fields.append({name, normalisedNewlines(field.value())});
            continue;
        }
        QString type = field.attribute(QStringLiteral("type")).trimmed().toLower();
        if (tag == QLatin1String("button")) {
            // A button submits unless it says otherwise; only the one pressed is sent.
            if (field == submitter && !name.isEmpty() &&
                (type.isEmpty() || type == QLatin1String("submit")))
                fields.append({name, field.value()});
            continue;
        }
        if (type.isEmpty())
            type = QStringLiteral("text");
        if (type == QLatin1String("submit")) {
            if (field == submitter && !name.isEmpty())
                fields.append({name, field.value()});
        } else if (type == QLatin1String("image")) {
            if (field == submitter) {
                const QString prefix = name.isEmpty() ? QString() : name + '.';
                fields.append({prefix + 'x', QStringLiteral("0")});
                fields.append({prefix + 'y', QStringLiteral("0")});
            }
        } else if (type == QLatin1String("reset") || type == QLatin1String("button")) {
            continue;
        } else if (name.isEmpty()) {
            continue;
        } else if (type == QLatin1String("checkbox") || type == QLatin1String("radio")) {
            if (field.isChecked())
                fields.append({name, field.value()});
        } else if (type == QLatin1String("file")) {
            fields.append({name, QString()});
        } else {
            // Line breaks cannot be typed into a one-line field.
            QString value = field.value();
            value.remove(QLatin1Char('\r'));
            value.remove(QLatin1Char('\n'));
            fields.append({name, value});
        }
    }
    return fields;
}

QByteArray HtmlForm::urlEncode(const Fields& fields, const QByteArray& charset)
{
    QByteArray out;
    for (const auto& [name, value] : fields) {
        if (!out.isEmpty())
            out += '&';
        out += percentEncoded(PageCharset::encode(name, charset));
        out += '=';
        out += percentEncoded(PageCharset::encode(value, charset));
    }
    return out;
}

FormSubmission HtmlForm::submission(const HtmlElement& submitter) const
{
    FormSubmission result;
    if (!m_document)
        return result;
    const HtmlElement form = element();
    // A pressed button may name its own address and method.
    QString action = form.attribute(QStringLiteral("action"));
    QString method = form.attribute(QStringLiteral("method"));
    if (submitter && submitter.hasAttribute(QStringLiteral("formaction")))
        action = submitter.attribute(QStringLiteral("formaction"));
    if (submitter && submitter.hasAttribute(QStringLiteral("formmethod")))
        method = submitter.attribute(QStringLiteral("formmethod"));

    result.url = action.trimmed().isEmpty() ? m_document->url() : m_document->resolve(action);
    result.url.setFragment(QString());
    const QByteArray encoded = urlEncode(data(submitter), m_document->charset());
    if (method.trimmed().compare(QLatin1String("post"), Qt::CaseInsensitive) == 0) {
        result.method = "POST";
        result.body = encoded;
        result.contentType = "application/x-www-form-urlencoded";
    } else {
        result.method = "GET";
        result.url.setQuery(QString::fromLatin1(encoded), QUrl::StrictMode);
    }
    return result;
}
