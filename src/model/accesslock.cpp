#include "model/accesslock.h"

#include "app/appcontext.h"

bool AccessLock::isRequired() const
{
    return m_settings.lock != 0 && isLocked();
}

bool AccessLock::unlock(const QString& password)
{
    if (m_settings.lock == 0 || password == m_settings.lockPassword) {
        m_locked.store(false);
        return true;
    }
    AppContext::logWrite(deniedText(), ProgramLog::Warning);
    return false;
}

QString AccessLock::deniedText()
{
    return QStringLiteral("Access denied: bad access password entered.");
}

void AccessLock::checkIdle(qint64 localNow, int idleMinutes)
{
    if ((localNow - m_lastActivity.load()) / 60 >= idleMinutes)
        m_locked.store(true);
}
