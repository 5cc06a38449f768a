#pragma once

#include <QByteArray>
#include <QString>
#include <atomic>
#include <thread>

// A TCP listener on 127.0.0.1 for servers that misbehave: one that accepts and never
// answers, or one that sends part of an answer and drops the connection.
class RawSocketServer
{
public:
    // `reply` is sent to each connection, which is then closed; with `silent` nothing is
    // sent and the connection stays open until the server ends.
    RawSocketServer(QByteArray reply, bool silent);
    ~RawSocketServer();

    RawSocketServer(const RawSocketServer&) = delete;
    RawSocketServer& operator=(const RawSocketServer&) = delete;

    int port() const { return m_port; }
    QString url(const QString& path) const;

private:
    void serve();

    QByteArray m_reply;
    bool m_silent;
    int m_listener = -1;
    int m_port = 0;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};
