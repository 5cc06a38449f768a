#include "sites/numericdatereader.h"

#include <QList>
#include <ctime>

namespace {

constexpr int kFirstYear = 1970;
constexpr int kLastYear = 3000;

bool isDigit(QChar c)
{
    return c.unicode() >= '0' && c.unicode() <= '9';
}

// The value of 1 to `maxDigits` ASCII digits, or -1.
int number(QStringView text, int maxDigits)
{
    if (text.isEmpty() || text.size() > maxDigits)
        return -1;
    int value = 0;
    for (QChar c : text) {
        if (!isDigit(c))
            return -1;
        value = value * 10 + (c.unicode() - '0');
    }
    return value;
}

QList<QStringView> splitWhite(QStringView text)
{
    QList<QStringView> tokens;
    qsizetype i = 0;
    while (i < text.size()) {
        while (i < text.size() && text.at(i).isSpace())
            ++i;
        const qsizetype start = i;
        while (i < text.size() && !text.at(i).isSpace())
            ++i;
        if (i > start)
            tokens << text.mid(start, i - start);
    }
    return tokens;
}

int fullYear(int year, qsizetype digits)
{
    if (digits <= 2)
        return year < 30 ? 2000 + year : 1900 + year;
    return year;
}

bool isLeap(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int daysInMonth(int year, int month)
{
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeap(year) ? 29 : kDays[month - 1];
}

bool validDate(int year, int month, int day)
{
    return month >= 1 && month <= 12 && day >= 1 && day <= daysInMonth(year, month);
}

bool validTime(const DateTimeParts& p)
{
    return p.hour >= 0 && p.hour <= 23 && p.minute >= 0 && p.minute <= 59 && p.second >= 0 &&
           p.second <= 59;
}

// "h:m" or "h:m:s" into `parts`; false when the token is no time.
bool readClock(QStringView token, DateTimeParts& parts)
{
    const QList<QStringView> fields = token.split(QChar(':'));
    if (fields.size() < 2 || fields.size() > 3)
        return false;
    parts.hour = number(fields[0], 2);
    parts.minute = number(fields[1], 2);
    parts.second = fields.size() == 3 ? number(fields[2], 2) : 0;
    return validTime(parts);
}

// Applies an "AM"/"PM" token to a 12-hour clock reading.
bool applyMeridiem(QStringView token, DateTimeParts& parts)
{
    const bool am = token.compare(QLatin1String("am"), Qt::CaseInsensitive) == 0;
    const bool pm = token.compare(QLatin1String("pm"), Qt::CaseInsensitive) == 0;
    if ((!am && !pm) || parts.hour < 1 || parts.hour > 12)
        return false;
    parts.hour = parts.hour % 12 + (pm ? 12 : 0);
    return true;
}

} // namespace

NumericDateReader NumericDateReader::forUserLocale()
{
    return NumericDateReader(orderOf(QLocale()));
}

NumericDateReader::DateOrder NumericDateReader::orderOf(const QLocale& locale)
{
    const QString format = locale.dateFormat(QLocale::ShortFormat);
    const qsizetype day = format.indexOf(QChar('d'));
    const qsizetype month = format.indexOf(QChar('M'));
    const qsizetype year = format.indexOf(QChar('y'));
    if (year >= 0 && (day < 0 || year < day) && (month < 0 || year < month))
        return DateOrder::YearMonthDay;
    if (month >= 0 && day >= 0 && month < day)
        return DateOrder::MonthDayYear;
    return DateOrder::DayMonthYear;
}

std::optional<DateTimeParts> NumericDateReader::readDateTime(QStringView text) const
{
    const QList<QStringView> tokens = splitWhite(text);
    if (tokens.isEmpty() || tokens.size() > 3)
        return std::nullopt;

    const QStringView date = tokens[0];
    qsizetype sep = 0;
    while (sep < date.size() && isDigit(date.at(sep)))
        ++sep;
    if (sep == date.size() || !QStringView(u"./-").contains(date.at(sep)))
        return std::nullopt;
    const QList<QStringView> fields = date.split(date.at(sep));
    if (fields.size() != 3)
        return std::nullopt;
    int values[3];
    for (int i = 0; i < 3; ++i) {
        values[i] = number(fields[i], 4);
        if (values[i] < 0)
            return std::nullopt;
    }

    DateTimeParts parts;
    // A four-digit first field is a year whatever the order; a dotted date is
    // day.month.year; otherwise the user's order decides.
    DateOrder order = m_order;
    if (fields[0].size() > 2)
        order = DateOrder::YearMonthDay;
    else if (date.at(sep) == '.')
        order = DateOrder::DayMonthYear;
    int yearIndex = 2;
    switch (order) {
    case DateOrder::DayMonthYear:
        parts.day = values[0];
        parts.month = values[1];
        break;
    case DateOrder::MonthDayYear:
        parts.month = values[0];
        parts.day = values[1];
        break;
    case DateOrder::YearMonthDay:
        yearIndex = 0;
        parts.month = values[1];
        parts.day = values[2];
        break;
    }
    for (int i = 0; i < 3; ++i) {
        if (i != yearIndex && fields[i].size() > 2)
            return std::nullopt;
    }
    // Years are written with two or four digits.
    if (fields[yearIndex].size() == 3)
        return std::nullopt;
    parts.year = fullYear(values[yearIndex], fields[yearIndex].size());
    if (!validDate(parts.year, parts.month, parts.day))
        return std::nullopt;

    parts.hour = parts.minute = parts.second = 0;
    if (tokens.size() >= 2 && !readClock(tokens[1], parts))
        return std::nullopt;
    if (tokens.size() == 3 && !applyMeridiem(tokens[2], parts))
        return std::nullopt;
    return parts;
}

DateTimeParts NumericDateReader::readTime(QStringView text) const
{
    const QList<QStringView> tokens = splitWhite(text);
    DateTimeParts parts;
    bool ok = !tokens.isEmpty() && tokens.size() <= 2 && readClock(tokens[0], parts);
    if (ok && tokens.size() == 2)
        ok = applyMeridiem(tokens[1], parts);
    if (!ok)
        parts.hour = parts.minute = parts.second = -1;
    return parts;
}

qint64 NumericDateReader::toLocalTime(const DateTimeParts& parts)
{
    if (parts.year < kFirstYear || parts.year > kLastYear ||
        !validDate(parts.year, parts.month, parts.day) || !validTime(parts))
        return 0;
    struct tm broken
    {
    };
    broken.tm_year = parts.year - 1900;
    broken.tm_mon = parts.month - 1;
    broken.tm_mday = parts.day;
    broken.tm_hour = parts.hour;
    broken.tm_min = parts.minute;
    broken.tm_sec = parts.second;
    broken.tm_isdst = -1;
    const time_t result = mktime(&broken);
    if (result <= 0)
        return 0;
    return static_cast<qint64>(result);
}
