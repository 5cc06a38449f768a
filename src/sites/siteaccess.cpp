#include "sites/siteaccess.h"

#include "app/appcontext.h"
#include "app/imainwindow.h"
#include "app/stringtable.h"
#include "sites/builtinsitetable.h"
#include "sites/sitehosts.h"
#include "sites/sitesettings.h"

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
    if (SiteSettings* sites = SiteSettings::current())
        profile = sites->profile();
    else
        profile.siteName = CurrentSiteName();
    if (AppContext* app = AppContext::current()) {
        const AppSettings& settings = app->settings();
        profile.login = settings.login;
        profile.password = settings.password;
        profile.bidsEvery = settings.bidsEvery;
        profile.showIE = settings.showIE;
        profile.mainWindow = app->mainWindow();
    }
    profile.work1 = 0;
    profile.work2 = 0;
    return profile;
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
        return app->settings().currentSite;
    return SiteHosts::siteName(SiteHosts::Germany);
}

bool SetCurrentSite(const QString& name)
{
    AppContext* app = AppContext::current();
    if (!app || name.isEmpty() || name == CurrentSiteName())
        return false;
    app->settings().currentSite = name;
    app->userRegistry().writeStr(QStringLiteral("Options"), QStringLiteral("currentSite"), name);
    if (SiteSettings* sites = SiteSettings::current())
        sites->setCurrentSite(name, app->machineRegistry());
    if (IMainWindow* window = app->mainWindow())
        window->siteChanged();
    return true;
}

QString SiteTimePattern()
{
    const QString fallback = QString::fromLatin1(BuiltInSiteTable::kDefaultTimePattern);
    AppContext* app = AppContext::current();
    if (!app)
        return fallback;
    return app->machineRegistry().readStr(
        QStringLiteral("Sites"), CurrentSiteName() + QStringLiteral("_KeyWord_TimeReg"), fallback);
}
