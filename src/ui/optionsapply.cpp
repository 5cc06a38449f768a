#include "ui/optionsapply.h"

#include "app/appcontext.h"
#include "app/autostart.h"
#include "app/imainwindow.h"
#include "app/stringtable.h"
#include "sites/siteaccess.h"
#include "sites/sitesettings.h"

#include <QCoreApplication>
#include <QCursor>
#include <QGuiApplication>

COptionsApply::COptionsApply(AppContext& app, Hooks hooks) : m_app(app), m_hooks(std::move(hooks))
{
}

void COptionsApply::commit(const AppSettings& before, bool siteValuesChanged)
{
    ProgramLog& log = m_app.log();
    AppSettings& settings = m_app.settings();
    log.write(AppSettings::changeOptionsHeader(), ProgramLog::Info);

    Registry& registry = m_app.userRegistry();
    settings.writeAll(registry);
    m_app.publishSettings();
    // Saving the options is the user's word that a damaged settings file may be replaced.
    registry.commitDamaged();
    registry.sync();

    const bool autoTimeSyncChanged = settings.autoTimeSync != before.autoTimeSync;
    for (const QString& line : settings.changeOptionsDump(autoTimeSyncChanged))
        log.write(line, ProgramLog::Info);
    bool timeSyncWanted = autoTimeSyncChanged;

    if (m_hooks.listBackground)
        m_hooks.listBackground(settings.listBackground != 0);
    applyAutostart(before);
    if (settings.autoSave && m_hooks.autosaveNow)
        m_hooks.autosaveNow();
    if (m_hooks.restartAutosave)
        m_hooks.restartAutosave(qMax(1, settings.autoSaveTime));

    if (siteValuesChanged) {
        QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
        SaveSiteSettings();
        QGuiApplication::restoreOverrideCursor();
    }
    applySite(before, &timeSyncWanted);
    if (timeSyncWanted && m_hooks.synchroniseTime)
        m_hooks.synchroniseTime();
    if (m_hooks.settingsApplied)
        m_hooks.settingsApplied();

    log.write(AppSettings::changeOptionsFooter(), ProgramLog::Info);
    log.write(StringTable::text(482).replace(QLatin1String("%s"), settings.currentSite),
              ProgramLog::Info);
}

void COptionsApply::applyAutostart(const AppSettings& before)
{
    const bool enabled = m_app.settings().autoStartup != 0;
    // Ticking the box is the user's word for this very program, wherever it lies; a box
    // that was already ticked only keeps an installed program's entry current.
    const bool ticked = enabled && before.autoStartup == 0;
    bool done;
    if (m_hooks.autostart) {
        done = m_hooks.autostart(enabled);
    } else {
        const Autostart autostart(m_app.paths().autostartDir());
        const QString program = QCoreApplication::applicationFilePath();
        done = ticked ? autostart.apply(enabled, program) : autostart.keep(enabled, program);
    }
    if (!done)
        m_app.log().write(QStringLiteral("Unable to access registry section RUN."),
                          ProgramLog::Error);
}

void COptionsApply::applySite(const AppSettings& before, bool* timeSyncWanted)
{
    const QString site = m_app.settings().currentSite;
    if (site.compare(before.currentSite, Qt::CaseInsensitive) == 0)
        return;
    m_app.log().write(StringTable::text(518).replace(QLatin1String("%s"), site), ProgramLog::Info);
    if (SiteSettings* sites = SiteSettings::current())
        sites->setCurrentSite(site, m_app.machineRegistry());
    LoadSiteSettings();
    if (IMainWindow* window = m_app.mainWindow())
        window->siteChanged();
    if (m_hooks.siteChanged)
        m_hooks.siteChanged();
    // The new site has its own official time.
    *timeSyncWanted = true;
}
