#include "loopbackserver.h"

#include <chrono>

LoopbackServer::~LoopbackServer()
{
    m_server.stop();
    if (m_thread.joinable())
        m_thread.join();
}

void LoopbackServer::start()
{
    m_port = m_server.bind_to_any_port("127.0.0.1");
    m_thread = std::thread([this] { m_server.listen_after_bind(); });
    for (int i = 0; i < 500 && !m_server.is_running(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
}

QString LoopbackServer::url(const QString& path) const
{
    return QStringLiteral("http://127.0.0.1:%1%2").arg(m_port).arg(path);
}
