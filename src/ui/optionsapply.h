#pragma once

#include <functional>

class AppContext;
struct AppSettings;

// What the options sheet's OK does once its pages have stored their values: log the
// change, write every setting, log the settings, and bring the running program in line
// with them.
class COptionsApply
{
public:
    // The engine's part of applying the options. An unset hook is skipped.
    struct Hooks
    {
        // Run one autosave now (only asked when autosave is on).
        std::function<void()> autosaveNow;
        // Restart the autosave timer (main timer 3) with this period in minutes.
        std::function<void(int minutes)> restartAutosave;
        // Start a time synchronisation (command 32803); asked once per OK at most.
        std::function<void()> synchroniseTime;
        // Show or hide the bids list's background picture.
        std::function<void(bool shown)> listBackground;
        // Add or remove the autostart entry; false when that failed. Unset: the desktop's
        // autostart folder with this program.
        std::function<bool(bool enabled)> autostart;
        // The current site is another one now (the engine reads every item again).
        std::function<void()> siteChanged;
        // Everything was applied: the engine takes the new settings.
        std::function<void()> settingsApplied;
        // "Check mail now" of the Zaru Vuzarovuz page: command 1235.
        std::function<void()> checkMailNow;
    };

    COptionsApply(AppContext& app, Hooks hooks);

    // `before` is a copy of the settings taken when the sheet opened; the settings now
    // hold the pages' values. `siteValuesChanged`: the site settings page edited values
    // (already put into the site settings cache), which are now saved.
    void commit(const AppSettings& before, bool siteValuesChanged);

private:
    void applyAutostart(const AppSettings& before);
    void applySite(const AppSettings& before, bool* timeSyncWanted);

    AppContext& m_app;
    Hooks m_hooks;
};
