#pragma once

#include <QStringList>

// `gavelind search [--site NAME] WORDS... [--json]`; returns the exit status.
int runSearchCommand(const QStringList& arguments);
