#pragma once

#include <QStringList>

// `gavelind settings get SECTION KEY | set SECTION KEY VALUE | export`.
// `arguments` are the words after "settings"; returns the exit status.
int runSettingsCommand(const QStringList& arguments);
