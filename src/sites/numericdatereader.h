#pragma once

#include <QLocale>
#include <QStringView>
#include <QtGlobal>
#include <optional>

// A broken-down local date and time; -1 marks a field that was not read.
struct DateTimeParts
{
    int year = -1;
    int month = -1;
    int day = -1;
    int hour = -1;
    int minute = -1;
    int second = -1;
};

// Reads numeric dates and times as people write them: day.month.year, the user's own
// order with "/" or "-", year-month-day, and h:m[:s] with an optional AM or PM.
// Two-digit years below 30 are in this century, the others in the last one.
class NumericDateReader
{
public:
    enum class DateOrder
    {
        DayMonthYear,
        MonthDayYear,
        YearMonthDay
    };

    explicit NumericDateReader(DateOrder order = DateOrder::DayMonthYear) : m_order(order) {}
    // The reader for the date order of the default locale.
    static NumericDateReader forUserLocale();
    // The order of day, month and year in `locale`'s short date format.
    static DateOrder orderOf(const QLocale& locale);

    DateOrder order() const { return m_order; }

    // A date with an optional time of day ("15.03.06 18:25:30"); a date alone is at
    // midnight. Nothing when any part is unreadable or out of range.
    std::optional<DateTimeParts> readDateTime(QStringView text) const;
    // A time of day only ("18:25:30", "18:25", "6:25:30 PM"); date fields stay -1 and
    // so do the time fields when the text is no time.
    DateTimeParts readTime(QStringView text) const;

    // Seconds since 1970 for a local date and time, daylight saving by the time-zone
    // rules; 0 for a date that does not exist or that the rules cannot represent.
    static qint64 toLocalTime(const DateTimeParts& parts);

private:
    DateOrder m_order;
};
