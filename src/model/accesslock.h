#pragma once

#include <QString>
#include <QtGlobal>
#include <atomic>

struct AppSettings;

// The access password over the list's changing commands (add, delete or rename folder,
// folder properties, add, edit or delete items). With the option on, the list starts
// locked; the right password unlocks it until `Idle time` minutes pass without activity.
//
// Window thread only: it reads the window thread's settings, which the options sheet
// changes there.
class AccessLock
{
public:
    explicit AccessLock(const AppSettings& settings) : m_settings(settings) {}

    // The option is on and the list is locked: ask for the password before the command.
    bool isRequired() const;
    // Checks an entered password. A wrong one is logged; show deniedText() and abandon
    // the command.
    bool unlock(const QString& password);
    static QString deniedText();

    bool isLocked() const { return m_locked.load(); }
    void lock() { m_locked.store(true); }
    // The user did something (local time).
    void noteActivity(qint64 localNow) { m_lastActivity.store(localNow); }
    // Engine tick: locks again once the whole idle minutes reach `idleMinutes`.
    void checkIdle(qint64 localNow, int idleMinutes);

private:
    const AppSettings& m_settings;
    std::atomic<bool> m_locked{true};
    std::atomic<qint64> m_lastActivity{0};
};
