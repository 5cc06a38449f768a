#include "app/startupsequence.h"

#include "app/appcontext.h"
#include "app/autostart.h"
#include "app/imainwindow.h"
#include "app/istartuphooks.h"
#include "app/singleinstance.h"
#include "app/systeminfo.h"

#include <QFile>

namespace {
constexpr int kExitHandOverTimeoutMs = 60000;
constexpr int kHandOverTimeoutMs = 5000;
} // namespace

StartupSequence::StartupSequence(AppContext& app, IStartupHooks& hooks, Options options)
    : m_app(app), m_hooks(hooks), m_options(std::move(options))
{
}

StartupSequence::HandOver StartupSequence::handOver(const CommandLine& commandLine,
                                                    SingleInstance& instance)
{
    if (commandLine.exit) {
        // The running copy saves its list silently and closes; with none, end at once.
        instance.sendToRunning(QStringLiteral("exit"), kExitHandOverTimeoutMs);
        return HandOver::Exit;
    }
    const QString request = commandLine.addUrl.isEmpty()
                                ? QStringLiteral("activate")
                                : QStringLiteral("add ") + commandLine.addUrl;
    if (instance.sendToRunning(request, kHandOverTimeoutMs))
        return HandOver::Exit;
    // A socket that cannot be made only costs the hand-over; the program still runs.
    instance.listen();
    return HandOver::Continue;
}

void StartupSequence::splash(const QString& text)
{
    if (m_app.settings().showSplash)
        m_hooks.showSplashText(text);
}

bool StartupSequence::run(const CommandLine& commandLine)
{
    m_app.readVersion();
    m_app.setStartMinimized(commandLine.minimize);
    copyFirstStartProfile();
    m_app.settings().readKey(m_app.userRegistry(), &AppSettings::showSplash);
    m_app.paths().ensureFolders();

    splash(QStringLiteral("Gavelin Loading......"));
    splash(QStringLiteral("Create log file..."));
    openLog();

    splash(QStringLiteral("Read program settings from registry..."));
    readSettings();

    splash(QStringLiteral("Create document templates..."));
    splash(QStringLiteral("Create main frame..."));
    IMainWindow* window = m_hooks.createMainWindow();
    if (!window) {
        m_hooks.closeSplash();
        m_app.log().write(QStringLiteral("Fail load main frame of program!"), ProgramLog::Error);
        return false;
    }
    m_app.setMainWindow(window);
    m_started = true;

    splash(QStringLiteral("Creating menus..."));
    splash(QStringLiteral("Verifying connect to Internet..."));
    m_hooks.verifyConnection();

    splash(QStringLiteral("Load updated settings..."));
    const bool newVersion = m_hooks.loadSiteSettings();

    for (const QString& line : m_app.settings().startupDump())
        m_app.log().write(line, ProgramLog::Info);

    splash(QStringLiteral("Load recent file..."));
    m_hooks.loadBidList();

    splash(QStringLiteral("Time synchronization......"));
    const bool synchronised = m_hooks.synchroniseTime();
    m_hooks.startTimers(synchronised);

    m_hooks.closeSplash();
    m_hooks.showMainWindow(m_app.startMinimized());
    if (m_app.startMinimized())
        window->showTrayBalloon(
            AppContext::applicationTitle(),
            QStringLiteral("The program is running and is currently minimized.\n"
                           "To restore, click on the program icon\n"
                           "located in taskbar status area."),
            2000);

    m_hooks.openStartPage(commandLine.addUrl);
    m_hooks.startWizards(newVersion);
    m_app.setStartTime(m_app.clock().localNow());
    m_hooks.startSavedSearchTimer();
    return true;
}

void StartupSequence::copyFirstStartProfile()
{
    Registry& user = m_app.userRegistry();
    AppSettings& settings = m_app.settings();
    settings.readKey(user, &AppSettings::profileCopyPending);
    if (!settings.profileCopyPending)
        return;
    // A machine-wide profile prepared by the installer seeds a new user's settings.
    Registry& machine = m_app.machineRegistry();
    if (machine.subsections("Profile").contains(QStringLiteral("Gavelin")) &&
        !machine.copyTree("Profile\\Gavelin", user, QString()))
        m_deferredError = QStringLiteral("The error of the copying \"Profile\" key in registry!");
    settings.profileCopyPending = 0;
    settings.writeKey(user, &AppSettings::profileCopyPending);
}

void StartupSequence::openLog()
{
    ProgramLog& log = m_app.log();
    AppSettings& settings = m_app.settings();
    settings.readKey(m_app.userRegistry(), &AppSettings::logSizeLimit);
    if (!log.open(m_app.paths().logFile(), settings.logSizeLimit)) {
        IMainWindow::Question question;
        question.text =
            QStringLiteral("Unable to open log file. Message logging will be disabled.");
        question.caption = AppContext::applicationTitle();
        question.icon = IMainWindow::Icon::Warning;
        m_hooks.showStartupMessage(question);
    }
    writeSessionHeader();
    if (!m_deferredError.isEmpty())
        log.write(m_deferredError, ProgramLog::Error);
    const Registry& user = m_app.userRegistry();
    const Registry& machine = m_app.machineRegistry();
    for (const Registry* registry : {&user, &machine}) {
        if (registry->isDamaged())
            log.write(QStringLiteral("Settings file %1 %2: defaults are used and the file is "
                                     "kept until %3.")
                          .arg(registry->path(), registry->damageReason(),
                               registry == &user
                                   ? QStringLiteral("the options are saved or \"gavelind "
                                                    "settings set --force\" replaces it")
                                   : QStringLiteral("\"gavelind settings set --force\" "
                                                    "replaces it")),
                      ProgramLog::Error);
        else if (!registry->notice().isEmpty())
            log.write(
                QStringLiteral("Settings file %1 %2.").arg(registry->path(), registry->notice()),
                ProgramLog::Warning);
    }
}

void StartupSequence::writeSessionHeader()
{
    ProgramLog& log = m_app.log();
    log.write(QStringLiteral("Log session started successfully."), ProgramLog::Success);
    log.write(QStringLiteral("Product version:") + m_app.versionText(), ProgramLog::Info);
    log.write(QStringLiteral("Settings version:") +
                  QString::asprintf("0x%x", static_cast<unsigned>(m_app.settingsVersion())),
              ProgramLog::Info);
    const QString os = SystemInfo::operatingSystemName();
    if (os.isEmpty())
        log.write(QStringLiteral("Unknown operating system version."), ProgramLog::Warning);
    else
        log.write(os, ProgramLog::Info);
    const QString http = SystemInfo::httpEngineVersion();
    if (http.isEmpty())
        log.write(QStringLiteral("Unknown HTTP engine version."), ProgramLog::Warning);
    else
        log.write(QStringLiteral("HTTP engine version: libcurl %1").arg(http), ProgramLog::Info);
    log.write(QStringLiteral("Browser engine version: %1").arg(SystemInfo::browserEngineVersion()),
              ProgramLog::Info);
}

void StartupSequence::readSettings()
{
    AppSettings& settings = m_app.settings();
    settings.readAll(m_app.userRegistry());
    m_app.publishSettings();
    m_app.log().write(settings.loginLine(), ProgramLog::Info);
    if (!m_options.desktop)
        return;
    const Autostart autostart(m_app.paths().autostartDir());
    if (!autostart.keep(settings.autoStartup != 0, m_options.programPath))
        m_app.log().write(QStringLiteral("Unable to access registry section RUN."),
                          ProgramLog::Error);
}

void StartupSequence::finish()
{
    // A start-up that ended early never loaded the list: its autosave copy may be the only
    // record of the last run and stays for the next start.
    if (m_started) {
        m_hooks.shutdown();
        QFile::remove(m_app.paths().autosaveFile());
        QFile::remove(m_app.paths().autosaveOriginFile());
    }
    ProgramLog& log = m_app.log();
    if (log.isOpen()) {
        log.write(QStringLiteral("Log session closed successfully.\r\n"), ProgramLog::Success);
        log.close();
    }
    m_app.setMainWindow(nullptr);
}
