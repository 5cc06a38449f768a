// The bid list at scale: reading and writing the list file and one rebuild pass, for
// 10,000 and 100,000 items spread over a few folders.

#include "model/bidlistfile.h"
#include "model/bidsdoc.h"

#include <benchmark/benchmark.h>

namespace {

void fillList(CBidsDoc& doc, int count)
{
    doc.newDocument();
    for (int f = 1; f <= 8; ++f) {
        auto folder =
            std::make_unique<CBidFolder>(f, f % 2 ? -1 : -2, QStringLiteral("Folder %1").arg(f));
        folder->setParent(doc.folderById(folder->parentId()));
        doc.appendFolder(std::move(folder));
    }
    for (int i = 0; i < count; ++i) {
        auto item = std::make_unique<CBidItem>();
        item->setId(QString::number(1000000000 + i));
        item->setTitle(QStringLiteral("Digital camera %1 with lens, boxed").arg(i));
        item->setSeller(QStringLiteral("seller%1").arg(i % 997));
        item->setHighBidders(QStringLiteral("bidder%1").arg(i % 991));
        item->setCurrency(QStringLiteral("EUR"));
        item->setCategory(QStringLiteral("Foto >...> Kameras"));
        item->setCurrentPrice(float(i % 500) + 0.5f);
        item->setMaxPrice(float(i % 700));
        item->setEndTime(1700000000 + i);
        item->setBids(QString::number(i % 40));
        item->setShippingCosts(QStringLiteral("EUR 4,90"));
        const int folder = 1 + i % 8;
        // Open folders hold unfinished bids and closed ones finished bids, as after a pass.
        item->setStatus(folder % 2 ? StatusActive : StatusWon);
        doc.appendItem(std::move(item), doc.folderById(folder));
    }
    doc.setSelectedFolderId(1);
}

void writeList(benchmark::State& state)
{
    CBidsDoc doc(ListEnvironment::standalone());
    fillList(doc, int(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(BidListFile::write(doc));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(writeList)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void readList(benchmark::State& state)
{
    CBidsDoc source(ListEnvironment::standalone());
    fillList(source, int(state.range(0)));
    const QByteArray bytes = BidListFile::write(source);
    BidListReadContext context;
    context.now = 1700000000;
    context.privateKeyword = QStringLiteral("Mitgliedsname");
    CBidsDoc doc(ListEnvironment::standalone());
    for (auto _ : state) {
        if (!BidListFile::read(bytes, doc, context))
            state.SkipWithError("read failed");
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
    state.counters["bytes"] = double(bytes.size());
}
BENCHMARK(readList)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void readAndWriteList(benchmark::State& state)
{
    CBidsDoc source(ListEnvironment::standalone());
    fillList(source, int(state.range(0)));
    const QByteArray bytes = BidListFile::write(source);
    BidListReadContext context;
    context.now = 1700000000;
    CBidsDoc doc(ListEnvironment::standalone());
    for (auto _ : state) {
        BidListFile::read(bytes, doc, context);
        benchmark::DoNotOptimize(BidListFile::write(doc));
    }
}
BENCHMARK(readAndWriteList)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void rebuildPass(benchmark::State& state)
{
    CBidsDoc doc(ListEnvironment::standalone());
    fillList(doc, int(state.range(0)));
    doc.rebuild();
    for (auto _ : state)
        benchmark::DoNotOptimize(doc.rebuild().rows.size());
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(rebuildPass)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
