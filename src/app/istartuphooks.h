#pragma once

#include "app/imainwindow.h"

#include <QString>

// The start-up steps that belong to the engine and the window. The start-up sequence
// calls them in order; the main controller carries them out.
class IStartupHooks
{
public:
    virtual ~IStartupHooks() = default;

    // The splash window's text while a step runs (only when the splash is wanted).
    virtual void showSplashText(const QString& text) = 0;
    virtual void closeSplash() = 0;
    // A message box before the main window exists (the daemon logs it to standard error).
    virtual void showStartupMessage(const IMainWindow::Question& question) = 0;
    // Creates the main window (desktop window or the daemon's log window); null on failure.
    virtual IMainWindow* createMainWindow() = 0;
    // Checks the Internet connection and dials when the settings ask for it.
    virtual void verifyConnection() = 0;
    // Runs a due settings update and loads the site profiles; true when the update
    // found a newer program version.
    virtual bool loadSiteSettings() = 0;
    // Chooses and loads the bid list: autosave copy, last recent file or the default list.
    virtual void loadBidList() = 0;
    // Synchronises the clock with the site; true on success.
    virtual bool synchroniseTime() = 0;
    // Starts the main timers (time sync, autosave, mail check).
    virtual void startTimers(bool timeSynchronised) = 0;
    virtual void showMainWindow(bool minimized) = 0;
    // Opens the internal browser's start page and adds an item handed over from a browser.
    virtual void openStartPage(const QString& addUrl) = 0;
    // Starts the update wizard or, for a new user, the start-up wizard.
    virtual void startWizards(bool newVersionAvailable) = 0;
    // Starts the saved-search check timer once start-up is over.
    virtual void startSavedSearchTimer() = 0;
    // Stops the main timers and saves the window state before exit.
    virtual void shutdown() = 0;
};
