#pragma once

#include "app/workerthread.h"
#include "engine/dialupconnection.h"
#include "engine/iconnectivityprobe.h"
#include "engine/iprocessrunner.h"
#include "web/iinternetaccess.h"

#include <QObject>
#include <QString>
#include <atomic>
#include <memory>
#include <mutex>

class AppContext;
class DialWorker;
class QEventLoop;

// The program's Internet connection: the connection test, dialling the configured pppd
// entry when the engine needs the network, hanging up a line the program dialled, and
// the offline switch. Installs itself as the access check of every page download.
//
// The manager lives on the thread that makes it (the main thread). ensureConnection(),
// isOffline(), goOnline() and the flags may be called from any thread, as page downloads
// run everywhere; they read the published settings snapshot. Dialling runs on a dial
// thread of the manager's own and reports back on the manager's thread, where the line is
// recorded and the signals are emitted; everything else runs on the manager's thread.
class ConnectionManager : public QObject, public IInternetAccess
{
    Q_OBJECT
public:
    // How long a dialled link may take to come up.
    static constexpr int kDefaultLinkWaitMs = 90000;
    static constexpr int kAutoDisconnectSeconds = 10;

    // Null seams take the real probe and process runner.
    explicit ConnectionManager(AppContext& app, std::shared_ptr<IConnectivityProbe> probe = nullptr,
                               std::shared_ptr<IProcessRunner> runner = nullptr,
                               QObject* parent = nullptr);
    ~ConnectionManager() override;

    static ConnectionManager* current();

    // The connection test: true when connected; logs why not (and the offline state).
    bool testConnection();
    // Connected now; otherwise may start dialling in the background and answers false.
    bool ensureConnection() override;
    bool isOffline() override { return m_offline.load(); }
    // Offline mode is the user's choice: it is left only by switching it off.
    bool goOnline(const QString& url) override;
    void setWorkOffline(bool offline) { m_offline = offline; }

    // Start-up: a connection that exists before the program dials is the user's own.
    bool verifyAtStartup();
    // Hangs up the line the program dialled, when the system reports a connection.
    bool hangUp();
    // The timed "Auto-disconnect" question; yes hangs up, any other answer keeps the line
    // and stops automatic disconnection until the program dials again. Not asked while a
    // download runs (the next tick asks again). True when the line was dropped.
    bool askAutoDisconnect();
    // Program exit with a line the program dialled: at session end hang up at once,
    // otherwise ask "Close Internet connection?".
    void disconnectOnExit(bool sessionEnding);

    bool manualConnection() const { return m_manual.load(); }
    void setManualConnection(bool manual) { m_manual = manual; }
    bool dialInProgress() const { return m_dialInProgress.load(); }
    // Whether the program holds a line it dialled.
    bool holdsDialConnection() const;
    // Waits for a dial job to end, running the event loop of the manager's thread, where
    // the job reports; false on time-out.
    bool waitForDialJob(int milliseconds);
    void setLinkWaitMs(int milliseconds) { m_linkWaitMs = milliseconds; }
    DialUpConnection& dialUp() { return m_dialUp; }

Q_SIGNALS:
    // After a successful dial while the clock is not yet synchronised: run time sync
    // (command 32803) and send the internal browser to its start page (command 32789).
    void timeSyncRequested();
    void startPageRequested();

private:
    IConnectivityProbe::State query();
    void recordLine(const QString& entry);
    void dialEnded(const QString& entry, bool dialled, const QString& error, bool woke);

    AppContext& m_app;
    std::shared_ptr<IConnectivityProbe> m_probe;
    std::shared_ptr<IProcessRunner> m_runner;
    DialUpConnection m_dialUp;
    std::atomic<bool> m_offline{false};
    std::atomic<bool> m_manual{false};
    std::atomic<bool> m_dialInProgress{false};
    std::atomic<int> m_linkWaitMs{kDefaultLinkWaitMs};
    mutable std::mutex m_lineMutex;
    QString m_dialledEntry; // the "connection handle": the entry the program dialled
    WorkerThread m_dialThread;
    DialWorker* m_dialer = nullptr; // lives on m_dialThread
    QEventLoop* m_dialWait = nullptr;
};
