// The control socket in one process: a server on the test's thread, blocking clients on
// threads of their own.

#include "app/controlserver.h"
#include "app/controlclient.h"
#include "app/controlprotocol.h"
#include "app/controlregistry.h"
#include "support/temphome.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLocalSocket>
#include <QThread>
#include <atomic>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <thread>

namespace {

void ensureApplication()
{
    static int argc = 1;
    static char name[] = "test_app";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance())
        new QCoreApplication(argc, argv);
}

// Runs the server's event loop until every client thread has ended.
void serveUntilDone(std::vector<std::thread>& clients, const std::atomic<int>& running)
{
    QElapsedTimer timer;
    timer.start();
    while (running.load() > 0 && timer.elapsed() < 20000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    for (std::thread& client : clients)
        client.join();
}

// Sends raw bytes and reads the one reply line (empty when none came).
QJsonObject rawExchange(const QString& path, const QByteArray& bytes, bool waitForClose,
                        bool* closed)
{
    QLocalSocket socket;
    socket.connectToServer(path);
    if (!socket.waitForConnected(5000))
        return {};
    socket.write(bytes);
    socket.waitForBytesWritten(5000);
    while (!socket.canReadLine() && socket.waitForReadyRead(5000)) {
    }
    const QJsonObject reply = ControlProtocol::decode(socket.readLine(), nullptr);
    *closed = socket.state() == QLocalSocket::UnconnectedState ||
              (waitForClose && socket.waitForDisconnected(5000));
    return reply;
}

TEST(ControlServerTest, AnswersOneRequestAtATimeAndRefusesBadInput)
{
    ensureApplication();
    TempHome home;
    ControlRegistry registry;
    std::atomic<int> order{0};
    ControlRegistry::Reply slowReply;
    bool slowAnswered = false;
    bool echoRanAfterSlow = false;
    registry.add("echo", [&](const QJsonObject& request) {
        echoRanAfterSlow = slowAnswered;
        return QJsonObject{{"x", request.value("x")}};
    });
    registry.addDeferred("slow", [&](const QJsonObject&, ControlRegistry::Reply reply) {
        slowReply = std::move(reply);
    });
    ControlServer server(registry);
    const QString path = ControlProtocol::socketPath(home.paths().configDir());
    ASSERT_FALSE(path.isEmpty());
    EXPECT_EQ(ControlClient(path).call(ControlProtocol::request("echo"), 1000),
              ControlClient::Result::NotRunning);
    ASSERT_TRUE(server.listen(path));
    struct stat info = {};
    ASSERT_EQ(stat(path.toLocal8Bit().constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);

    // "slow" is answered only when the test says so; "echo", sent meanwhile, waits.
    std::atomic<int> running{2};
    int slowOrder = -1;
    int echoOrder = -1;
    QJsonObject echoed;
    std::vector<std::thread> clients;
    clients.emplace_back([&] {
        ControlClient client(path);
        if (client.call(ControlProtocol::request("slow"), 10000) == ControlClient::Result::Answered)
            slowOrder = order++;
        --running;
    });
    clients.emplace_back([&] {
        QThread::msleep(200); // after "slow"
        ControlClient client(path);
        QJsonObject request = ControlProtocol::request("echo");
        request.insert("x", 42);
        if (client.call(request, 10000) == ControlClient::Result::Answered) {
            echoOrder = order++;
            echoed = client.reply();
        }
        --running;
    });
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 800)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_EQ(order.load(), 0) << "the second command ran before the first was answered";
    ASSERT_TRUE(slowReply);
    slowAnswered = true;
    slowReply(QJsonObject{{"done", true}});
    slowReply(QJsonObject{{"twice", true}}); // a second answer goes nowhere
    serveUntilDone(clients, running);
    EXPECT_GE(slowOrder, 0);
    EXPECT_GE(echoOrder, 0);
    EXPECT_TRUE(echoRanAfterSlow);
    EXPECT_EQ(echoed.value("x").toInt(), 42);
    EXPECT_TRUE(echoed.value("ok").toBool());
    EXPECT_EQ(echoed.value("v").toInt(), ControlProtocol::kVersion);

    // Bad input is answered with a reason and the connection closed.
    struct Case
    {
        QByteArray bytes;
        QString reason;
    };
    const Case cases[] = {
        {"this is no json\n", "malformed request"},
        {"[1,2]\n", "malformed request: not a JSON object"},
        {QByteArray(ControlProtocol::kMaxLineBytes + 10, 'x'), "request too long"},
        {"{\"v\":1,\"command\":\"" + QByteArray(ControlProtocol::kMaxLineBytes, 'a') + "\"}\n",
         "request too long"},
        {"{\"v\":2,\"command\":\"echo\"}\n", "unsupported protocol version 2"},
        {"{\"command\":\"echo\"}\n", "unsupported protocol version"},
        {"{\"v\":1,\"command\":\"nope\"}\n", "unknown command 'nope'"},
    };
    for (const Case& bad : cases) {
        running = 1;
        QJsonObject reply;
        bool closed = false;
        clients.clear();
        clients.emplace_back([&] {
            reply = rawExchange(path, bad.bytes, !bad.reason.startsWith("unknown"), &closed);
            --running;
        });
        serveUntilDone(clients, running);
        EXPECT_FALSE(reply.value("ok").toBool(true)) << bad.bytes.left(40).constData();
        EXPECT_TRUE(reply.value("error").toString().startsWith(bad.reason))
            << reply.value("error").toString().toStdString();
        if (!bad.reason.startsWith("unknown")) {
            EXPECT_TRUE(closed) << bad.bytes.left(40).constData();
        }
    }
}

} // namespace
