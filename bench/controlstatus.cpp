// `gavelind status --json` with 10,000 bids: the running copy's reply (bids copied under
// the items lock, then JSON), the trip over the control socket and the client's printing.
// Goal: under 100 ms for the whole command.

#include "engine/controlstatus.h"
#include "app/controlclient.h"
#include "app/controlprotocol.h"
#include "app/controlregistry.h"
#include "app/controlserver.h"
#include "app/siteclock.h"
#include "model/bidsdoc.h"

#include <QCoreApplication>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <QThread>
#include <benchmark/benchmark.h>

namespace {

void fillList(CBidsDoc& doc, int count)
{
    doc.newDocument();
    for (int i = 0; i < count; ++i) {
        auto item = std::make_unique<CBidItem>();
        item->setId(QString::number(1000000000 + i));
        item->setTitle(QStringLiteral("Digital camera %1 with lens, boxed").arg(i));
        item->setHighBidders(QStringLiteral("bidder%1").arg(i % 991));
        item->setCurrency(QStringLiteral("EUR"));
        item->setCurrentPrice(float(i % 500) + 0.5f);
        item->setMaxPrice(float(i % 700));
        item->setEndTime(1700000000 + i * 60);
        item->setStatus(StatusActive);
        doc.appendItem(std::move(item), doc.folderById(CBidFolder::OpenAuctionsId));
    }
}

// The running copy's part: the reply object and its line.
void statusReply(benchmark::State& state)
{
    CBidsDoc doc(ListEnvironment::standalone());
    fillList(doc, int(state.range(0)));
    SiteClock clock;
    QString error;
    for (auto _ : state)
        benchmark::DoNotOptimize(
            ControlStatus::encode(doc, clock, ControlStatus::Engine(), &error));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(statusReply)->Arg(10000)->Unit(benchmark::kMillisecond);

// The whole command but the process start: request over the socket, the server's reply on
// its own thread; `status --json` prints the line as it came, without decoding it.
void statusRoundTrip(benchmark::State& state)
{
    QTemporaryDir home;
    CBidsDoc doc(ListEnvironment::standalone());
    fillList(doc, int(state.range(0)));
    SiteClock clock;
    ControlRegistry registry;
    registry.addEncoded(QStringLiteral("status"), [&](const QJsonObject&, QString* error) {
        return ControlStatus::encode(doc, clock, ControlStatus::Engine(), error);
    });
    const QString path = ControlProtocol::socketPath(home.path());
    QThread serverThread;
    QObject onServerThread;
    onServerThread.moveToThread(&serverThread);
    serverThread.start();
    ControlServer* server = nullptr;
    QMetaObject::invokeMethod(
        &onServerThread,
        [&] {
            server = new ControlServer(registry);
            server->listen(path);
        },
        Qt::BlockingQueuedConnection);
    for (auto _ : state) {
        ControlClient client(path);
        if (client.call(ControlProtocol::request(QStringLiteral("status")), 10000, true) !=
            ControlClient::Result::Answered) {
            state.SkipWithError("no answer");
            break;
        }
        benchmark::DoNotOptimize(client.replyLine());
    }
    QMetaObject::invokeMethod(
        &onServerThread, [&] { delete server; }, Qt::BlockingQueuedConnection);
    serverThread.quit();
    serverThread.wait();
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(statusRoundTrip)->Arg(10000)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
