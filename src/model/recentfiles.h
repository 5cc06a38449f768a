#pragma once

#include <QString>
#include <QStringList>

class ListEnvironment;

// The File menu's recent-file list ("Recent File List", "File1" to "File16"), kept in the
// list's settings and written back to its registry at every change. Newest first.
// Window thread only.
class RecentFiles
{
public:
    static constexpr int kMenuTextLength = 30;

    explicit RecentFiles(const ListEnvironment& environment) : m_environment(environment) {}

    QStringList list() const;
    // Moves `path` (made absolute) to the top; the oldest entry beyond 16 drops off.
    void add(const QString& path);
    void remove(const QString& path);
    // The menu's text: the path, shortened in the middle to 30 characters but never
    // shorter than the file name.
    static QString menuText(const QString& path);

private:
    void store(const QStringList& files);

    const ListEnvironment& m_environment;
};
