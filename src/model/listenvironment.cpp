#include "model/listenvironment.h"

#include "app/appcontext.h"

struct ListEnvironment::Owned
{
    ItemsLock lock;
    AppSettings settings;
};

ListEnvironment::ListEnvironment(ItemsLock& lock, AppSettings& settings, Registry* userRegistry,
                                 std::optional<AppPaths> paths)
    : m_lock(&lock), m_settings(&settings), m_registry(userRegistry), m_paths(std::move(paths))
{
}

ListEnvironment ListEnvironment::of(AppContext& app)
{
    return ListEnvironment(app.itemsLock(), app.settings(), &app.userRegistry(), app.paths());
}

ListEnvironment ListEnvironment::standalone()
{
    auto owned = std::make_shared<Owned>();
    ListEnvironment environment(owned->lock, owned->settings, nullptr, std::nullopt);
    environment.m_owned = std::move(owned);
    return environment;
}
