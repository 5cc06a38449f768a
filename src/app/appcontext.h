#pragma once

#include "app/apppaths.h"
#include "app/appsettings.h"
#include "app/itemslock.h"
#include "app/programlog.h"
#include "app/registry.h"
#include "app/siteclock.h"

#include <QString>
#include <atomic>
#include <memory>
#include <mutex>

class IMainWindow;

// The application object: owns the settings, the log, the site clock and the items lock.
// One exists per process (tests make their own, each with its own GAVELIN_HOME).
class AppContext
{
public:
    explicit AppContext(const AppPaths& paths);
    ~AppContext();

    AppContext(const AppContext&) = delete;
    AppContext& operator=(const AppContext&) = delete;

    // The living application object, or null before start-up and after exit.
    static AppContext* current();

    const AppPaths& paths() const { return m_paths; }
    Registry& userRegistry() { return *m_userRegistry; }
    Registry& machineRegistry() { return *m_machineRegistry; }
    // The window thread's settings: read and written there only. After a change that
    // workers must see, call publishSettings().
    AppSettings& settings() { return m_settings; }
    const AppSettings& settings() const { return m_settings; }
    // What worker threads read: an immutable copy, swapped whole by publishSettings(). A
    // worker takes it once per job and keeps it for the job's length.
    std::shared_ptr<const AppSettings> settingsSnapshot() const;
    // Publishes the current settings() to workers. Window thread only.
    void publishSettings();
    ProgramLog& log() { return m_log; }
    SiteClock& clock() { return m_clock; }
    ItemsLock& itemsLock() { return m_itemsLock; }

    IMainWindow* mainWindow() const { return m_window.load(); }
    void setMainWindow(IMainWindow* window);

    // Program version: major in the high 16 bits, minor in the low 16 bits.
    int versionApp() const { return m_versionApp; }
    int settingsVersion() const { return m_ssVer; }
    QString versionText() const;
    // Reads versionApp and SSVer from the machine-wide root; the built-in version when absent.
    void readVersion();

    bool startMinimized() const { return m_startMinimized; }
    void setStartMinimized(bool on) { m_startMinimized = on; }
    qint64 startTime() const { return m_startTime; }
    void setStartTime(qint64 seconds) { m_startTime = seconds; }

    // Shorthands that tolerate a missing application object (early start-up, tools).
    static QString logWrite(const QString& text, int level = ProgramLog::Info);
    static QString logMessage(const QString& text, int level = ProgramLog::Info);

    static QString applicationTitle();
    static int builtInVersion();

private:
    AppPaths m_paths;
    std::unique_ptr<Registry> m_userRegistry;
    std::unique_ptr<Registry> m_machineRegistry;
    AppSettings m_settings;
    std::shared_ptr<const AppSettings> m_published;
    mutable std::mutex m_publishedMutex;
    SiteClock m_clock;
    ProgramLog m_log;
    ItemsLock m_itemsLock;
    std::atomic<IMainWindow*> m_window{nullptr};
    int m_versionApp = 0;
    int m_ssVer = 0;
    bool m_startMinimized = false;
    qint64 m_startTime = 0;
};
