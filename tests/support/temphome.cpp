#include "support/temphome.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

TempHome::TempHome() : m_hadHome(qEnvironmentVariableIsSet("GAVELIN_HOME"))
{
    m_previousHome = qgetenv("GAVELIN_HOME");
    qputenv("GAVELIN_HOME", m_dir.path().toUtf8());
    paths().ensureFolders();
}

TempHome::~TempHome()
{
    if (m_hadHome)
        qputenv("GAVELIN_HOME", m_previousHome);
    else
        qunsetenv("GAVELIN_HOME");
}

QString TempHome::writeFile(const QString& relativePath, const QByteArray& content) const
{
    const QString path = m_dir.filePath(relativePath);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(content);
    return path;
}
