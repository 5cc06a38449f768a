#pragma once

#include <QStringList>

// `gavelind sites [--json]`: the known sites, the site list and the current site.
// `arguments` are the words after "sites"; returns the exit status.
int runSitesCommand(const QStringList& arguments);
