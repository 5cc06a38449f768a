#pragma once

#include "sites/sitesettings.h"
#include "support/apphome.h"

// An AppHome with the site data of its current site loaded: what a window needs to open.
class SiteHome
{
public:
    SiteHome() { m_sites.load(app().machineRegistry(), app().settings().currentSite); }

    AppContext& app() { return m_home.app(); }
    SiteSettings& sites() { return m_sites; }
    QString logText() const { return m_home.logText(); }

private:
    AppHome m_home;
    SiteSettings m_sites;
};
