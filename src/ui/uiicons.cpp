#include "ui/uiicons.h"

#include <array>

// The pictures live in this static library's resources, which a program has to register;
// doing it here spares every program and test that shows a window.
static void registerPictures()
{
    static const bool registered = [] {
        Q_INIT_RESOURCE(ui);
        return true;
    }();
    Q_UNUSED(registered);
}

namespace UiIcons {

QIcon named(const QString& name)
{
    registerPictures();
    return QIcon(QStringLiteral(":/icons/%1.svg").arg(name));
}

QIcon status(int statusCode)
{
    if (statusCode < 0 || statusCode > 10)
        statusCode = 10;
    return named(QStringLiteral("status-%1").arg(statusCode));
}

QIcon level(int level)
{
    switch (level) {
    case 1:
        return named(QStringLiteral("level-success"));
    case 2:
        return named(QStringLiteral("level-warning"));
    case 3:
        return named(QStringLiteral("level-error"));
    default:
        return named(QStringLiteral("level-info"));
    }
}

QIcon siteFlag(int siteNumber)
{
    // In site-number order: United States, Germany, United Kingdom, Australia, Austria,
    // Switzerland, Italy, Canada, France, Ireland.
    static const std::array<const char*, 10> flags = {"us", "de", "gb", "au", "at",
                                                      "ch", "it", "ca", "fr", "ie"};
    if (siteNumber < 1 || siteNumber > static_cast<int>(flags.size()))
        return named(QStringLiteral("flag-unknown"));
    return named(QStringLiteral("flag-") + QLatin1String(flags[siteNumber - 1]));
}

QIcon application()
{
    return named(QStringLiteral("gavelin"));
}

} // namespace UiIcons
