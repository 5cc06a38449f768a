#include "engine/bidformnames.h"

#include "sites/builtinsitetable.h"
#include "sites/siteaccess.h"
#include "sites/sitesettings.h"

namespace {

QString commandValue(const QString& name)
{
    if (const SiteSettings* sites = SiteSettings::current()) {
        const QString value = sites->command(name);
        if (!value.isEmpty())
            return value;
    }
    for (const auto& [key, value] : BuiltInSiteTable::commandDefaults()) {
        if (key == name)
            return value;
    }
    return QString();
}

} // namespace

BidFormNames BidFormNames::current()
{
    BidFormNames names;
    names.command = commandValue(QStringLiteral("Command"));
    names.runCmd1 = commandValue(QStringLiteral("runCmd1"));
    names.sofortCmd = commandValue(QStringLiteral("sofortCmd"));
    names.bidCmd = commandValue(QStringLiteral("bidCmd"));
    names.retractCmd = commandValue(QStringLiteral("retractCmd"));
    names.bidretractCmd = commandValue(QStringLiteral("bidretractCmd"));
    names.maxbid = commandValue(QStringLiteral("maxbid"));
    names.quant1 = commandValue(QStringLiteral("quant1"));
    names.quant2 = commandValue(QStringLiteral("quant2"));
    names.login1 = commandValue(QStringLiteral("login1"));
    names.login2 = commandValue(QStringLiteral("login2"));
    names.pass1 = commandValue(QStringLiteral("pass1"));
    names.login3 = commandValue(QStringLiteral("login3"));
    names.pass2 = commandValue(QStringLiteral("pass2"));
    names.item1 = commandValue(QStringLiteral("item1"));
    names.item2 = commandValue(QStringLiteral("item2"));
    names.info = commandValue(QStringLiteral("info"));
    names.descriptionKeyword = LookupSiteKey(QStringLiteral("%s_KeyWord_Description"));
    names.readyBidKeyword = LookupSiteKey(QStringLiteral("%s_KeyWord_ReadyBid"));
    return names;
}
