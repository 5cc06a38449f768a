#pragma once

#include <QStringList>

// `gavelind parse-item [--site NAME] [--text|--body-text] FILE|URL`; returns the exit
// status.
int runParseItemCommand(const QStringList& arguments);
