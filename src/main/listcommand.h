#pragma once

#include <QStringList>

// `gavelind list FILE [--json]` and `gavelind list FILE --rewrite OUT`. `arguments` are
// the words after "list"; returns the exit status.
int runListCommand(const QStringList& arguments);
