#pragma once

#include <QString>

// The desktop's autostart entry that starts Gavelin minimised at log-in. An entry always
// names a program the user meant to start: the installed one, or the one whose options
// page the user ticked the box on, never a copy in a build folder behind the user's back.
class Autostart
{
public:
    explicit Autostart(const QString& autostartDir);

    QString entryPath() const;
    // The user's own choice: writes or removes the entry; false when the folder or file
    // cannot be written.
    bool apply(bool enabled, const QString& programPath) const;
    // Keeps the entry in line with the setting without the user's word: removes it when
    // autostart is off; when on, writes it for an installed program and otherwise leaves
    // the entry folder as it is.
    bool keep(bool enabled, const QString& programPath) const;
    bool isEnabled() const;

    // Whether `programPath` lies where programs are installed (the system's or the user's
    // program folders) and not in a build tree.
    static bool isInstalledProgram(const QString& programPath, const QString& homeDir);

private:
    QString m_dir;
};
