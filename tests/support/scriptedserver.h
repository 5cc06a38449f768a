#pragma once

#include <QByteArray>
#include <QList>
#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

// A loopback TCP server that plays one script to each connection in turn, for mail servers
// that misbehave: a greeting and no more, garbage, a reply cut off by a hang-up. After
// the last step the connection stays open until the client closes it (or the server
// ends), and what the client sends meanwhile is recorded too.
class ScriptedServer
{
public:
    struct Step
    {
        enum Kind
        {
            Send,
            ReadLine,
            // Reads lines until one equals `data` (the end of a mail, ".").
            ReadUntil,
            Pause,
            Close
        };
        Kind kind;
        QByteArray data;
        int milliseconds = 0;
    };
    static Step send(QByteArray data) { return {Step::Send, std::move(data)}; }
    static Step readLine() { return {Step::ReadLine, {}}; }
    static Step readUntil(QByteArray line) { return {Step::ReadUntil, std::move(line)}; }
    static Step pause(int milliseconds) { return {Step::Pause, {}, milliseconds}; }
    static Step hangUp() { return {Step::Close, {}}; }

    explicit ScriptedServer(std::vector<Step> script);
    ~ScriptedServer();

    ScriptedServer(const ScriptedServer&) = delete;
    ScriptedServer& operator=(const ScriptedServer&) = delete;

    int port() const { return m_port; }
    // Every line the clients sent, without line ends, over all connections.
    QList<QByteArray> lines() const;

private:
    void serve();
    void play(int client);
    // Reads one line; false when the client closed or the server stops.
    bool readLine(int client, QByteArray& pending);

    std::vector<Step> m_script;
    int m_listener = -1;
    int m_port = 0;
    std::atomic<bool> m_stop{false};
    mutable std::mutex m_mutex;
    QList<QByteArray> m_lines;
    std::thread m_thread;
};
