#include "app/appcontext.h"

#include "app/stringtable.h"

namespace {
std::atomic<AppContext*> g_current{nullptr};
}

AppContext::AppContext(const AppPaths& paths)
    : m_paths(paths), m_userRegistry(std::make_unique<Registry>(paths.userSettingsFile())),
      m_machineRegistry(std::make_unique<Registry>(paths.machineSettingsFile())), m_log(m_clock)
{
    m_versionApp = builtInVersion();
    m_published = std::make_shared<const AppSettings>(m_settings);
    g_current.store(this);
}

AppContext::~AppContext()
{
    AppContext* self = this;
    g_current.compare_exchange_strong(self, nullptr);
    m_log.setMainWindow(nullptr);
}

AppContext* AppContext::current()
{
    return g_current.load();
}

std::shared_ptr<const AppSettings> AppContext::settingsSnapshot() const
{
    // std::atomic<std::shared_ptr> is not in GCC 12's library; a short lock does the same.
    std::lock_guard<std::mutex> lock(m_publishedMutex);
    return m_published;
}

void AppContext::publishSettings()
{
    auto copy = std::make_shared<const AppSettings>(m_settings);
    std::lock_guard<std::mutex> lock(m_publishedMutex);
    m_published = std::move(copy);
}

void AppContext::setMainWindow(IMainWindow* window)
{
    m_window.store(window);
    m_log.setMainWindow(window);
}

int AppContext::builtInVersion()
{
    return (GAVELIN_VERSION_MAJOR << 16) | GAVELIN_VERSION_MINOR;
}

void AppContext::readVersion()
{
    m_versionApp = m_machineRegistry->readInt(QString(), "versionApp", builtInVersion());
    m_ssVer = m_machineRegistry->readInt(QString(), "SSVer", 0);
}

QString AppContext::versionText() const
{
    const unsigned v = static_cast<unsigned>(m_versionApp);
    return QString::asprintf("%d.%.2d", static_cast<int>(v >> 16), static_cast<int>(v & 0xffff));
}

QString AppContext::applicationTitle()
{
    const QString title = StringTable::text(57344);
    return title.isEmpty() ? QStringLiteral("Gavelin") : title;
}

QString AppContext::logWrite(const QString& text, int level)
{
    if (AppContext* app = current())
        return app->log().write(text, level);
    return QString();
}

QString AppContext::logMessage(const QString& text, int level)
{
    if (AppContext* app = current())
        return app->log().message(text, level);
    return QString();
}
