#include "app/autostart.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

Autostart::Autostart(const QString& autostartDir) : m_dir(autostartDir) {}

QString Autostart::entryPath() const
{
    return m_dir + "/gavelin.desktop";
}

bool Autostart::isEnabled() const
{
    return QFile::exists(entryPath());
}

bool Autostart::isInstalledProgram(const QString& programPath, const QString& homeDir)
{
    const QFileInfo program(programPath);
    const QString path = program.canonicalFilePath().isEmpty() ? program.absoluteFilePath()
                                                               : program.canonicalFilePath();
    if (path.isEmpty())
        return false;
    // CMake leaves its cache at the top of every build tree.
    for (QDir dir = QFileInfo(path).dir();;) {
        if (dir.exists(QStringLiteral("CMakeCache.txt")))
            return false;
        if (!dir.cdUp())
            break;
    }
    QStringList prefixes = {QStringLiteral("/usr/"), QStringLiteral("/opt/"),
                            QStringLiteral("/app/"), QStringLiteral("/snap/")};
    if (!homeDir.isEmpty())
        prefixes << QDir::cleanPath(homeDir) + QStringLiteral("/.local/");
    for (const QString& prefix : prefixes) {
        if (path.startsWith(prefix))
            return true;
    }
    return false;
}

bool Autostart::keep(bool enabled, const QString& programPath) const
{
    // An entry the user made for a copy that is not installed stays as the user made it.
    if (enabled && !isInstalledProgram(programPath, QDir::homePath()))
        return true;
    return apply(enabled, programPath);
}

bool Autostart::apply(bool enabled, const QString& programPath) const
{
    if (!enabled)
        return !QFile::exists(entryPath()) || QFile::remove(entryPath());
    if (!QDir().mkpath(m_dir))
        return false;
    QString quoted = programPath;
    quoted.replace('\\', "\\\\").replace('"', "\\\"");
    const QString content = QStringLiteral("[Desktop Entry]\n"
                                           "Type=Application\n"
                                           "Name=Gavelin\n"
                                           "Comment=Auction sniper\n"
                                           "Exec=\"%1\" --minimize\n"
                                           "Terminal=false\n"
                                           "X-GNOME-Autostart-enabled=true\n")
                                .arg(quoted);
    QSaveFile file(entryPath());
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(content.toUtf8());
    return file.commit();
}
