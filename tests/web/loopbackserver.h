#pragma once

#include <httplib.h>

#include <QString>
#include <thread>

// An HTTP server on 127.0.0.1 and a free port for one test; register handlers on
// server() before start().
class LoopbackServer
{
public:
    LoopbackServer() = default;
    ~LoopbackServer();

    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    httplib::Server& server() { return m_server; }
    void start();
    int port() const { return m_port; }
    QString url(const QString& path) const;

private:
    httplib::Server m_server;
    std::thread m_thread;
    int m_port = 0;
};
