#pragma once

#include <QString>
#include <QStringList>

// The File menu's recent-file list ("Recent File List", "File1" to "File16"), kept in the
// application's settings and written back at every change. Newest first.
class RecentFiles
{
public:
    static constexpr int kMenuTextLength = 30;

    static QStringList list();
    // Moves `path` (made absolute) to the top; the oldest entry beyond 16 drops off.
    static void add(const QString& path);
    static void remove(const QString& path);
    // The menu's text: the path, shortened in the middle to 30 characters but never
    // shorter than the file name.
    static QString menuText(const QString& path);
};
