#pragma once

#include "app/apppaths.h"

#include <memory>
#include <optional>

class AppContext;
class ItemsLock;
class Registry;
struct AppSettings;

// What the bid list, its store and its commands use from the application: the items
// lock, the window thread's settings, the registry that keeps them and the folders. It is
// handed to CBidsDoc when the list is made; nothing in the list looks the application up.
//
// Threads: the settings and the registry are the window thread's; the list's commands,
// store and access lock run there. Worker threads reach only the items lock.
class ListEnvironment
{
public:
    // The application's own lock, settings, registry and folders.
    static ListEnvironment of(AppContext& app);
    // A list without an application (tools, benchmarks, reading a file for a report): its
    // own lock and default settings; nothing is stored and there are no folders.
    static ListEnvironment standalone();

    ListEnvironment(ItemsLock& lock, AppSettings& settings, Registry* userRegistry,
                    std::optional<AppPaths> paths);

    ItemsLock& itemsLock() const { return *m_lock; }
    AppSettings& settings() const { return *m_settings; }
    // Null when changes of the settings are not to be stored.
    Registry* userRegistry() const { return m_registry; }
    // Nothing for a standalone list: it has no autosave copy and no documents folder.
    const std::optional<AppPaths>& paths() const { return m_paths; }

private:
    // A standalone list's own lock and settings, shared by its copies.
    struct Owned;
    std::shared_ptr<Owned> m_owned;
    ItemsLock* m_lock;
    AppSettings* m_settings;
    Registry* m_registry;
    std::optional<AppPaths> m_paths;
};
