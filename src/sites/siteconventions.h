#pragma once

#include "sites/numericdatereader.h"

#include <QChar>
#include <QString>
#include <functional>

enum class CurrencyPlacement
{
    BeforeAmount, // "EUR 12,50", "US $12.50"
    AfterAmount,  // "12,50 EUR"
};

// How one site writes prices and dates. The price and end-time readers and the price
// writers take it as an argument and never look at the current site, so a page of any site
// reads the same whichever site the user has chosen. A plain value: copy it to any thread.
struct SiteConventions
{
    // First characters of Other_DecimalPointer and Other_GroupsDivider; NUL when empty,
    // which the price scanner never matches.
    QChar decimalPointer;
    QChar groupsDivider;
    CurrencyPlacement currencyPlacement = CurrencyPlacement::BeforeAmount;
    // Other_Months: the order of fixed-width numeric dates ("DD/MM/YY") and the twelve
    // month names, separated by spaces.
    QString months;
    // The order of "/" and "-" dates the end-time pattern finds.
    NumericDateReader::DateOrder dateOrder = NumericDateReader::DateOrder::DayMonthYear;
    // KeyWord_TimeReg: its first capture group is a numeric end time.
    QString endTimePattern;

    NumericDateReader dateReader() const { return NumericDateReader(dateOrder); }

    // The conventions of `siteName` from its values: `value` gives the value of a key
    // ("Other_DecimalPointer", "Other_GroupsDivider", "Other_Months", "KeyWord_TimeReg",
    // without the "<site>_" prefix). The French site puts the currency after the amount; this is
    // the one place that knows. Numeric dates follow `dateOrder`.
    static SiteConventions build(const QString& siteName,
                                 const std::function<QString(const QString& key)>& value,
                                 NumericDateReader::DateOrder dateOrder);
    // The built-in values of the site's language and the built-in end-time pattern, with
    // numeric dates in the order of the user's locale.
    static SiteConventions builtIn(const QString& siteName);
    // The built-in value of one of those keys for `siteName`.
    static QString builtInValue(const QString& siteName, const QString& key);
};
