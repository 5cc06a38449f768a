#pragma once

#include <QStringList>

// `gavelind mail check [--json]`: one check of the command mailbox now, in the running
// copy when there is one, else on the list that start-up would load (saved afterwards);
// prints what each mail did. `gavelind mail test`: sends the test mail through the SMTP
// settings and prints the server's replies. Exit status: 0 done, 1 failed, 2 bad usage.
int runMailCommand(const QStringList& arguments);
