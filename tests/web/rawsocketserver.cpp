#include "rawsocketserver.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

RawSocketServer::RawSocketServer(QByteArray reply, bool silent)
    : m_reply(std::move(reply)), m_silent(silent)
{
    m_listener = ::socket(AF_INET, SOCK_STREAM, 0);
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

RawSocketServer::~RawSocketServer()
{
    m_stop = true;
    m_thread.join();
    ::close(m_listener);
}

QString RawSocketServer::url(const QString& path) const
{
    return QStringLiteral("http://127.0.0.1:%1%2").arg(m_port).arg(path);
}

void RawSocketServer::serve()
{
    std::vector<int> open;
    while (!m_stop) {
        pollfd wait{m_listener, POLLIN, 0};
        if (::poll(&wait, 1, 50) <= 0)
            continue;
        const int client = ::accept(m_listener, nullptr, nullptr);
        if (client < 0)
            continue;
        if (m_silent) {
            open.push_back(client);
            continue;
        }
        char request[4096];
        pollfd readable{client, POLLIN, 0};
        if (::poll(&readable, 1, 2000) > 0)
            (void)::recv(client, request, sizeof request, 0);
        (void)::send(client, m_reply.constData(), static_cast<size_t>(m_reply.size()),
                     MSG_NOSIGNAL);
        ::close(client);
    }
    for (const int client : open)
        ::close(client);
}
