#pragma once

#include "app/istartuphooks.h"
#include "sites/siteprofile.h"
#include "sites/sitesettings.h"

#include <QObject>
#include <QTimer>
#include <array>
#include <functional>
#include <memory>
#include <optional>

class AppContext;
class BidScheduler;
class BidStarter;
class CBidsDoc;
class ClockJumpDetector;
class CRefreshThread;
class ConnectionManager;
class DocumentStore;
class EngineBidEffects;
class IBidWorker;
class IProcessRunner;
class TimeSynchroniser;

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
    // Timers 4 and 6 end after this many expiries (10 s).
    static constexpr int kFlashSteps = 20;

    // The worker threads as the tick and the commands see them. The defaults are the real
    // CBidThread and CRefreshThread (see enginethreads.cpp); tests replace them.
    struct Threads
    {
        std::function<IBidWorker*(const QString& itemId)> createBidThread;
        std::function<void(IBidWorker*, SiteProfile)> postBidStart;
        std::function<void(IBidWorker*, SiteProfile, bool forDelete)> postBidRetract;
        std::function<void(IBidWorker*)> pollBidThread;
        std::function<void(SiteProfile)> startRefresh;
        std::function<void()> pollRefresh;
        std::function<void()> stopRefresh;
    };
    // The steps of the engine tick, in their order; each defaults to the real work.
    struct TickSteps
    {
        std::function<void()> connectionIndicator;
        std::function<void()> idleCheck;
        std::function<void()> scheduler;
        std::function<void()> refreshPoll;
        std::function<void()> bidThreadPoll;
        std::function<void()> autoDisconnect;
    };

    using WindowFactory = std::function<IMainWindow*()>;

    MainController(AppContext& app, WindowFactory createWindow, QObject* parent = nullptr);
    ~MainController() override;

    // The bid list the program works on, for its whole run.
    CBidsDoc& document() { return *m_document; }
    DocumentStore& documentStore() { return *m_store; }

    bool isTimerActive(TimerId id) const;
    int timerInterval(TimerId id) const;

    BidScheduler& scheduler() { return *m_scheduler; }
    BidStarter& starter() { return *m_starter; }
    TimeSynchroniser& timeSynchroniser() { return *m_timeSync; }
    ConnectionManager& connections() { return *m_connections; }
    Threads& threads() { return m_threads; }
    TickSteps& tickSteps() { return m_tickSteps; }
    // The engine tick's period (5 s); tests shorten it.
    void setEngineTickMs(int milliseconds);

    // One engine tick (timer 2), in order: connection indicator, idle check, and with the
    // list loaded the scheduler's scan, the refresh poll, the poll of every bid thread and
    // the auto-disconnect check.
    void engineTick();
    // A command posted to the bids view: 32807 start ready bids, 32779 redisplay, 32853
    // outbid scan. Main thread.
    void handleBidsViewCommand(int command);
    // Options applied or the current site changed: the refresh thread starts anew with a
    // fresh profile, and after a site change every item is read again.
    void settingsApplied();
    void currentSiteChanged();

    // Timer 4: a bid started. Timer 6: the outbid indicator.
    void startTrayFlash();
    void setOutbidIndicator(bool on);
    bool outbidIndicator() const { return m_outbidIndicator; }
    int flashCount() const { return m_flashCount; }

    // One expiry of a main timer, as the timer runs it; tests drive the timers with it.
    void onTimer(TimerId id);

    // A second copy asked this one to quit: save the list silently, then end.
    void externalExit();
    // Message 0x46D: a bid the user marked has finished; switch the computer off after the
    // count-down question, or wait for the bid that still runs. Main thread.
    void handleShutdownRequest();
    // Runs "systemctl poweroff" for the shutdown request; tests replace it.
    void setProcessRunner(std::shared_ptr<IProcessRunner> runner);

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
    // The start-up check of the saved searches (timer 8, once); the search layer sits
    // beside the engine, so the program that owns both connects them.
    std::function<void()> savedSearchCheck;
    // The mail commands and notifications sit beside the engine too. Command 1235 (timer 7
    // and "Check mail now"): start one poll of the command mailbox unless one runs.
    std::function<void()> mailCheck;
    // Message 0x472: 1 an auction has ended, 2 outbid (for the item), 3 the bids list.
    std::function<void(int kind, const QString& itemId)> mailNotification;
    // An item page address given at start (`--add URL`): the desktop program opens the
    // item dialog for it once the window shows.
    std::function<void(const QString& url)> addUrlHandler;
    // Shows a page in the window's browser: `source` as the bid thread read it, or, when
    // empty, the page at `url` (the site's maintenance notice).
    std::function<void(const QString& url, const QByteArray& source, const QString& contentType)>
        showPageHandler;
    // The end of start-up: the wizards are windows, so the desktop program opens them.
    std::function<void(bool newVersion)> wizardsHandler;

    // Command 1235.
    void checkMail();
    // Message 0x472, on the main thread.
    void handleMailNotification(int kind, const QString& itemId);

    const SiteSettings& siteSettings() const { return m_siteSettings; }
    // What the last connection test of the engine tick found; none before the first tick.
    std::optional<bool> lastConnectionTest() const { return m_lastConnectionTest; }

Q_SIGNALS:
    // Everything the list must do before the program ends has been done.
    void exitPrepared();

private:
    QTimer& timer(TimerId id);
    const QTimer& timer(TimerId id) const;
    void startTimer(TimerId id, int milliseconds);
    void stopTimer(TimerId id);
    void trayFlashStep();
    void outbidFlashStep();
    void pollBidThreads();
    void autoDisconnectCheck();
    void startRefreshThread();
    void installDefaultThreads();

    AppContext& m_app;
    WindowFactory m_createWindow;
    IMainWindow* m_window = nullptr;
    SiteSettings m_siteSettings;
    std::unique_ptr<ConnectionManager> m_connections;
    std::unique_ptr<CBidsDoc> m_document;
    std::unique_ptr<DocumentStore> m_store;
    std::array<QTimer, 8> m_timers;
    std::unique_ptr<TimeSynchroniser> m_timeSync;
    std::unique_ptr<ClockJumpDetector> m_clockJumps;
    std::unique_ptr<BidScheduler> m_scheduler;
    std::unique_ptr<BidStarter> m_starter;
    std::unique_ptr<EngineBidEffects> m_effects;
    std::unique_ptr<CRefreshThread> m_refresh;
    std::shared_ptr<IProcessRunner> m_processRunner;
    Threads m_threads;
    TickSteps m_tickSteps;
    int m_engineTickMs = kEngineTickMs;
    bool m_listLoaded = false;
    // Timers 4 and 6 share one counter and one alternation flag.
    int m_flashCount = 0;
    bool m_flashAlternate = false;
    bool m_outbidIndicator = false;
    std::optional<bool> m_lastConnectionTest;
};
