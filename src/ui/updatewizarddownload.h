#pragma once

#include <QObject>
#include <QString>
#include <atomic>
#include <condition_variable>
#include <mutex>

class QThread;

// Downloads the new version's package into a folder, on a thread of its own, reporting
// the connection's steps, the progress and the rate as it goes. A failure or a cancel
// removes the partial file. Signals are emitted from the download thread; connect them
// to objects of the window's thread (queued).
class UpdateWizardDownload : public QObject
{
    Q_OBJECT
public:
    struct Options
    {
        QString url;
        QString folder;
        // "host:port", empty for a direct connection.
        QString proxy;
        // Sent once after a 401 or 407 answer, when a user name is set.
        QString user;
        QString password;
        // The size the settings announced for the package; 0 when they name none.
        qint64 expectedBytes = 0;
    };

    explicit UpdateWizardDownload(Options options, QObject* parent = nullptr);
    // Stops a running download and waits for its thread.
    ~UpdateWizardDownload() override;

    void start();
    // Holds the download between two reads (while the user is asked), then lets it go on.
    void pause();
    void resume();
    // Ends the download at its next read; the partial file is removed.
    void cancel();

    bool isRunning() const { return m_running.load(); }
    // Where the file is written; known once the download has started.
    QString filePath() const { return m_path; }

    // The state of one transfer, shared with its callbacks.
    struct Transfer;
    // Called between two reads: waits while paused; false once cancelled.
    bool mayGoOn();

Q_SIGNALS:
    // A step of the connection or the transfer ("Connecting to ...", "Retrieving the file").
    void statusChanged(const QString& text);
    // Bytes so far and the whole length; -1 when the server did not say.
    void progressChanged(qint64 done, qint64 total);
    // At most every 200 ms: the rate, and the time left when the length is known.
    void rateChanged(const QString& rate, const QString& timeLeft);
    // The end: the file's path on success, else the message for the user.
    void finished(bool success, const QString& pathOrMessage);

private:
    void run();
    // One request; false with *failure set when no usable answer came.
    bool perform(Transfer& transfer, int authStatus, QString* failure);
    Options m_options;
    QString m_path;
    QThread* m_thread = nullptr;
    std::atomic<bool> m_running{false};
    std::atomic<bool> m_cancel{false};
    std::mutex m_pauseMutex;
    std::condition_variable m_pauseChanged;
    bool m_paused = false;
};
