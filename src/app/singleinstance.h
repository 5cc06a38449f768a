#pragma once

#include <QObject>
#include <QString>

class QLocalServer;
class QLocalSocket;

// Makes one running copy per user and settings folder. A second copy connects to the
// first, passes its request ("activate", "exit" or "add <url>") and ends.
class SingleInstance : public QObject
{
    Q_OBJECT
public:
    explicit SingleInstance(const QString& configDir, QObject* parent = nullptr);
    ~SingleInstance() override;

    // The socket name for a settings folder: per user, so two users never meet.
    static QString serverName(const QString& configDir);

    // Second copy: sends `request` to a running copy and waits up to `timeoutMs` for it to
    // be carried out. False when no copy runs.
    bool sendToRunning(const QString& request, int timeoutMs) const;

    // First copy: starts answering. False when the socket cannot be made.
    bool listen();

    // Called by the owner when an "exit" request has been carried out up to closing.
    void acknowledgeExit();

Q_SIGNALS:
    void activateRequested();
    void exitRequested();
    void addUrlRequested(const QString& url);

private:
    void onNewConnection();
    void readRequest(QLocalSocket* socket);
    void handleRequest(QLocalSocket* socket, const QString& request);

    QString m_name;
    QLocalServer* m_server = nullptr;
    QLocalSocket* m_pendingExit = nullptr;
};
