#include "sites/endtimeparser.h"
#include "sites/sitehosts.h"
#include "support/apphome.h"
#include "support/localzone.h"

#include <clocale>
#include <gtest/gtest.h>
#include <limits>

namespace {

const QString kEnglishMonths = "MM/DD/YY Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec";
const QString kGermanMonths =
    QString::fromUtf8("DD/MM/YY Jan Feb M\xC3\xA4r Apr Mai Jun Jul Aug Sep Okt Nov Dez");
const QString kPattern = "([\\d\\.]+\\s[\\d\\:]+)";

class EndTimeTest : public ::testing::Test
{
protected:
    qint64 byMonths(const QString& text, const QString& months = kEnglishMonths)
    {
        return ParseEndTimeByMonths(text, months, m_reader);
    }
    qint64 byPattern(const QString& text, const QString& pattern = kPattern)
    {
        return ParseEndTimeByPattern(text, pattern, m_reader);
    }

    LocalZone m_zone;
    NumericDateReader m_reader{NumericDateReader::DateOrder::DayMonthYear};
    const qint64 m_march15 = LocalZone::utc(2006, 3, 15, 17, 25, 30);
};

} // namespace

TEST_F(EndTimeTest, MonthNameShapes)
{
    EXPECT_EQ(byMonths("Mar-15-06 18:25:30 PST"), m_march15);
    EXPECT_EQ(byMonths("(15 Mar, 2006 18:25:30 GMT)"), m_march15);
    EXPECT_EQ(byMonths("Ended: (15 Mar, 2006 18:25:30 GMT) - 2 days"), m_march15);
    // Page and month names are both lower-cased.
    EXPECT_EQ(byMonths("MAR-15-06 18:25:30 PST"), m_march15);
    EXPECT_EQ(byMonths("mar-15-06 18:25:30 pst", kEnglishMonths.toUpper()), m_march15);
    EXPECT_EQ(byMonths(QString::fromUtf8("15. M\xC3\x84R. 2006 18:25:30 MEZ"), kGermanMonths),
              m_march15);
    // Summer time comes from the zone rules.
    EXPECT_EQ(byMonths("Jul-15-06 18:25:30 PDT"), LocalZone::utc(2006, 7, 15, 16, 25, 30));
}

TEST_F(EndTimeTest, NumericShapesAndTimeAtTheEnd)
{
    EXPECT_EQ(byMonths("15.03.06 18:25:30 MEZ", kGermanMonths), m_march15);
    EXPECT_EQ(byMonths("03/15/06 18:25:30 PST", "MM/DD/YY"), m_march15);
    EXPECT_EQ(byMonths("  15.03.06 18:25:30", "dd/mm/yy"), m_march15);
    // The time of day may end the text.
    EXPECT_EQ(byMonths("Mar-15-06 18:25:30"), m_march15);
    EXPECT_EQ(byMonths("Mar-15-06 18:25 PST"), LocalZone::utc(2006, 3, 15, 17, 25, 0));
}

TEST_F(EndTimeTest, UnreadableMonthTextsGiveZero)
{
    EXPECT_EQ(byMonths(""), 0);
    // A month name with no digit after it.
    EXPECT_EQ(byMonths("Ends in March"), 0);
    // No time of day: a date alone is no end time.
    EXPECT_EQ(byMonths("Mar-15-06"), 0);
    EXPECT_EQ(byMonths("Mar-15-06 PST"), 0);
    // Dates that do not exist are not moved to a neighbouring day.
    EXPECT_EQ(byMonths("Feb-30-06 18:25:30 PST"), 0);
    EXPECT_EQ(byMonths("31.02.06 18:25:30", kGermanMonths), 0);
    EXPECT_EQ(byMonths("15.03.06 18:25:30", ""), 0);
    EXPECT_EQ(byMonths("-1.03.-6 18:25:30", kGermanMonths), 0);
    EXPECT_EQ(byMonths(QString(200000, QChar('(')) + "Mar"), 0);
    EXPECT_EQ(byMonths(QString::fromUtf16(u"\xD800\0\xFFFF mar-", 8)), 0);
}

TEST_F(EndTimeTest, PatternReadsTheFirstCaptureGroup)
{
    EXPECT_EQ(byPattern("Endet: 15.03.06 18:25:30 MEZ"), m_march15);
    EXPECT_EQ(byPattern("15.03.2006 18:25:30"), m_march15);
    EXPECT_EQ(byPattern("at 18:25:30 on 15.03.06", "on ([\\d\\.]+)"),
              LocalZone::utc(2006, 3, 14, 23, 0, 0));
    EXPECT_EQ(byPattern(""), 0);
    EXPECT_EQ(byPattern("99.99.99 18:25:30"), 0);
    EXPECT_EQ(byPattern("01.01.1960 10:00:00"), 0);
    EXPECT_EQ(byPattern("15.03.06 18:25:30", "[\\d\\.]+\\s[\\d\\:]+"), 0);
    EXPECT_EQ(byPattern(QString::fromUtf16(u"\xD800 15.03.06 18:25:30", 19)), 0);
}

TEST_F(EndTimeTest, ConventionsOfTheSiteGiven)
{
    const SiteConventions us =
        SiteConventions::builtIn(SiteHosts::siteName(SiteHosts::UnitedStates));
    SiteConventions de = SiteConventions::builtIn(SiteHosts::siteName(SiteHosts::Germany));
    const QString germanMonth = QString::fromUtf8("15. M\xC3\xA4r. 2006 18:25:30 MEZ");
    EXPECT_EQ(ParseEndTimeByMonths(germanMonth, de), m_march15);
    EXPECT_EQ(ParseEndTimeByMonths(germanMonth, us), 0);
    EXPECT_EQ(ParseEndTimeByMonths("Mar-15-06 18:25:30 PST", us), m_march15);
    EXPECT_EQ(ParseEndTimeByPattern("Endet: 15.03.06 18:25:30 MEZ", de), m_march15);

    // The site's own pattern, and a slashed date in the order the conventions were built
    // with.
    de.endTimePattern = "ends ([\\d/]+\\s[\\d:]+)";
    EXPECT_EQ(ParseEndTimeByPattern("15.03.06 18:25:30", de), 0);
    de.dateOrder = NumericDateReader::DateOrder::MonthDayYear;
    EXPECT_EQ(ParseEndTimeByPattern("ends 03/15/06 18:25:30", de), m_march15);
    de.dateOrder = NumericDateReader::DateOrder::DayMonthYear;
    EXPECT_EQ(ParseEndTimeByPattern("ends 03/15/06 18:25:30", de), 0);
    EXPECT_EQ(ParseEndTimeByPattern("ends 15/03/06 18:25:30", de), m_march15);
}

TEST(EndTimeParser, PatternThatDoesNotCompileIsLogged)
{
    AppHome home;
    SiteConventions conventions;
    conventions.endTimePattern = "([\\d+";
    EXPECT_EQ(ParseEndTimeByPattern("15.03.06 18:25:30", conventions), 0);
    EXPECT_TRUE(home.logText().contains("End time pattern \"([\\d+\" does not compile"));
}

TEST(EndTimeParser, DisplayFormat)
{
    LocalZone zone;
    const char* previous = setlocale(LC_TIME, nullptr);
    const std::string saved = previous ? previous : "C";
    setlocale(LC_TIME, "C");
    EXPECT_EQ(FormatEndTime(LocalZone::utc(2006, 3, 5, 17, 25, 30)), "Mar 05, 2006, 18:25:30");
    EXPECT_EQ(FormatEndTime(0), "Jan 01, 1970, 01:00:00");
    EXPECT_EQ(FormatEndTime(std::numeric_limits<qint64>::max()), "");
    setlocale(LC_TIME, saved.c_str());
}
