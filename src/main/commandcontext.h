#pragma once

#include <memory>

class AppContext;
class SiteSettings;

// What a gavelind command reads when it runs on its own: the application object with the
// user's settings and, when asked for, the site data. Leaves the log alone.
class CommandContext
{
public:
    enum class Sites
    {
        Skip,
        Load
    };

    explicit CommandContext(Sites sites = Sites::Load);
    ~CommandContext();

    AppContext& app() { return *m_app; }
    SiteSettings& sites() { return *m_sites; }

private:
    std::unique_ptr<AppContext> m_own;
    AppContext* m_app = nullptr;
    std::unique_ptr<SiteSettings> m_sites;
};
