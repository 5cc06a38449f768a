#pragma once

#include <QString>
#include <QStringList>

// A gavelind subcommand: `gavelind NAME ARGS...`; returns the process exit status.
struct DaemonCommand
{
    const char* name;
    const char* usage;
    const char* summary;
    int (*run)(const QStringList& arguments);
};
