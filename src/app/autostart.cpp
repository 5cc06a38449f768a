#include "app/autostart.h"

#include <QDir>
#include <QFile>
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
