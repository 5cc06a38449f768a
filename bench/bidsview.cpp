// The bids list at scale: 10,000 bids in one folder, shown in the list offscreen. Times
// the rebuild that refills the list, sorting by each column, and drawing the visible rows.

#include "app/appcontext.h"
#include "model/bidsdoc.h"
#include "ui/bidslistmodel.h"
#include "ui/bidsrightview.h"
#include "ui/bidsviewevents.h"

#include <QApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

constexpr int kBids = 10000;
constexpr qint64 kNow = 1700000000;

// One application home, document and shown list for every benchmark.
struct Scene
{
    QTemporaryDir home;
    std::unique_ptr<AppContext> app;
    std::unique_ptr<CBidsDoc> doc;
    std::unique_ptr<CBidsRightView> list;
    std::unique_ptr<BidsViewEvents> events;

    Scene()
    {
        const AppPaths paths = AppPaths::underRoot(home.path());
        paths.ensureFolders();
        app = std::make_unique<AppContext>(paths);
        app->clock().setTimeSource([] { return kNow; });
        app->settings().listBackground = 0; // alternating rows: the dearer drawing
        doc = std::make_unique<CBidsDoc>(ListEnvironment::standalone());
        list = std::make_unique<CBidsRightView>(*app, *doc);
        events = std::make_unique<BidsViewEvents>(nullptr, list.get());
        doc->setEvents(events.get());
        doc->newDocument();
        const quint32 statuses[] = {StatusActive, StatusActiveOutbid, StatusNotActive,
                                    StatusStopped};
        for (int i = 0; i < kBids; ++i) {
            auto item = std::make_unique<CBidItem>();
            // Ids and titles out of order, as a list built over months is.
            item->setId(QString::number(1000000000 + (i * 7919) % kBids));
            item->setTitle(
                QStringLiteral("Item %1 with a longer title, boxed").arg((i * 31) % 977));
            item->setSeller(QStringLiteral("seller%1").arg(i % 997));
            item->setHighBidders(QStringLiteral("bidder%1").arg(i % 991));
            item->setCurrency(QStringLiteral("EUR "));
            item->setCategory(QStringLiteral("Category %1").arg(i % 37));
            item->setCurrentPrice(float((i * 13) % 500) + 0.5f);
            item->setMaxPrice(float((i * 17) % 700));
            item->setEndTime(kNow + (i * 104729) % 864000);
            item->setBids(QString::number(i % 40));
            item->setShippingCosts(QStringLiteral("EUR 4,90"));
            item->setStatus(statuses[i % 4]);
            doc->appendItem(std::move(item), doc->folderById(CBidFolder::OpenAuctionsId));
        }
        list->resize(1000, 700);
        list->show();
        doc->rebuild();
        QApplication::processEvents();
    }

    ~Scene() { doc->setEvents(nullptr); }
};

Scene* g_scene = nullptr;

void rebuildAndRefill(benchmark::State& state)
{
    // Unsorted, then sorted by Name as most lists are: every rebuild sorts again.
    ListViewState keys = g_scene->list->viewState();
    keys.sortColumn = int(state.range(0));
    g_scene->list->applyState(keys);
    for (auto _ : state)
        benchmark::DoNotOptimize(g_scene->doc->rebuild().rows.size());
    state.counters["rows"] = g_scene->list->model()->rowCount();
}
BENCHMARK(rebuildAndRefill)->Arg(-1)->Arg(1)->Unit(benchmark::kMillisecond);

void sortByColumn(benchmark::State& state)
{
    CBidsRightView& list = *g_scene->list;
    const int column = int(state.range(0));
    ListViewState keys = list.viewState();
    keys.sortByStatus = state.range(1) != 0;
    list.applyState(keys);
    for (auto _ : state) {
        // Each click turns the direction round, so both directions are timed.
        list.sortByColumn(column);
    }
    state.SetLabel(BidCells::columnTitle(column).toStdString() +
                   (keys.sortByStatus ? " (status first)" : ""));
}
BENCHMARK(sortByColumn)
    ->ArgsProduct({benchmark::CreateDenseRange(0, 11, 1), {0}})
    ->Args({1, 1})
    ->Unit(benchmark::kMillisecond);

void drawVisibleRows(benchmark::State& state)
{
    QWidget* viewport = g_scene->list->viewport();
    for (auto _ : state)
        viewport->repaint();
}
BENCHMARK(drawVisibleRows)->Unit(benchmark::kMillisecond);

void selectAllAndRebuild(benchmark::State& state)
{
    // A rebuild keeps every selected row selected: the dearest case.
    g_scene->list->selectAllRows();
    for (auto _ : state)
        g_scene->doc->rebuild();
    g_scene->list->clearSelection();
}
BENCHMARK(selectAllAndRebuild)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    Scene scene;
    g_scene = &scene;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    g_scene = nullptr;
    return 0;
}
