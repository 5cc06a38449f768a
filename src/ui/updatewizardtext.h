#pragma once

#include <QString>

// The words of the update wizard's download page: sizes, rates and the time left, and which
// announced addresses are packages to download rather than pages to visit.
namespace UpdateWizardText {

// "512 Bytes", "1.5 KB", "2.25 MB".
QString size(qint64 bytes);
// "1.5 KB of 2.25 MB".
QString sizes(qint64 done, qint64 total);
// "45 sec", "2 min", "2 min 5 sec".
QString timeLeft(qint64 seconds);
// "2 min 5 sec (1.5 KB of 2.25 MB copied)".
QString timeLeftLine(qint64 seconds, qint64 done, qint64 total);
// `kbPerSecond` as "512 Bytes/Sec", "2.50 KB/Sec" or "120 KB/Sec".
QString rate(double kbPerSecond);

// The file name of an address's path: the part after the last "/" or "\", the whole path
// when there is none or the part is shorter than 2 characters.
QString fileName(const QString& path);
// Whether an announced address is a package to download: an ".exe" as the sites publish
// it, and on Linux a ".deb" or an ".AppImage"; anything else is a page for the browser.
bool isPackage(const QString& url);

} // namespace UpdateWizardText
