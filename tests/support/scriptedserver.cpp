#include "support/scriptedserver.h"

#include <arpa/inet.h>
#include <chrono>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

ScriptedServer::ScriptedServer(std::vector<Step> script) : m_script(std::move(script))
{
    m_listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::listen(m_listener, 8);
    socklen_t length = sizeof address;
    ::getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length);
    m_port = ntohs(address.sin_port);
    m_thread = std::thread([this] { serve(); });
}

ScriptedServer::~ScriptedServer()
{
    m_stop = true;
    m_thread.join();
    ::close(m_listener);
}

QList<QByteArray> ScriptedServer::lines() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_lines;
}

void ScriptedServer::serve()
{
    while (!m_stop) {
        pollfd wait{m_listener, POLLIN, 0};
        if (::poll(&wait, 1, 50) <= 0)
            continue;
        const int client = ::accept(m_listener, nullptr, nullptr);
        if (client < 0)
            continue;
        play(client);
        ::close(client);
    }
}

void ScriptedServer::play(int client)
{
    QByteArray pending;
    for (const Step& step : m_script) {
        switch (step.kind) {
        case Step::Send:
            (void)::send(client, step.data.constData(), size_t(step.data.size()), MSG_NOSIGNAL);
            break;
        case Step::ReadLine:
            if (!readLine(client, pending))
                return;
            break;
        case Step::ReadUntil:
            do {
                if (!readLine(client, pending))
                    return;
            } while (lines().last() != step.data);
            break;
        case Step::Pause:
            std::this_thread::sleep_for(std::chrono::milliseconds(step.milliseconds));
            break;
        case Step::Close:
            return;
        }
    }
    while (readLine(client, pending)) {
    }
}

bool ScriptedServer::readLine(int client, QByteArray& pending)
{
    while (!m_stop) {
        const qsizetype end = pending.indexOf('\n');
        if (end >= 0) {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_lines.append(pending.left(end).trimmed());
            pending.remove(0, end + 1);
            return true;
        }
        pollfd wait{client, POLLIN, 0};
        if (::poll(&wait, 1, 50) <= 0)
            continue;
        char buffer[4096];
        const ssize_t n = ::recv(client, buffer, sizeof buffer, 0);
        if (n <= 0)
            return false;
        pending.append(buffer, n);
    }
    return false;
}
