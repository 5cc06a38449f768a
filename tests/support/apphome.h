#pragma once

#include "app/appcontext.h"
#include "support/temphome.h"

#include <QString>
#include <memory>

// A TempHome with its own application object and an open log, for tests of code that
// reads the settings, the registry or the log through AppContext::current().
class AppHome
{
public:
    AppHome();
    ~AppHome();

    AppHome(const AppHome&) = delete;
    AppHome& operator=(const AppHome&) = delete;

    AppContext& app() { return *m_app; }
    // Everything written to the log so far.
    QString logText() const;

private:
    TempHome m_home;
    std::unique_ptr<AppContext> m_app;
};
