#pragma once

#include "sites/sitesettingsupdate.h"

#include <QString>

// Fetches one file of the site settings update (the settings file or the sites file) as
// it is, through the program's download with the user's proxy.
SiteSettingsUpdate::Download downloadSettingsFile(const QString& url);
