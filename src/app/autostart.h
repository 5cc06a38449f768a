#pragma once

#include <QString>

// The desktop's autostart entry that starts Gavelin minimised at log-in.
class Autostart
{
public:
    explicit Autostart(const QString& autostartDir);

    QString entryPath() const;
    // Writes or removes the entry; false when the folder or file cannot be written.
    bool apply(bool enabled, const QString& programPath) const;
    bool isEnabled() const;

private:
    QString m_dir;
};
