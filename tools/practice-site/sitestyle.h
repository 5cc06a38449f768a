#pragma once

#include <cstdint>
#include <string>

enum class Language
{
    English,
    German
};
enum class TimeShape
{
    Month,
    Numeric,
    Paren
};

// How one national site writes prices and dates: wording language, currency and its side,
// decimal and thousands characters, date shape and time-zone label.
class SiteStyle
{
public:
    // Known codes: us, uk, au, de, at, ch, fr. Unknown codes give nullptr.
    static const SiteStyle* find(const std::string& code);
    static const SiteStyle& forLanguage(Language language);

    static bool parseTimeShape(const std::string& name, TimeShape& shape);
    static const char* timeShapeName(TimeShape shape);

    const std::string& code() const { return m_code; }
    Language language() const { return m_language; }
    const char* languageCode() const { return m_language == Language::German ? "de" : "en"; }
    TimeShape defaultTimeShape() const { return m_timeShape; }

    // 1234.5 -> "1,234.50" (English) or "1.234,50" (German)
    std::string formatAmount(int64_t cents) const;
    // With the currency on the site's side: "US $12.50", "EUR 12,50", "12,50 EUR".
    std::string formatPrice(int64_t cents) const;
    // An amount typed into a form in the site's style; false when it is not one.
    bool parseAmount(const std::string& text, int64_t& cents) const;

    // Local-time rendering of a site time in the given shape, with the zone label.
    std::string formatTime(int64_t seconds, TimeShape shape) const;
    // The official-time page's shape: "Mar 15, 2006 18:25:30 PST" or "15.03.06 18:25:30 MEZ".
    std::string formatClock(int64_t seconds) const;

    SiteStyle(std::string code, Language language, std::string currency, bool currencyAfter,
              TimeShape shape, std::string zone);

private:
    std::string m_code;
    Language m_language;
    std::string m_currency;
    bool m_currencyAfter;
    TimeShape m_timeShape;
    std::string m_zone;
};
