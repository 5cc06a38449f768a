#include "support/apphome.h"

#include <QFile>

AppHome::AppHome() : m_app(std::make_unique<AppContext>(m_home.paths()))
{
    m_app->log().open(m_home.paths().logFile());
}

AppHome::~AppHome() = default;

QString AppHome::logText() const
{
    QFile file(m_home.paths().logFile());
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.readAll());
}
