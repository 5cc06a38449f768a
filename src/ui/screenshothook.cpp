#include "ui/screenshothook.h"

#include "app/appcontext.h"
#include "app/itemslock.h"
#include "model/bideditform.h"
#include "model/bidsdoc.h"
#include "model/itemcommands.h"
#include "model/modelclock.h"
#include "sites/sitesettings.h"
#include "ui/biditemdlg.h"
#include "ui/bidsleftview.h"
#include "ui/bidsrightview.h"
#include "ui/columnsdlg.h"
#include "ui/firststepwizard.h"
#include "ui/logviewer.h"
#include "ui/mainframe.h"
#include "ui/optionssheet.h"
#include "ui/searchdlg.h"
#include "ui/searchpage1.h"
#include "ui/updatescreen2.h"
#include "ui/updatewizard.h"
#include "ui/userprompt.h"
#ifdef GAVELIN_HAVE_WEBENGINE
#include "ui/itempagecommands.h"
#include "ui/web/browserwindow.h"
#include "ui/web/vendraview.h"
#endif
#include "web/itempagereader.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QEventLoop>
#include <QLineEdit>
#include <QPixmap>
#include <QTextStream>
#include <QThread>
#include <QTimer>
#include <QtMath>

namespace {

// Lets the windows lay themselves out and paint before they are pictured.
void settle()
{
    for (int i = 0; i < 10; ++i) {
        QApplication::processEvents();
        QThread::msleep(30);
    }
}

// The listings named in GAVELIN_SCREENSHOT_ITEMS, added as a user adds them: the page is
// read as Fetch reads it, a maximum a little over the price is typed, and OK files it in
// the folder selected in the tree. Refusals and unreadable pages go to the message list.
void addListings(CBidsDoc& doc, CBidFolder* selected)
{
    const QStringList ids = qEnvironmentVariable(CScreenshotHook::kItemsVariable)
                                .split(QLatin1Char(','), Qt::SkipEmptyParts);
    const ItemPageReader reader;
    for (const QString& id : ids) {
        CBidItem page;
        page.setEndTime(ModelClock::siteNow() + 86400);
        const ItemPageResult result = reader.read(page, id.trimmed(), &doc.itemsLock());
        if (!result.success) {
            AppContext::logMessage(result.message(), ProgramLog::Error);
            continue;
        }
        BidEditForm form = BidEditForm::fromItem(page);
        form.maxPriceText = QString::number(qCeil(page.currentPrice() * 1.3f + 2.0f));
        form.activate = true;
        auto item = std::make_unique<CBidItem>(page);
        form.applyTo(*item);
        const QString refusal = ItemCommands(doc).addItem(std::move(item), QString(), selected);
        if (!refusal.isEmpty())
            AppContext::logMessage(refusal, ProgramLog::Warning);
    }
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
    // The program's questions (a Buy It Now item, an ended auction, exit with active bids)
    // take their default answers: nobody is there to answer them.
    UserPrompt::setResponder(
        [](const IMainWindow::Question& question) { return question.defaultAnswer; });
    CBidsDoc* doc = m_frame.document();
    if (doc) {
        CBidFolder* selected = nullptr;
        {
            ItemsLockGuard guard(doc->itemsLock());
            selected = doc->folderById(m_frame.folderTree()->currentFolderId());
        }
        addListings(*doc, selected);
        doc->changed();
    }
    save(&m_frame, QStringLiteral("mainwindow"));
    if (doc) {
        CColumnsDlg columns(m_frame.bidsList()->viewState(), &m_frame);
        columns.show();
        save(&columns, QStringLiteral("columns"));
    }
    const QStringList ids =
        qEnvironmentVariable(kItemsVariable).split(QLatin1Char(','), Qt::SkipEmptyParts);
    if (doc && !ids.isEmpty()) {
        // "Add item" as the user meets it: a number typed, Enter, the page read.
        CBidItem fresh;
        fresh.setEndTime(ModelClock::siteNow() + 86400);
        CBidItemDlg dialog(CBidItemDlg::Mode::Add, fresh, &doc->itemsLock(), &m_frame);
        dialog.setFolderChoices(ItemCommands(*doc).beginAdd(nullptr).folderChoices);
        dialog.show();
        // As it opens in front of the window: with the keyboard.
        dialog.activateWindow();
        settle();
        dialog.idEdit()->setText(ids.constFirst().trimmed());
        QEventLoop wait;
        connect(&dialog, &CBidItemDlg::fetchFinished, &wait, &QEventLoop::quit);
        QTimer::singleShot(20000, &wait, &QEventLoop::quit);
        dialog.fetch();
        wait.exec();
        save(&dialog, QStringLiteral("itemdialog"));
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
    if (doc && AppContext::current() && SiteSettings::current()) {
        // The Search Service with what the practice site lists for a few words.
        CSearchDlg search(*AppContext::current(), *SiteSettings::current(), *doc, &m_frame);
        search.setResultPageViewer({});
        search.show();
        QEventLoop lists;
        connect(&search, &CSearchDlg::siteChoicesLoaded, &lists, &QEventLoop::quit);
        QTimer::singleShot(20000, &lists, &QEventLoop::quit);
        lists.exec();
        search.page1()->keywordsEdit()->setText(QStringLiteral("comic keyboard notebook watch"));
        search.page1()->wordOptionBox()->setCurrentIndex(SearchCriteria::AnyWord);
        QEventLoop results;
        connect(&search, &CSearchDlg::searchFinished, &results, &QEventLoop::quit);
        QTimer::singleShot(20000, &results, &QEventLoop::quit);
        search.search();
        results.exec();
        save(&search, QStringLiteral("search"));
    }
    if (AppContext* app = AppContext::current()) {
        // The update wizard once its check against the site is done.
        CUpdateWizard update(*app, true, &m_frame);
        QEventLoop checked;
        connect(update.checkPage(), &CUpdateScreen2::checkFinished, &checked, &QEventLoop::quit);
        QTimer::singleShot(20000, &checked, &QEventLoop::quit);
        update.show();
        checked.exec();
        save(&update, QStringLiteral("update-wizard"));
        update.hide();
        // The startup wizard at its choice of site; closed unseen, it changes nothing.
        CFirstStepWizard startup(*app, &m_frame);
        startup.show();
        startup.next();
        save(&startup, QStringLiteral("first-start-wizard"));
        startup.hide();
#ifdef GAVELIN_HAVE_WEBENGINE
        // The browser view on the first listing's page.
        if (auto* browser = qobject_cast<CBrowserWindow*>(m_frame.browserWindow())) {
            QEventLoop loaded;
            connect(browser->view(), &QWebEngineView::loadFinished, &loaded, &QEventLoop::quit);
            QTimer::singleShot(20000, &loaded, &QEventLoop::quit);
            browser->open(CItemPageCommands::itemPageAddress(ids.first()));
            loaded.exec();
            // The page paints itself a moment after it has loaded.
            QEventLoop painted;
            QTimer::singleShot(1000, &painted, &QEventLoop::quit);
            painted.exec();
            save(&m_frame, QStringLiteral("browser"));
            m_frame.showBidsWindow();
        }
#endif
    }
    if (doc) {
        // The listings added for the pictures are no one's: the program ends without asking
        // about them.
        doc->newDocument();
        doc->setModified(false);
    }
    m_frame.exitProgram();
}
