#include "app/apppaths.h"

#include <QDir>
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

bool AppPaths::ensureFolders() const
{
    QDir dir;
    return dir.mkpath(m_configDir) && dir.mkpath(m_dataDir);
}
