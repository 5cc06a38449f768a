#pragma once

#include "app/apppaths.h"

#include <QTemporaryDir>

// A throw-away GAVELIN_HOME: no test touches the real home folder.
class TempHome
{
public:
    TempHome();
    ~TempHome();

    QString root() const { return m_dir.path(); }
    AppPaths paths() const { return AppPaths::underRoot(m_dir.path()); }
    // Writes a file below the root (creating folders); returns its path.
    QString writeFile(const QString& relativePath, const QByteArray& content) const;

private:
    QTemporaryDir m_dir;
    QByteArray m_previousHome;
    bool m_hadHome;
};
