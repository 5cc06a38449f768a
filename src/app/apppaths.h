#pragma once

#include <QString>

// Where Gavelin keeps its settings, its data (log, autosave copy) and the user's lists.
// GAVELIN_HOME moves everything under one folder, for tests and portable use.
class AppPaths
{
public:
    // Resolves the folders from the environment; creates nothing.
    static AppPaths fromEnvironment();
    // All folders under one root (the GAVELIN_HOME layout).
    static AppPaths underRoot(const QString& root);

    QString configDir() const { return m_configDir; }
    QString dataDir() const { return m_dataDir; }
    QString documentsDir() const { return m_documentsDir; }
    QString autostartDir() const { return m_autostartDir; }

    QString userSettingsFile() const;
    QString machineSettingsFile() const;
    QString logFile() const;
    QString autosaveFile() const;
    // Beside the autosave copy: which list file it is a copy of.
    QString autosaveOriginFile() const;

    // Creates the config and data folders, private to the user (0700, existing ones
    // included); false when one cannot be made.
    bool ensureFolders() const;

private:
    QString m_configDir;
    QString m_dataDir;
    QString m_documentsDir;
    QString m_autostartDir;
};
