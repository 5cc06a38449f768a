#include "web/settingsfiledownload.h"

#include "web/urlsource.h"

SiteSettingsUpdate::Download downloadSettingsFile(const QString& url)
{
    const UrlSourceResult result = fetchUrlSource(url, false);
    return {result.text, result.failure};
}
