#pragma once

#include "app/commandline.h"

#include <QString>

class AppContext;
class IStartupHooks;
class SingleInstance;

// The order in which Gavelin starts and ends. Runs on the main thread.
class StartupSequence
{
public:
    enum class HandOver
    {
        Continue,
        Exit
    };

    struct Options
    {
        bool desktop = true; // the desktop program manages the autostart entry
        QString programPath; // for the autostart entry
    };

    StartupSequence(AppContext& app, IStartupHooks& hooks, Options options);

    // Looks for a running copy and hands it the command line. Exit: this copy ends now
    // (nothing was logged and no window made). Continue: this copy is the running one and
    // `instance` listens for later copies.
    static HandOver handOver(const CommandLine& commandLine, SingleInstance& instance);

    // The start-up steps; false when the program must end (main window not created).
    bool run(const CommandLine& commandLine);
    // The exit steps after the main window is gone.
    void finish();

    // The session header written when the log opens.
    void writeSessionHeader();

private:
    void splash(const QString& text);
    void copyFirstStartProfile();
    void openLog();
    void readSettings();

    AppContext& m_app;
    IStartupHooks& m_hooks;
    Options m_options;
    bool m_started = false;
    QString m_deferredError;
};
