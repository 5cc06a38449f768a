#include "sites/siteaccess.h"

#include "app/appcontext.h"
#include "app/imainwindow.h"
#include "app/stringtable.h"
#include "sites/sitehosts.h"
#include "sites/sitesettings.h"

namespace {

// The end-time pattern is kept in the machine-wide store only, not in the site settings:
// it is read at each build, so an edited pattern counts from the next page on.
void applyStoredTimePattern(SiteConventions& conventions, const QString& site)
{
    if (AppContext* app = AppContext::current())
        conventions.endTimePattern = app->machineRegistry().readStr(
            QStringLiteral("Sites"), site + QStringLiteral("_KeyWord_TimeReg"),
            conventions.endTimePattern);
}

} // namespace

bool LoadSiteSettings()
{
    AppContext* app = AppContext::current();
    SiteSettings* sites = SiteSettings::current();
    if (!app || !sites)
        return false;
    sites->load(app->machineRegistry(), app->settings().currentSite);
    AppContext::logWrite(StringTable::text(449), ProgramLog::Success);
    return true;
}

void SaveSiteSettings()
{
    AppContext* app = AppContext::current();
    SiteSettings* sites = SiteSettings::current();
    if (app && sites)
        sites->save(app->machineRegistry());
}

SiteProfile BuildSiteProfile()
{
    SiteProfile profile;
    if (SiteSettings* sites = SiteSettings::current()) {
        profile = sites->profile();
    } else {
        profile.siteName = CurrentSiteName();
        profile.conventions = SiteConventions::builtIn(profile.siteName);
    }
    applyStoredTimePattern(profile.conventions, profile.siteName);
    if (AppContext* app = AppContext::current()) {
        // Workers build profiles too: they read the published settings.
        const std::shared_ptr<const AppSettings> snapshot = app->settingsSnapshot();
        const AppSettings& settings = *snapshot;
        profile.login = settings.login;
        profile.password = settings.password;
        profile.bidsEvery = settings.bidsEvery;
        profile.showIE = settings.showIE;
    }
    return profile;
}

SiteConventions BuildSiteConventions(const QString& site)
{
    const QString name = site.isEmpty() ? CurrentSiteName() : site;
    const SiteSettings* sites = SiteSettings::current();
    SiteConventions conventions = sites ? sites->conventions(name) : SiteConventions::builtIn(name);
    applyStoredTimePattern(conventions, name);
    return conventions;
}

QString LookupSiteKey(const QString& pattern)
{
    SiteSettings* sites = SiteSettings::current();
    return sites ? sites->lookup(pattern) : QString();
}

int SiteNumber(const QString& name)
{
    return SiteHosts::siteNumber(name.isEmpty() ? CurrentSiteName() : name);
}

QString CurrentSiteName()
{
    if (SiteSettings* sites = SiteSettings::current()) {
        const QString site = sites->currentSite();
        if (!site.isEmpty())
            return site;
    }
    if (AppContext* app = AppContext::current())
        return app->settingsSnapshot()->currentSite;
    return SiteHosts::siteName(SiteHosts::Germany);
}

bool SetCurrentSite(const QString& name)
{
    AppContext* app = AppContext::current();
    if (!app || name.isEmpty() || name == CurrentSiteName())
        return false;
    app->settings().currentSite = name;
    app->settings().writeKey(app->userRegistry(), &AppSettings::currentSite);
    app->publishSettings();
    if (SiteSettings* sites = SiteSettings::current())
        sites->setCurrentSite(name, app->machineRegistry());
    if (IMainWindow* window = app->mainWindow())
        window->siteChanged();
    return true;
}
