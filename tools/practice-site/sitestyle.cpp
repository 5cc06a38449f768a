#include "sitestyle.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {

const char* const kEnglishMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                      "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
const char* const kGermanMonths[] = {"Jan", "Feb", "M\xC3\xA4r", "Apr", "Mai", "Jun",
                                     "Jul", "Aug", "Sep",        "Okt", "Nov", "Dez"};

const SiteStyle kStyles[] = {
    {"us", Language::English, "US $", false, TimeShape::Month, "PST"},
    {"uk", Language::English, "\xC2\xA3", false, TimeShape::Paren, "GMT"},
    {"au", Language::English, "AU $", false, TimeShape::Month, "AEST"},
    {"de", Language::German, "EUR ", false, TimeShape::Numeric, "MEZ"},
    {"at", Language::German, "EUR ", false, TimeShape::Numeric, "MEZ"},
    {"ch", Language::German, "CHF ", false, TimeShape::Numeric, "MEZ"},
    // The French site reads with the German wording but writes the amount first.
    {"fr", Language::German, " EUR", true, TimeShape::Numeric, "MEZ"},
};

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

} // namespace

SiteStyle::SiteStyle(std::string code, Language language, std::string currency, bool currencyAfter,
                     TimeShape shape, std::string zone)
    : m_code(std::move(code)), m_language(language), m_currency(std::move(currency)),
      m_currencyAfter(currencyAfter), m_timeShape(shape), m_zone(std::move(zone))
{
}

const SiteStyle* SiteStyle::find(const std::string& code)
{
    for (const SiteStyle& style : kStyles)
        if (style.m_code == code)
            return &style;
    return nullptr;
}

const SiteStyle& SiteStyle::forLanguage(Language language)
{
    return language == Language::German ? kStyles[3] : kStyles[0];
}

bool SiteStyle::parseTimeShape(const std::string& name, TimeShape& shape)
{
    if (name == "month")
        shape = TimeShape::Month;
    else if (name == "numeric")
        shape = TimeShape::Numeric;
    else if (name == "paren")
        shape = TimeShape::Paren;
    else
        return false;
    return true;
}

const char* SiteStyle::timeShapeName(TimeShape shape)
{
    switch (shape) {
    case TimeShape::Month:
        return "month";
    case TimeShape::Numeric:
        return "numeric";
    case TimeShape::Paren:
        return "paren";
    }
    return "month";
}

std::string SiteStyle::formatAmount(int64_t cents) const
{
    const bool german = m_language == Language::German;
    const char group = german ? '.' : ',';
    const char decimal = german ? ',' : '.';
    const int64_t whole = std::llabs(cents) / 100;
    const std::string digits = std::to_string(whole);
    std::string out = cents < 0 ? "-" : "";
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            out += group;
        out += digits[i];
    }
    char fraction[8];
    std::snprintf(fraction, sizeof fraction, "%c%02lld", decimal,
                  static_cast<long long>(std::llabs(cents) % 100));
    return out + fraction;
}

std::string SiteStyle::formatPrice(int64_t cents) const
{
    return m_currencyAfter ? formatAmount(cents) + m_currency : m_currency + formatAmount(cents);
}

bool SiteStyle::parseAmount(const std::string& text, int64_t& cents) const
{
    const bool german = m_language == Language::German;
    const char group = german ? '.' : ',';
    const char decimal = german ? ',' : '.';
    size_t begin = text.find_first_not_of(" \t");
    size_t end = text.find_last_not_of(" \t");
    if (begin == std::string::npos)
        return false;
    const std::string s = text.substr(begin, end - begin + 1);
    int64_t whole = 0;
    size_t i = 0;
    size_t digitsInGroup = 0;
    bool grouped = false;
    for (; i < s.size() && s[i] != decimal; ++i) {
        if (isDigit(s[i])) {
            if (whole > 100000000000LL)
                return false;
            whole = whole * 10 + (s[i] - '0');
            ++digitsInGroup;
        } else if (s[i] == group && digitsInGroup > 0 && (!grouped || digitsInGroup == 3)) {
            grouped = true;
            digitsInGroup = 0;
        } else {
            return false;
        }
    }
    // A thousands character must be followed by exactly three digits.
    if (digitsInGroup == 0 || (grouped && digitsInGroup != 3))
        return false;
    int64_t fraction = 0;
    if (i < s.size()) {
        const std::string rest = s.substr(i + 1);
        if (rest.empty() || rest.size() > 2 || !isDigit(rest[0]) ||
            (rest.size() == 2 && !isDigit(rest[1])))
            return false;
        fraction = (rest[0] - '0') * 10 + (rest.size() == 2 ? rest[1] - '0' : 0);
    }
    cents = whole * 100 + fraction;
    return true;
}

std::string SiteStyle::formatTime(int64_t seconds, TimeShape shape) const
{
    const time_t t = static_cast<time_t>(seconds);
    tm local{};
    localtime_r(&t, &local);
    const char* month =
        (m_language == Language::German ? kGermanMonths : kEnglishMonths)[local.tm_mon];
    const int year2 = local.tm_year % 100;
    const int year4 = local.tm_year + 1900;
    char buf[96];
    char clock[16];
    std::snprintf(clock, sizeof clock, "%02d:%02d:%02d", local.tm_hour, local.tm_min, local.tm_sec);
    const bool german = m_language == Language::German;
    switch (shape) {
    case TimeShape::Month:
        if (german)
            std::snprintf(buf, sizeof buf, "%02d-%s-%02d %s %s", local.tm_mday, month, year2, clock,
                          m_zone.c_str());
        else
            std::snprintf(buf, sizeof buf, "%s-%02d-%02d %s %s", month, local.tm_mday, year2, clock,
                          m_zone.c_str());
        break;
    case TimeShape::Numeric:
        if (german)
            std::snprintf(buf, sizeof buf, "%02d.%02d.%02d %s %s", local.tm_mday, local.tm_mon + 1,
                          year2, clock, m_zone.c_str());
        else
            std::snprintf(buf, sizeof buf, "%02d/%02d/%02d %s %s", local.tm_mon + 1, local.tm_mday,
                          year2, clock, m_zone.c_str());
        break;
    case TimeShape::Paren:
        std::snprintf(buf, sizeof buf, "(%02d %s, %04d %s %s)", local.tm_mday, month, year4, clock,
                      m_zone.c_str());
        break;
    }
    return buf;
}

std::string SiteStyle::formatClock(int64_t seconds) const
{
    if (m_language == Language::German)
        return formatTime(seconds, TimeShape::Numeric);
    const time_t t = static_cast<time_t>(seconds);
    tm local{};
    localtime_r(&t, &local);
    char buf[64];
    std::snprintf(buf, sizeof buf, "%s %02d, %04d %02d:%02d:%02d %s", kEnglishMonths[local.tm_mon],
                  local.tm_mday, local.tm_year + 1900, local.tm_hour, local.tm_min, local.tm_sec,
                  m_zone.c_str());
    return buf;
}
