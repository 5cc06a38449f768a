#include "app/apppaths.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

AppPaths AppPaths::fromEnvironment()
{
    const QString home = qEnvironmentVariable("GAVELIN_HOME");
    if (!home.isEmpty())
        return underRoot(home);

    AppPaths paths;
    paths.m_configDir =
        QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + "/gavelin";
    paths.m_dataDir =
        QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + "/gavelin";
    paths.m_documentsDir = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (paths.m_documentsDir.isEmpty())
        paths.m_documentsDir = QDir::homePath();
    paths.m_autostartDir =
        QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + "/autostart";
    return paths;
}

AppPaths AppPaths::underRoot(const QString& root)
{
    const QString base = QDir(root).absolutePath();
    AppPaths paths;
    paths.m_configDir = base + "/config";
    paths.m_dataDir = base + "/data";
    paths.m_documentsDir = base + "/documents";
    paths.m_autostartDir = base + "/autostart";
    return paths;
}

QString AppPaths::userSettingsFile() const
{
    return m_configDir + "/gavelin.ini";
}

QString AppPaths::machineSettingsFile() const
{
    return m_configDir + "/machine.ini";
}

QString AppPaths::logFile() const
{
    return m_dataDir + "/qzvt.log";
}

QString AppPaths::autosaveFile() const
{
    return m_dataDir + "/autosave.dat";
}

QString AppPaths::autosaveOriginFile() const
{
    return m_dataDir + "/autosave.origin";
}

bool AppPaths::ensureFolders() const
{
    QDir dir;
    if (!dir.mkpath(m_configDir) || !dir.mkpath(m_dataDir))
        return false;
    // Settings, log and lists are the user's own: folders made readable by everyone by an
    // older version are closed too.
    constexpr QFile::Permissions kPrivate = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;
    for (const QString& folder : {m_configDir, m_dataDir})
        QFile::setPermissions(folder, kPrivate);
    return true;
}
