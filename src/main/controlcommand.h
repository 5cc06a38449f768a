#pragma once

#include <QStringList>

// The control commands: `gavelind add|status|start|stop|sync|log ...` speak to the copy
// that runs for the same settings folder (gavelind or the desktop program). `arguments`
// are the words after the command's name. Exit status: 0 done, 1 refused by the running
// copy (the reason on standard error), 2 bad usage, 3 no copy runs (nothing changed).
int runAddCommand(const QStringList& arguments);
int runStatusCommand(const QStringList& arguments);
int runStartCommand(const QStringList& arguments);
int runStopCommand(const QStringList& arguments);
int runSyncCommand(const QStringList& arguments);
int runLogCommand(const QStringList& arguments);
