#include "search/searchprice.h"

#include <cmath>

namespace {

// Prices beyond this are no prices a bid can be built on.
constexpr double kMaxPrice = 1e9;

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

} // namespace

std::optional<double> SearchPrice::readShape(const QString& amount, QChar decimal, QChar group)
{
    QString plain;
    qsizetype digitsSinceGroup = -1; // -1: no group divider met yet
    qsizetype leading = 0;           // digits before the first divider
    bool inFraction = false;
    qsizetype fraction = 0;
    for (const QChar c : amount) {
        if (isDigit(c)) {
            plain += c;
            if (inFraction)
                ++fraction;
            else if (digitsSinceGroup >= 0)
                ++digitsSinceGroup;
            else
                ++leading;
        } else if (c == group && !group.isNull() && !inFraction) {
            // Groups are three digits after a first one of one to three.
            if (digitsSinceGroup >= 0 ? digitsSinceGroup != 3 : (leading < 1 || leading > 3))
                return std::nullopt;
            digitsSinceGroup = 0;
        } else if (c == decimal && !decimal.isNull() && !inFraction) {
            if ((digitsSinceGroup >= 0 && digitsSinceGroup != 3) || plain.isEmpty())
                return std::nullopt;
            inFraction = true;
            plain += QLatin1Char('.');
        } else {
            return std::nullopt;
        }
    }
    if (plain.isEmpty() || (digitsSinceGroup >= 0 && !inFraction && digitsSinceGroup != 3) ||
        (inFraction && fraction == 0))
        return std::nullopt;
    bool ok = false;
    const double value = plain.toDouble(&ok);
    if (!ok || !std::isfinite(value) || value > kMaxPrice)
        return std::nullopt;
    return value;
}

std::optional<float> SearchPrice::read(const QString& text, const SiteConventions& conventions)
{
    const QChar decimal = conventions.decimalPointer;
    const QChar group = conventions.groupsDivider;
    // The amount: from the first digit over digits and the characters that divide them.
    const auto divides = [&](QChar c) {
        return c == QLatin1Char('.') || c == QLatin1Char(',') || (c == group && !group.isNull()) ||
               (c == decimal && !decimal.isNull());
    };
    qsizetype begin = 0;
    while (begin < text.size() && !isDigit(text.at(begin)))
        ++begin;
    if (begin == text.size())
        return std::nullopt;
    qsizetype end = begin;
    while (end < text.size() && (isDigit(text.at(end)) || divides(text.at(end))))
        ++end;
    // A divider at the end belongs to the text after the amount ("12.50. Free shipping").
    while (end > begin && !isDigit(text.at(end - 1)))
        --end;
    const QString amount = text.mid(begin, end - begin);

    std::optional<double> value = readShape(amount, decimal, group);
    if (!value) {
        // The other shape of the family's sites: "." and "," trade places.
        const auto other = [](QChar c) {
            return c == QLatin1Char('.')   ? QChar(QLatin1Char(','))
                   : c == QLatin1Char(',') ? QChar(QLatin1Char('.'))
                                           : QChar();
        };
        const QChar otherDecimal = other(decimal);
        const QChar otherGroup = other(group);
        if (!otherDecimal.isNull())
            value = readShape(amount, otherDecimal, otherGroup);
    }
    if (!value)
        return std::nullopt;
    return static_cast<float>(*value);
}
