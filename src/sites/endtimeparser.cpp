#include "sites/endtimeparser.h"

#include "app/appcontext.h"
#include "sites/sitetext.h"

#include <QRegularExpression>
#include <ctime>

namespace {

bool isDigit(QChar c)
{
    return c.unicode() >= '0' && c.unicode() <= '9';
}

// The integer at the start of at most `width` characters, as atoi reads it: leading white
// space, a sign, digits; 0 when there are none.
int leadingInt(QStringView text, qsizetype width)
{
    text = text.left(width);
    qsizetype i = 0;
    while (i < text.size() && text.at(i).isSpace())
        ++i;
    bool negative = false;
    if (i < text.size() && (text.at(i) == '+' || text.at(i) == '-'))
        negative = text.at(i++) == '-';
    int value = 0;
    for (; i < text.size() && isDigit(text.at(i)); ++i)
        value = value * 10 + (text.at(i).unicode() - '0');
    return negative ? -value : value;
}

QString withoutLeadingSpace(const QString& text)
{
    qsizetype i = 0;
    while (i < text.size() && text.at(i).isSpace())
        ++i;
    return text.mid(i);
}

// The text after the first space; nothing when there is none.
QString afterFirstSpace(const QString& text)
{
    const qsizetype space = text.indexOf(QChar(' '));
    return space < 0 ? QString() : text.mid(space + 1);
}

} // namespace

qint64 ParseEndTimeByPattern(const QString& text, const QString& pattern,
                             const NumericDateReader& reader)
{
    const QRegularExpression expression(pattern);
    if (!expression.isValid()) {
        AppContext::logWrite(QStringLiteral("End time pattern \"%1\" does not compile: %2 "
                                            "(offset %3)")
                                 .arg(pattern, expression.errorString())
                                 .arg(expression.patternErrorOffset()),
                             ProgramLog::Error);
        return 0;
    }
    const QRegularExpressionMatch match = expression.match(text);
    if (!match.hasMatch())
        return 0;
    const std::optional<DateTimeParts> parts = reader.readDateTime(match.capturedView(1));
    return parts ? NumericDateReader::toLocalTime(*parts) : 0;
}

qint64 ParseEndTimeByPattern(const QString& text, const SiteConventions& conventions)
{
    return ParseEndTimeByPattern(text, conventions.endTimePattern, conventions.dateReader());
}

qint64 ParseEndTimeByMonths(const QString& text, const QString& months,
                            const NumericDateReader& reader)
{
    if (text.isEmpty())
        return 0;
    const QString lower = text.toLower();
    const QStringList pieces = SplitLines(months.toLower(), u" ");
    const QString order = pieces.value(0);

    DateTimeParts parts;
    int month = 0;
    qsizetype found = -1;
    for (int m = 1; m <= 12 && m < pieces.size(); ++m) {
        found = lower.indexOf(pieces[m]);
        if (found >= 0) {
            month = m;
            break;
        }
    }

    QString rest;
    if (month > 0) {
        parts.month = month;
        // "(15 Mar, 2006 ...)": read from the bracket that opens the date.
        const qsizetype bracket = found > 0 ? lower.lastIndexOf(QChar('('), found - 1) : -1;
        const qsizetype from = bracket >= 0 ? bracket : 0;
        rest = lower.mid(from);
        rest.remove(found - from, pieces[month].size() + 1);
        rest.replace(QLatin1String("  "), QLatin1String(" "));
        rest.replace(QChar('-'), QChar(' '));
        qsizetype digit = 0;
        while (digit < rest.size() && !isDigit(rest.at(digit)))
            ++digit;
        rest = rest.mid(digit);
        // A month name with no digit after it carries no date.
        if (rest.isEmpty())
            return 0;
        parts.day = leadingInt(rest, 2);
        rest = withoutLeadingSpace(rest.mid(3));
        parts.year = leadingInt(rest, 4);
        rest = afterFirstSpace(rest);
    } else {
        rest = withoutLeadingSpace(lower);
        for (int field = 0; field < 3; ++field) {
            const QStringView name = QStringView(order).mid(field * 3, 2);
            const int value = leadingInt(rest, 2);
            if (name == u"mm")
                parts.month = value;
            else if (name == u"dd")
                parts.day = value;
            else if (name == u"yy")
                parts.year = value;
            rest = rest.mid(3);
        }
    }

    // The time of day runs to the next space, or to the end of the text.
    rest = withoutLeadingSpace(rest);
    const qsizetype space = rest.indexOf(QChar(' '));
    const DateTimeParts time =
        reader.readTime(QStringView(rest).left(space < 0 ? rest.size() : space));
    if (time.hour < 0 || parts.year < 0)
        return 0;
    parts.hour = time.hour;
    parts.minute = time.minute;
    parts.second = time.second;
    if (parts.year < 1000)
        parts.year += 2000;
    return NumericDateReader::toLocalTime(parts);
}

qint64 ParseEndTimeByMonths(const QString& text, const SiteConventions& conventions)
{
    return ParseEndTimeByMonths(text, conventions.months, conventions.dateReader());
}

QString FormatEndTime(qint64 time)
{
    const time_t t = static_cast<time_t>(time);
    struct tm broken
    {
    };
    if (!localtime_r(&t, &broken))
        return QString();
    char buffer[128];
    const size_t length = strftime(buffer, sizeof buffer, "%b %d, %Y, %H:%M:%S", &broken);
    return QString::fromLocal8Bit(buffer, static_cast<qsizetype>(length));
}
