#include "sites/numericdatereader.h"
#include "support/localzone.h"

#include <gtest/gtest.h>

namespace {

using Order = NumericDateReader::DateOrder;

::testing::AssertionResult reads(Order order, const QString& text, DateTimeParts want)
{
    const std::optional<DateTimeParts> p = NumericDateReader(order).readDateTime(text);
    if (!p)
        return ::testing::AssertionFailure() << "not read: " << text.toStdString();
    if (p->year != want.year || p->month != want.month || p->day != want.day ||
        p->hour != want.hour || p->minute != want.minute || p->second != want.second)
        return ::testing::AssertionFailure()
               << text.toStdString() << " read as " << p->year << '-' << p->month << '-' << p->day
               << ' ' << p->hour << ':' << p->minute << ':' << p->second;
    return ::testing::AssertionSuccess();
}

} // namespace

TEST(NumericDateReader, DatesAndTimes)
{
    // A dotted date is day.month.year whatever the user's order.
    for (Order order : {Order::DayMonthYear, Order::MonthDayYear}) {
        EXPECT_TRUE(reads(order, "15.03.06 18:25:30", {2006, 3, 15, 18, 25, 30}));
        EXPECT_TRUE(reads(order, " 1.2.2006\t8:05 ", {2006, 2, 1, 8, 5, 0}));
        EXPECT_TRUE(reads(order, "15.03.06", {2006, 3, 15, 0, 0, 0}));
    }
    EXPECT_TRUE(reads(Order::MonthDayYear, "03/15/06 06:25:30 PM", {2006, 3, 15, 18, 25, 30}));
    EXPECT_TRUE(reads(Order::DayMonthYear, "03/12/06 12:00:00 am", {2006, 12, 3, 0, 0, 0}));
    EXPECT_TRUE(reads(Order::MonthDayYear, "2006-03-15 18:25:30", {2006, 3, 15, 18, 25, 30}));
    EXPECT_TRUE(reads(Order::DayMonthYear, "29.02.2004", {2004, 2, 29, 0, 0, 0}));
    // Two-digit years pivot at 30.
    EXPECT_TRUE(reads(Order::DayMonthYear, "1.1.29", {2029, 1, 1, 0, 0, 0}));
    EXPECT_TRUE(reads(Order::DayMonthYear, "1.1.30", {1930, 1, 1, 0, 0, 0}));
}

TEST(NumericDateReader, RejectsWhatIsNoDate)
{
    const NumericDateReader reader;
    for (const char* text :
         {"", "15.03", "15.03.06.07", "31.02.06", "29.02.2005", "15.13.06", "0.1.06", "15.03/06",
          "03/15/06", "15.03.06 25:00:00", "15.03.06 18:60", "15.03.06 18:25:30 MEZ",
          "15.03.06 13:00 PM", "15.03.06 18:25:", "123.03.06", "15.03.123", "15.03.12345",
          "-1.03.06", "15..06"})
        EXPECT_FALSE(reader.readDateTime(QString::fromLatin1(text))) << text;
    EXPECT_FALSE(reader.readDateTime(QString::fromUtf16(u"1\0.2.3\xDC00", 7)));
    EXPECT_FALSE(reader.readDateTime(QString(100000, QChar('1'))));
}

TEST(NumericDateReader, TimeOnly)
{
    const NumericDateReader reader;
    DateTimeParts t = reader.readTime(u"6:25:30 pm");
    EXPECT_EQ(t.hour, 18);
    EXPECT_EQ(t.minute, 25);
    EXPECT_EQ(t.second, 30);
    EXPECT_EQ(t.year, -1);
    for (const char* text : {"", "18", "pst", "18:25:30:00", "24:00:00", "18:25:30 pst"}) {
        t = reader.readTime(QString::fromLatin1(text));
        EXPECT_TRUE(t.hour == -1 && t.minute == -1 && t.second == -1) << text;
    }
}

TEST(NumericDateReader, OrderOfLocales)
{
    EXPECT_EQ(NumericDateReader::orderOf(QLocale(QLocale::German, QLocale::Germany)),
              Order::DayMonthYear);
    EXPECT_EQ(NumericDateReader::orderOf(QLocale(QLocale::Swedish, QLocale::Sweden)),
              Order::YearMonthDay);
    LocalZone zone(kCentralEurope, QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(NumericDateReader::forUserLocale().order(), Order::MonthDayYear);
}

TEST(NumericDateReader, LocalTimeByTheZoneRules)
{
    LocalZone zone;
    // Winter time is UTC+1, summer time UTC+2, whatever the page said about its zone.
    EXPECT_EQ(NumericDateReader::toLocalTime({2006, 3, 15, 18, 25, 30}),
              LocalZone::utc(2006, 3, 15, 17, 25, 30));
    EXPECT_EQ(NumericDateReader::toLocalTime({2006, 7, 15, 18, 25, 30}),
              LocalZone::utc(2006, 7, 15, 16, 25, 30));
    EXPECT_GT(NumericDateReader::toLocalTime({3000, 12, 31, 23, 59, 59}), 0);
    // What the rules cannot represent, or what does not exist, is not read.
    EXPECT_EQ(NumericDateReader::toLocalTime({1969, 12, 31, 23, 0, 0}), 0);
    EXPECT_EQ(NumericDateReader::toLocalTime({1970, 1, 1, 0, 0, 0}), 0); // UTC+1: before 1970
    EXPECT_EQ(NumericDateReader::toLocalTime({3001, 1, 1, 0, 0, 0}), 0);
    EXPECT_EQ(NumericDateReader::toLocalTime({2006, 2, 30, 0, 0, 0}), 0);
    EXPECT_EQ(NumericDateReader::toLocalTime({2006, 3, 15, -1, -1, -1}), 0);
}
