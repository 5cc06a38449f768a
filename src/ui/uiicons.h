#pragma once

#include <QIcon>
#include <QString>

// The program's pictures, all drawn for it and kept in the resources.
namespace UiIcons {

// A named picture of icons/ ("add", "options", "folder-open", ...).
QIcon named(const QString& name);
// The image of a bid status code 0..10; the error image for any other code.
QIcon status(int statusCode);
// The message list's image of a log level 0..3; information for any other level.
QIcon level(int level);
// The flag of a site number 1..10; a neutral globe for 0 and any other number.
QIcon siteFlag(int siteNumber);
QIcon application();

} // namespace UiIcons
