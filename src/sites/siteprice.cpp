#include "sites/siteprice.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace {

bool isAsciiDigit(QChar c)
{
    return c.unicode() >= '0' && c.unicode() <= '9';
}

bool isCSpace(QChar c)
{
    const char16_t u = c.unicode();
    return u == ' ' || (u >= '\t' && u <= '\r');
}

// Digits with an optional "." (and for typed text a sign and exponent), converted the
// same whatever the process locale is.
double toDouble(const std::string& number)
{
    double value = 0.0;
    const char* first = number.data();
    const char* last = first + number.size();
    const std::errc ec = std::from_chars(first, last, value, std::chars_format::general).ec;
    if (ec == std::errc::result_out_of_range) {
        // Either far too large or far too small for a double; only digits before a
        // non-zero tell which.
        const std::string whole = number.substr(0, number.find_first_of(".eE"));
        const bool huge = whole.find_first_of("123456789") != std::string::npos;
        return huge ? std::numeric_limits<double>::infinity() : 0.0;
    }
    if (ec != std::errc())
        return 0.0;
    return value;
}

} // namespace

float ParseSitePrice(QStringView text, QChar decimalPointer, QChar groupsDivider, qsizetype* end)
{
    std::string number;
    qsizetype i = 0;
    for (; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (isAsciiDigit(c))
            number.push_back(static_cast<char>(c.unicode()));
        else if (!decimalPointer.isNull() && c == decimalPointer)
            number.push_back('.');
        else if (!groupsDivider.isNull() && c == groupsDivider)
            continue;
        else
            break;
    }
    if (end)
        *end = i;
    const double value = toDouble(number);
    // Beyond the float range the price saturates rather than overflow the conversion.
    if (value > static_cast<double>(std::numeric_limits<float>::max()))
        return std::numeric_limits<float>::max();
    return static_cast<float>(value);
}

float ParseSitePrice(QStringView text, const SiteConventions& conventions, qsizetype* end)
{
    return ParseSitePrice(text, conventions.decimalPointer, conventions.groupsDivider, end);
}

QString FormatSitePrice(float price, const QString& currency, const SiteConventions& conventions)
{
    // Only the amount takes the site's decimal pointer: a "." inside the currency text
    // (such as "Fr.") is part of the currency.
    const QString amount = FormatPlainPrice(price, conventions);
    if (conventions.currencyPlacement == CurrencyPlacement::AfterAmount)
        return amount + currency;
    return currency + amount;
}

QString FormatPlainPrice(float price, const SiteConventions& conventions)
{
    QString amount = QString::asprintf("%.2f", static_cast<double>(price));
    // A NUL pointer stands for an empty site value: keep the plain point then.
    if (!conventions.decimalPointer.isNull())
        amount.replace(QChar('.'), conventions.decimalPointer);
    return amount;
}

float ParseUserPrice(const QString& text)
{
    qsizetype i = 0;
    while (i < text.size() && isCSpace(text.at(i)))
        ++i;
    std::string number;
    if (i < text.size() && (text.at(i) == '+' || text.at(i) == '-')) {
        if (text.at(i) == '-')
            number.push_back('-');
        ++i;
    }
    // Only what a number can be made of; the conversion stops at the first misfit anyway.
    for (; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        if (c == ',')
            number.push_back('.');
        else if ((c >= '0' && c <= '9') || c == '.' || c == 'e' || c == 'E' || c == '+' || c == '-')
            number.push_back(static_cast<char>(c));
        else
            break;
    }
    const double value = toDouble(number);
    if (!std::isfinite(value) ||
        std::fabs(value) > static_cast<double>(std::numeric_limits<float>::max()))
        return 0.0f;
    return static_cast<float>(value);
}

bool IsValidMaxPrice(float price)
{
    return price > 0.0f && std::fabs(price) >= 0.001f;
}
