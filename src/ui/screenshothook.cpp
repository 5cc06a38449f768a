#include "ui/screenshothook.h"

#include "app/itemslock.h"
#include "model/bidcells.h"
#include "model/bidsdoc.h"
#include "model/modelclock.h"
#include "ui/biditemdlg.h"
#include "ui/bidsleftview.h"
#include "ui/bidsrightview.h"
#include "ui/columnsdlg.h"
#include "ui/listviewstate.h"
#include "ui/logviewer.h"
#include "ui/mainframe.h"
#include "ui/optionssheet.h"

#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QTextStream>
#include <QThread>
#include <QTimer>

namespace {

// Lets the windows lay themselves out and paint before they are pictured.
void settle()
{
    for (int i = 0; i < 10; ++i) {
        QApplication::processEvents();
        QThread::msleep(30);
    }
}

struct SampleBid
{
    const char* title;
    quint32 status;
    qint32 folder;
    float price;
    float maxPrice;
    int bids;
    qint64 endsIn; // seconds from now; negative for an ended auction
    const char* seller;
    const char* bidder;
};

// A list as a user might have it: a few folders, bids in every state, some ending soon.
void fillSampleList(CBidsDoc& doc)
{
    ItemsLockGuard guard(doc.itemsLock());
    doc.newDocument();
    const std::pair<qint32, const char*> folders[] = {{1, "Cameras"}, {2, "Books"}};
    for (const auto& [id, name] : folders) {
        auto folder =
            std::make_unique<CBidFolder>(id, CBidFolder::OpenAuctionsId, QString::fromLatin1(name));
        folder->setParent(doc.folderById(CBidFolder::OpenAuctionsId));
        doc.appendFolder(std::move(folder));
    }
    constexpr qint64 h = 3600;
    constexpr qint64 d = 24 * h;
    const SampleBid bids[] = {
        {"Vintage brass pocket watch, working", StatusActive, -1, 48.00f, 75.00f, 7, 25 * 60,
         "oldtimes_shop", "k***r"},
        {"Mechanical keyboard, brown switches", StatusRunning, -1, 61.50f, 80.00f, 12, 40 * 60,
         "keyhaven", "buyer"},
        {"Cast iron skillet 12 inch", StatusActiveOutbid, -1, 27.00f, 25.00f, 9, 3 * h,
         "kitchenbarn", "p***a"},
        {"Board game collection, 5 titles", StatusActive, -1, 35.00f, 60.00f, 4, 7 * h,
         "rainyday_games", "buyer"},
        {"Road bike helmet, size M", StatusNotActive, -1, 19.99f, 30.00f, 2, 14 * h, "pedalpower",
         "t***n"},
        {"Noise cancelling headphones", StatusActive, -1, 89.00f, 120.00f, 15, 1 * d + 2 * h,
         "soundcrate", "buyer"},
        {"Fountain pen, fine nib, boxed", StatusStopped, -1, 42.00f, 55.00f, 6, 1 * d + 9 * h,
         "inkwell_uk", "m***e"},
        {"Garden tool set, 8 pieces", StatusActive, -1, 22.50f, 40.00f, 3, 2 * d + 5 * h,
         "greenthumb", "buyer"},
        {"Wool blanket, hand woven", StatusActive, -1, 54.00f, 70.00f, 5, 3 * d + 1 * h,
         "highland_mill", "buyer"},
        {"Retro table lamp, teak", StatusActiveOutbid, -1, 38.00f, 35.00f, 11, 4 * d, "midcentury",
         "a***o"},
        {"Rangefinder camera body", StatusActive, 1, 215.00f, 300.00f, 21, 50 * 60, "lenshouse",
         "buyer"},
        {"50mm f/1.8 prime lens", StatusRunningOutbid, 1, 96.00f, 90.00f, 18, 5 * h, "glassworks",
         "f***8"},
        {"Aluminium tripod with ball head", StatusActive, 1, 44.00f, 65.00f, 8, 2 * d,
         "photogear_outlet", "buyer"},
        {"Camera bag, waxed canvas", StatusNotActive, 1, 31.00f, 45.00f, 1, 5 * d, "carryall",
         "s***y"},
        {"First edition detective novel", StatusActive, 2, 72.00f, 110.00f, 14, 9 * h, "rarebooks",
         "buyer"},
        {"Atlas of the world, 1962", StatusActive, 2, 25.00f, 40.00f, 3, 2 * d + 20 * h,
         "mapmonger", "buyer"},
        {"Poetry anthology, signed", StatusStopped, 2, 18.00f, 30.00f, 2, 6 * d, "verse_and_co",
         "l***a"},
        {"Film scanner, 35mm", StatusWon, -2, 120.00f, 150.00f, 19, -2 * d, "scanpro", "buyer"},
        {"Leather notebook cover", StatusLost, -2, 29.00f, 25.00f, 10, -d, "binderyworks", "c***t"},
        {"Set of 6 espresso cups", StatusWon, -2, 16.50f, 25.00f, 5, -5 * h, "kitchenbarn",
         "buyer"},
    };
    const qint64 now = ModelClock::siteNow();
    qint64 number = 3046182735;
    for (const SampleBid& bid : bids) {
        auto item = std::make_unique<CBidItem>();
        item->setId(QString::number(number));
        number += 7919;
        item->setTitle(QString::fromLatin1(bid.title));
        item->setStatus(bid.status);
        item->setCurrency(QStringLiteral("EUR "));
        item->setCurrentPrice(bid.price);
        item->setMaxPrice(bid.maxPrice);
        item->setBids(QString::number(bid.bids));
        item->setEndTime(now + bid.endsIn);
        item->setEnded(bid.endsIn < 0);
        item->setSeller(QString::fromLatin1(bid.seller));
        item->setSellerRating1(QString::number(100 + bid.bids * 37));
        item->setSellerRating2(QStringLiteral("99.%1%").arg(bid.bids % 10));
        item->setHighBidders(QString::fromLatin1(bid.bidder));
        item->setCategory(QStringLiteral("Collectibles"));
        item->setShippingCosts(QStringLiteral("EUR %1,50").arg(4 + bid.bids % 6));
        doc.appendItem(std::move(item), doc.folderById(bid.folder));
    }
    doc.setSelectedFolderId(CBidFolder::OpenAuctionsId);
    doc.changed();
    doc.setModified(false);
}

} // namespace

QString CScreenshotHook::requestedFolder()
{
    return qEnvironmentVariable(kVariable);
}

CScreenshotHook::CScreenshotHook(CMainFrame& frame, QString folder)
    : QObject(&frame), m_frame(frame), m_folder(std::move(folder))
{
}

void CScreenshotHook::start()
{
    QTimer::singleShot(500, this, &CScreenshotHook::shoot);
}

bool CScreenshotHook::save(QWidget* window, const QString& name)
{
    settle();
    const QString path = QDir(m_folder).filePath(name + QStringLiteral(".png"));
    const bool saved = window->grab().save(path, "PNG");
    QTextStream(stderr) << (saved ? "saved " : "could not save ") << path << Qt::endl;
    return saved;
}

void CScreenshotHook::shoot()
{
    QDir().mkpath(m_folder);
    m_frame.showNormal();
    m_frame.resize(1100, 720);
    CBidsDoc* doc = m_frame.document();
    if (doc) {
        fillSampleList(*doc);
        // Titles are long: the user has widened the Name column.
        CBidsRightView* list = m_frame.bidsList();
        ListViewState state = list->viewState();
        state.widths[BidCells::ColumnTitle] = 230;
        list->applyState(state);
        list->sortByColumn(BidCells::ColumnTitle);
        list->selectRow(2);
    }
    save(&m_frame, QStringLiteral("mainwindow"));
    if (doc) {
        CColumnsDlg columns(m_frame.bidsList()->viewState(), &m_frame);
        columns.show();
        save(&columns, QStringLiteral("columns"));

        // The item dialog as Edit/View opens it on the selected bid.
        const int index = m_frame.bidsList()->focusedItemIndex();
        const CBidItem* item = index >= 0 ? doc->itemAt(index) : nullptr;
        if (item) {
            CBidItemDlg dialog(CBidItemDlg::Mode::Edit, *item, &doc->itemsLock(), &m_frame);
            dialog.show();
            save(&dialog, QStringLiteral("itemdialog"));
        }
    }

    auto sheet = m_frame.newOptionsSheet();
    sheet->show();
    const std::pair<COptionsSheet::Page, const char*> pages[] = {
        {COptionsSheet::TimeOptions, "options-time"},
        {COptionsSheet::SiteSettings, "options-sitesettings"},
        {COptionsSheet::EmailPatterns, "options-email"},
        {COptionsSheet::Network, "options-network"},
        {COptionsSheet::Update, "options-update"},
        {COptionsSheet::Favorites, "options-favorites"},
        {COptionsSheet::Application, "options-application"},
        {COptionsSheet::Advanced, "options-advanced"},
        {COptionsSheet::Other, "options-other"},
    };
    for (const auto& [page, name] : pages) {
        sheet->selectPage(page);
        save(sheet.get(), QLatin1String(name));
    }
    sheet->reject();

    CLogViewer* viewer = m_frame.openLogViewer();
    save(viewer, QStringLiteral("logviewer"));
    if (doc) {
        // The sample list is no one's: the program ends without asking about it.
        doc->newDocument();
        doc->setModified(false);
    }
    m_frame.exitProgram();
}
