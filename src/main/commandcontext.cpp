#include "main/commandcontext.h"

#include "app/appcontext.h"
#include "sites/sitesettings.h"

CommandContext::CommandContext(Sites sites)
{
    m_app = AppContext::current();
    if (!m_app) {
        const AppPaths paths = AppPaths::fromEnvironment();
        paths.ensureFolders(); // a first "settings set" may come before the program ever ran
        m_own = std::make_unique<AppContext>(paths);
        m_app = m_own.get();
        m_app->settings().readAll(m_app->userRegistry());
        m_app->publishSettings();
    }
    if (sites == Sites::Load) {
        m_sites = std::make_unique<SiteSettings>();
        m_sites->load(m_app->machineRegistry(), m_app->settings().currentSite);
    }
}

CommandContext::~CommandContext() = default;
