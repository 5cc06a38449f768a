#pragma once

#include "sites/siteprofile.h"

#include <QString>

// The application's site operations on the current SiteSettings and application object.
// Each works (with empty results) when either does not exist yet.

// (Re)builds the site settings from the machine-wide store for the user's current site;
// false when no SiteSettings exists.
bool LoadSiteSettings();
// Writes every per-site value back to the machine-wide store.
void SaveSiteSettings();
// A snapshot of the current site's profile with the account data of the settings.
SiteProfile BuildSiteProfile();
// The conventions of `site` (empty: the current site), listed or not, with the end-time
// pattern the machine-wide store holds for it now.
SiteConventions BuildSiteConventions(const QString& site = QString());
// `pattern` ("%s_URL_TimeSync") formatted with the current site and looked up; empty when
// absent.
QString LookupSiteKey(const QString& pattern);
// 1 to 10 for the known sites (case ignored), 0 for any other name; empty: current site.
int SiteNumber(const QString& name = QString());
// The user's current site.
QString CurrentSiteName();
// The menu's site choice: records a different site as current, stores it in the user's
// settings, publishes them to workers and tells the main window. False when nothing
// changed. Window thread only.
bool SetCurrentSite(const QString& name);
