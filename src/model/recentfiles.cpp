#include "model/recentfiles.h"

#include "app/appsettings.h"
#include "model/listenvironment.h"

#include <QFileInfo>

void RecentFiles::store(const QStringList& files)
{
    AppSettings& settings = m_environment.settings();
    settings.recentFiles = files;
    if (Registry* registry = m_environment.userRegistry())
        settings.writeRecentFiles(*registry);
}

QStringList RecentFiles::list() const
{
    return m_environment.settings().recentFiles;
}

void RecentFiles::add(const QString& path)
{
    if (path.isEmpty())
        return;
    const QString absolute = QFileInfo(path).absoluteFilePath();
    QStringList files = list();
    files.removeAll(absolute);
    files.prepend(absolute);
    while (files.size() > AppSettings::kMaxRecentFiles)
        files.removeLast();
    store(files);
}

void RecentFiles::remove(const QString& path)
{
    QStringList files = list();
    if (files.removeAll(path) + files.removeAll(QFileInfo(path).absoluteFilePath()) > 0)
        store(files);
}

QString RecentFiles::menuText(const QString& path)
{
    if (path.size() <= kMenuTextLength)
        return path;
    const QString name = QFileInfo(path).fileName();
    const QString ellipsis = QStringLiteral("/...");
    // Keep the first folder and as many trailing folders as fit.
    const qsizetype firstEnd = path.indexOf(QLatin1Char('/'), 1);
    const QString head = firstEnd > 0 ? path.left(firstEnd) : QString();
    qsizetype cut = firstEnd;
    while (cut >= 0) {
        cut = path.indexOf(QLatin1Char('/'), cut + 1);
        if (cut < 0)
            break;
        const QString candidate = head + ellipsis + path.mid(cut);
        if (candidate.size() <= kMenuTextLength)
            return candidate;
    }
    return name;
}
