#pragma once

#include "app/istartuphooks.h"
#include "sites/sitesettings.h"

#include <QObject>
#include <QTimer>
#include <array>
#include <functional>
#include <memory>

class AppContext;
class CBidsDoc;
class ConnectionManager;
class DocumentStore;

// Owns the numbered main timers and carries out the main window's messages. Both the
// desktop program and gavelind run one on the main thread.
class MainController : public QObject, public IStartupHooks
{
    Q_OBJECT
public:
    // Main timer ids, as the log and the tests speak of them.
    enum TimerId
    {
        TimerSiteClock = 1,
        TimerEngineTick = 2,
        TimerAutosave = 3,
        TimerTrayFlash = 4,
        TimerTimeSync = 5,
        TimerOutbidFlash = 6,
        TimerMailCheck = 7,
        TimerSavedSearch = 8,
    };
    // Main-window messages.
    enum Message
    {
        MsgSiteChanged = 0x46B,
        MsgShutdownRequest = 0x46D,
        MsgExternalExit = 0x470,
        MsgMailNotification = 0x472,
        CmdMailCheck = 1235,
        CmdSynchroniseTime = 32803,
    };

    static constexpr int kSiteClockMs = 1000;
    static constexpr int kEngineTickMs = 5000;
    static constexpr int kFlashMs = 500;
    static constexpr int kUnsyncedTimeSyncMs = 60000;
    static constexpr int kSavedSearchMs = 15000;

    using WindowFactory = std::function<IMainWindow*()>;

    MainController(AppContext& app, WindowFactory createWindow, QObject* parent = nullptr);
    ~MainController() override;

    // The bid list the program works on, for its whole run.
    CBidsDoc& document() { return *m_document; }
    DocumentStore& documentStore() { return *m_store; }

    bool isTimerActive(TimerId id) const;
    int timerInterval(TimerId id) const;

    // A second copy asked this one to quit: save the list silently, then end.
    void externalExit();

    // IStartupHooks
    void showSplashText(const QString& text) override;
    void closeSplash() override;
    void showStartupMessage(const IMainWindow::Question& question) override;
    IMainWindow* createMainWindow() override;
    void verifyConnection() override;
    bool loadSiteSettings() override;
    void loadBidList() override;
    bool synchroniseTime() override;
    void startTimers(bool timeSynchronised) override;
    void showMainWindow(bool minimized) override;
    void openStartPage(const QString& addUrl) override;
    void startWizards(bool newVersionAvailable) override;
    void startSavedSearchTimer() override;
    void shutdown() override;

    // The desktop program shows its splash and start-up messages itself.
    std::function<void(const QString&)> splashHandler;
    std::function<void()> closeSplashHandler;
    std::function<void(const IMainWindow::Question&)> startupMessageHandler;
    std::function<void(bool minimized)> showWindowHandler;

Q_SIGNALS:
    // Everything the list must do before the program ends has been done.
    void exitPrepared();

private:
    QTimer& timer(TimerId id);
    const QTimer& timer(TimerId id) const;
    void startTimer(TimerId id, int milliseconds);
    void stopTimer(TimerId id);
    void onTimer(TimerId id);

    AppContext& m_app;
    WindowFactory m_createWindow;
    IMainWindow* m_window = nullptr;
    SiteSettings m_siteSettings;
    std::unique_ptr<ConnectionManager> m_connections;
    std::unique_ptr<CBidsDoc> m_document;
    std::unique_ptr<DocumentStore> m_store;
    std::array<QTimer, 8> m_timers;
};
