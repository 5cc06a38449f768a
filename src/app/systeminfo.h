#pragma once

#include <QString>

// What the session header of the log reports about the machine.
namespace SystemInfo {

// The operating system's pretty name ("Debian GNU/Linux 12 (bookworm)"); empty if unknown.
QString operatingSystemName();
// libcurl's version text ("7.88.1"); empty if unknown.
QString httpEngineVersion();
// The HTML engine behind the program's own browser.
QString browserEngineVersion();

} // namespace SystemInfo
