#pragma once

#include <QObject>
#include <QString>
#include <memory>

class AppContext;
class SiteSettings;
class WorkerThread;

// Runs the start-up check of the saved searches on a thread of its own (main timer 8)
// and shows what it found in an information box of the main window. Lives on the main
// thread; a check still loading when this object goes is left to end on its own.
class StartupSearchRunner : public QObject
{
    Q_OBJECT
public:
    StartupSearchRunner(AppContext& app, const SiteSettings& sites, QObject* parent = nullptr);
    ~StartupSearchRunner() override;

    // Reads the saved searches and starts loading them; nothing when none is marked. A
    // check already running is left alone.
    void start();
    bool isRunning() const { return m_running; }

Q_SIGNALS:
    // The check is over; `message` is what the user was shown (empty: nothing found).
    void finished(const QString& message);

private:
    void report(const QStringList& found);

    AppContext& m_app;
    const SiteSettings& m_sites;
    std::unique_ptr<WorkerThread> m_thread;
    bool m_running = false;
};
