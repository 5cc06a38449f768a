#include "web/dutchhighbidder.h"

#include "sites/siteaccess.h"
#include "web/urlsource.h"

QString FormatUrlPattern(const QString& pattern, const QString& value)
{
    QString url = pattern;
    const qsizetype at = url.indexOf(QLatin1String("%s"));
    if (at >= 0)
        url.replace(at, 2, value);
    return url;
}

bool IsDutchHighBidder(const QString& userId, const QString& itemNumber)
{
    // Every page contains the empty text: no user id is nobody.
    if (userId.trimmed().isEmpty())
        return false;
    const QString url = FormatUrlPattern(LookupSiteKey(QStringLiteral("%s_URL_DutchHighBidder")),
                                         itemNumber.trimmed());
    const QString text = getUrlSource(url, true);
    if (text.isEmpty())
        return false;
    return text.contains(userId) || text.contains(userId.toLower());
}
