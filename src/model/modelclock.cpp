#include "model/modelclock.h"

#include "app/appcontext.h"

#include <QDateTime>

qint64 ModelClock::localNow()
{
    if (AppContext* app = AppContext::current())
        return app->clock().localNow();
    return QDateTime::currentSecsSinceEpoch();
}

qint64 ModelClock::siteNow()
{
    if (AppContext* app = AppContext::current())
        return app->clock().siteNow();
    return QDateTime::currentSecsSinceEpoch();
}
