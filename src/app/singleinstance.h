#pragma once

#include "app/controlregistry.h"

#include <QObject>
#include <QString>

class ControlServer;

// Makes one running copy per user and settings folder. A second copy connects to the
// first over the control socket (see ControlProtocol), passes its request ("activate",
// "exit" or "add-url") and ends. The same socket carries the control commands that the
// programs register in registry().
class SingleInstance : public QObject
{
    Q_OBJECT
public:
    explicit SingleInstance(const QString& configDir, QObject* parent = nullptr);
    ~SingleInstance() override;

    // The socket for a settings folder: in the user's private runtime folder, so two users
    // never meet; empty when there is no such folder.
    static QString serverName(const QString& configDir);

    // Second copy: sends `request` ("activate", "exit" or "add <url>") to a running copy
    // and waits up to `timeoutMs` for it to be carried out. False when no copy runs.
    bool sendToRunning(const QString& request, int timeoutMs) const;

    // First copy: starts answering. False when the socket cannot be made.
    bool listen();

    // Called by the owner when an "exit" request has been carried out up to closing.
    void acknowledgeExit();

    // The commands this copy answers; the hand-over's three are there from the start.
    ControlRegistry& registry() { return m_registry; }

Q_SIGNALS:
    void activateRequested();
    void exitRequested();
    void addUrlRequested(const QString& url);

private:
    QString m_name;
    ControlRegistry m_registry;
    ControlServer* m_server = nullptr;
    ControlRegistry::Reply m_pendingExit;
};
