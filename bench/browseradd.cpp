// Adding the item page the internal browser shows: from the command to the filled item
// dialog, on a practice-site item page of about 100 KB (a long seller's description). The
// page is read out of the browser, its description cut, parsed, and the dialog filled.

#include "model/bidfolder.h"
#include "model/bidsdoc.h"
#include "support/practicesiteprocess.h"
#include "ui/addfrombrowser.h"
#include "ui/biditemdlg.h"
#include "ui/mainframe.h"
#include "ui/sitehome.h"
#include "ui/web/browserwindow.h"
#include "ui/web/vendraview.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <memory>
#include <unistd.h>

namespace {

struct Scene
{
    PracticeSiteProcess site;
    SiteHome home;
    std::unique_ptr<CBidsDoc> doc;
    std::unique_ptr<CMainFrame> frame;
    std::unique_ptr<CAddFromBrowser> adder;
    CBrowserWindow* browser = nullptr;
    qsizetype pageBytes = 0;

    Scene()
    {
        AppContext& app = home.app();
        app.settings().login = QStringLiteral("practice_user");
        app.settings().password = QStringLiteral("practice");
        site.writeProfile(app.machineRegistry());
        app.settings().currentSite = QStringLiteral("www.ebay.com");
        home.sites().load(app.machineRegistry(), app.settings().currentSite);
        QString description;
        while (description.size() < 95 * 1024)
            description += QStringLiteral("A well kept brass barometer, line %1 of the seller's "
                                          "long story about it.\\n")
                               .arg(description.size());
        site.control("POST", "/auctions",
                     QStringLiteral(R"({"item":"4500000021","site":"us","title":"Barometer",
                         "seller":"old_sailor","startPrice":5,"endsIn":7200,"description":"%1"})")
                         .arg(description)
                         .toUtf8());
        doc = std::make_unique<CBidsDoc>(ListEnvironment::of(app));
        doc->newDocument();
        frame = std::make_unique<CMainFrame>(app);
        adder = std::make_unique<CAddFromBrowser>(
            frame.get(), *doc, [this] { return doc->folderById(CBidFolder::OpenAuctionsId); });
        browser = new CBrowserWindow(app, *frame, *adder, frame.get());
        frame->setBrowserWindow(browser);
        QSignalSpy loaded(browser->view(), &QWebEngineView::loadFinished);
        browser->open(QUrl(site.baseUrl() + "/ws/eBayISAPI.dll?ViewItem&item=4500000021"));
        loaded.wait(30000);
        browser->view()->page()->toHtml([this](const QString& html) { pageBytes = html.size(); });
        QElapsedTimer wait;
        wait.start();
        while (pageBytes == 0 && wait.elapsed() < 10000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
};

// Made by the first run, ended before the application ends (the browser needs it).
std::unique_ptr<Scene> g_scene;

void BM_AddShownItem(benchmark::State& state)
{
    if (!g_scene)
        g_scene = std::make_unique<Scene>();
    Scene& scene = *g_scene;
    QElapsedTimer timer;
    qint64 filled = 0;
    QString title;
    scene.adder->setDialogRunner([&](CBidItemDlg& dialog) {
        filled = timer.nsecsElapsed();
        title = dialog.titleEdit()->text();
        return int(QDialog::Rejected);
    });
    for (auto _ : state) {
        QEventLoop loop;
        QObject::connect(scene.adder.get(), &CAddFromBrowser::finished, &loop, &QEventLoop::quit);
        QTimer::singleShot(30000, &loop, &QEventLoop::quit);
        filled = 0;
        timer.start();
        scene.browser->command(CBrowserWindow::CmdAddShownItem)->trigger();
        loop.exec();
        state.SetIterationTime(double(filled) / 1e9);
    }
    state.counters["page_kb"] = double(scene.pageBytes) / 1024.0;
    if (title != QLatin1String("Barometer"))
        state.SkipWithError("the dialog was not filled from the page");
}
BENCHMARK(BM_AddShownItem)->UseManualTime()->Iterations(20)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    if (::geteuid() == 0)
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    g_scene.reset();
    return 0;
}
