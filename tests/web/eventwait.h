#pragma once

#include <QObject>
#include <functional>

// The QCoreApplication that queued invocations need; made once for the test program.
void EnsureCoreApplication();

// Runs the event loop until `done` holds or `milliseconds` pass; returns `done()`.
bool WaitUntil(const std::function<bool()>& done, int milliseconds = 10000);
