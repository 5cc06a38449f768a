#include "mail/mailcommandtext.h"

#include "sites/siteprice.h"

namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Mail text for the log: one line of printable characters.
QString printable(const QByteArray& bytes)
{
    QString text = QString::fromLatin1(bytes);
    for (QChar& c : text) {
        if (c.unicode() < 32 || c.unicode() == 127)
            c = QLatin1Char(' ');
    }
    return text;
}

} // namespace

MailCommandText::MailCommandText(const QByteArray& mail) : m_text(mail.toLower())
{
    m_tag = m_text.indexOf(kTag);
}

bool MailCommandText::hasCommand(const char* word) const
{
    return m_tag >= 0 && m_text.indexOf(word, m_tag) >= 0;
}

QString MailCommandText::itemNumber() const
{
    const qsizetype at = m_text.indexOf("lot=");
    if (at < 0)
        return QString();
    const QByteArray digits = m_text.mid(at + 4, kItemNumberLength);
    if (digits.size() != kItemNumberLength)
        return QString();
    for (const char c : digits) {
        if (!isDigit(c))
            return QString();
    }
    return QString::fromLatin1(digits);
}

QString MailCommandText::itemNumberText() const
{
    const qsizetype at = m_text.indexOf("lot=");
    return at < 0 ? QString() : printable(m_text.mid(at + 4, kItemNumberLength)).trimmed();
}

MailCommandText::Price MailCommandText::price(const char* label) const
{
    Price result;
    const qsizetype at = m_text.indexOf(label);
    if (at < 0)
        return result;
    result.present = true;
    const qsizetype start = at + qsizetype(qstrlen(label));
    result.given = printable(m_text.mid(start, 20)).section(QLatin1Char(' '), 0, 0);
    int separators = 0;
    for (qsizetype i = start; i < m_text.size(); ++i) {
        const char c = m_text.at(i);
        if (isDigit(c)) {
            result.text += QLatin1Char(c);
        } else if (c == '.' || c == ',') {
            result.text += QLatin1Char('.');
            ++separators;
        } else {
            break;
        }
    }
    result.value = ParseUserPrice(result.text);
    // "1.234,50" would read as 1.234: a price with more than one separator is refused.
    result.valid = !result.text.isEmpty() && separators <= 1 && IsValidMaxPrice(result.value);
    return result;
}

QString MailCommandText::excerpt() const
{
    if (m_tag < 0)
        return QString();
    QString text = printable(m_text.mid(m_tag, 48));
    while (text.endsWith(QLatin1Char(' ')))
        text.chop(1);
    return text;
}
