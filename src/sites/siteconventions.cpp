#include "sites/siteconventions.h"

#include "sites/builtinsitetable.h"
#include "sites/sitehosts.h"

#include <QLocale>

namespace {

const QString kDecimalPointer = QStringLiteral("Other_DecimalPointer");
const QString kGroupsDivider = QStringLiteral("Other_GroupsDivider");
const QString kMonths = QStringLiteral("Other_Months");
const QString kTimePattern = QStringLiteral("KeyWord_TimeReg");

QChar firstChar(const QString& text)
{
    return text.isEmpty() ? QChar() : text.at(0);
}

} // namespace

SiteConventions SiteConventions::build(const QString& siteName,
                                       const std::function<QString(const QString& key)>& value,
                                       NumericDateReader::DateOrder dateOrder)
{
    SiteConventions conventions;
    conventions.decimalPointer = firstChar(value(kDecimalPointer));
    conventions.groupsDivider = firstChar(value(kGroupsDivider));
    conventions.currencyPlacement = SiteHosts::siteNumber(siteName) == SiteHosts::France
                                        ? CurrencyPlacement::AfterAmount
                                        : CurrencyPlacement::BeforeAmount;
    conventions.months = value(kMonths);
    conventions.dateOrder = dateOrder;
    conventions.endTimePattern = value(kTimePattern);
    return conventions;
}

SiteConventions SiteConventions::builtIn(const QString& siteName)
{
    return build(
        siteName, [&siteName](const QString& key) { return builtInValue(siteName, key); },
        NumericDateReader::orderOf(QLocale()));
}

QString SiteConventions::builtInValue(const QString& siteName, const QString& key)
{
    // The pattern is no key of the site tables: it is the same for every language.
    if (key == kTimePattern)
        return QString::fromLatin1(BuiltInSiteTable::kDefaultTimePattern);
    return BuiltInSiteTable::defaultValue(key, BuiltInSiteTable::languageOf(siteName));
}
