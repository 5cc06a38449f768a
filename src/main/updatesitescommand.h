#pragma once

#include <QStringList>

// `gavelind update-sites [--url URL]`: runs the site settings update now and prints what
// it changed. Exit status 0 new site data applied, 1 failed, 3 nothing newer.
int runUpdateSitesCommand(const QStringList& arguments);
