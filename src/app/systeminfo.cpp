#include "app/systeminfo.h"

#include <QSysInfo>
#include <curl/curl.h>

namespace SystemInfo {

QString operatingSystemName()
{
    const QString name = QSysInfo::prettyProductName();
    return name == QLatin1String("Unknown") ? QString() : name;
}

QString httpEngineVersion()
{
    const curl_version_info_data* info = curl_version_info(CURLVERSION_NOW);
    if (!info || !info->version)
        return QString();
    return QString::fromLatin1(info->version);
}

QString browserEngineVersion()
{
    return QStringLiteral("gumbo %1, Qt %2").arg(QStringLiteral(GAVELIN_GUMBO_VERSION), qVersion());
}

} // namespace SystemInfo
