#pragma once

#include <QtGlobal>

// The clock the model reads: the application's site clock, or the system clock when no
// application object exists (tools, benchmarks).
namespace ModelClock {

qint64 localNow();
qint64 siteNow();

} // namespace ModelClock
