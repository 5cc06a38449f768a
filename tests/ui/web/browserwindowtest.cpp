// The internal browser against the practice site: adding the shown item, favourites, My
// eBay's sign-in, silent pages and the addresses it will not open.

#include "ui/web/browserwindow.h"
#include "app/stringtable.h"
#include "model/bidsdoc.h"
#include "sites/favoritecategories.h"
#include "sites/sitesettings.h"
#include "support/practicesiteprocess.h"
#include "ui/addfrombrowser.h"
#include "ui/biditemdlg.h"
#include "ui/mainframe.h"
#include "ui/promptrecorder.h"
#include "ui/sitehome.h"
#include "ui/web/vendrapage.h"
#include "ui/web/vendraview.h"
#include "web/iinternetaccess.h"

#include <QLineEdit>
#include <QMenu>
#include <QSignalSpy>
#include <QToolButton>
#include <QWebEngineSettings>
#include <QtTest>
#include <unistd.h>

class BrowserWindowTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY2(m_site.isRunning(), qPrintable(m_site.errorString()));
        QVERIFY(m_site
                    .control("POST", "/auctions",
                             R"({"item":"4500000011","site":"us","title":"Pocket barometer",
                "seller":"old_sailor","startPrice":5,"endsIn":7200,"category":11116})")
                    .ok());
        QVERIFY(m_site
                    .control("POST", "/auctions",
                             R"({"item":"4500000012","site":"us","title":"Sealed letter",
                "startPrice":3,"endsIn":7200,"private":true,
                "bids":[{"bidder":"rival_anna","max":9,"in":-60}]})")
                    .ok());
    }

    void init()
    {
        m_home = std::make_unique<SiteHome>();
        app().settings().login = QStringLiteral("practice_user");
        app().settings().password = QStringLiteral("practice");
        m_site.writeProfile(app().machineRegistry());
        app().settings().currentSite = QStringLiteral("www.ebay.com");
        m_home->sites().load(app().machineRegistry(), app().settings().currentSite);
        m_doc = std::make_unique<CBidsDoc>(ListEnvironment::of(app()));
        m_doc->newDocument();
        m_doc->appendFolder(
            std::make_unique<CBidFolder>(1, CBidFolder::OpenAuctionsId, QStringLiteral("Cameras")));
        m_doc->linkParents();
        m_frame = std::make_unique<CMainFrame>(app());
        CBidFolder* cameras = m_doc->folderById(1);
        m_adder =
            std::make_unique<CAddFromBrowser>(m_frame.get(), *m_doc, [cameras] { return cameras; });
        m_browser = new CBrowserWindow(app(), *m_frame, *m_adder, m_frame.get());
        m_frame->setBrowserWindow(m_browser);
    }

    void cleanup()
    {
        m_frame.reset();
        // The browser's profile writes its last state as it goes.
        QTest::qWait(300);
        m_adder.reset();
        m_doc.reset();
        m_home.reset();
    }

    void insertAddsTheShownItemOnce()
    {
        PromptRecorder prompts;
        QSignalSpy finished(m_adder.get(), &CAddFromBrowser::finished);
        QStringList seen;
        m_adder->setDialogRunner([&seen](CBidItemDlg& dialog) {
            seen << dialog.idEdit()->text() + '|' + dialog.titleEdit()->text() + '|' +
                        dialog.sellerEdit()->text();
            dialog.maxPriceEdit()->setText(QStringLiteral("30"));
            dialog.accept();
            return dialog.result();
        });
        QVERIFY(load(itemPage("4500000011")));
        QVERIFY(m_frame->mainStatusBar()->siteText().contains("ebay.com"));
        QVERIFY(!m_frame->mainStatusBar()->isProgressShown());

        m_browser->command(CBrowserWindow::CmdAddShownItem)->trigger();
        QVERIFY(finished.wait(20000));
        QVERIFY2(finished.last().at(0).toBool(), qPrintable(prompts.texts().join('\n')));
        QCOMPARE(seen, QStringList{"4500000011|Pocket barometer|old_sailor"});
        const CBidItem* added = m_doc->openItemById(QStringLiteral("4500000011"));
        QVERIFY(added);
        QCOMPARE(added->folder(), m_doc->folderById(1));
        QVERIFY(m_home->logText().contains("The shown page was read in"));

        // Again: the duplicate is refused at OK.
        m_browser->command(CBrowserWindow::CmdAddShownItem)->trigger();
        QVERIFY(finished.wait(20000));
        QVERIFY(!finished.last().at(0).toBool());
        QCOMPARE(prompts.texts(), QStringList{StringTable::text(168)});

        // A private auction in a folder where only one item wins: the option goes off.
        prompts.clear();
        m_doc->folderById(1)->setOnlyOneItemWins(true);
        QVERIFY(load(itemPage("4500000012")));
        m_browser->command(CBrowserWindow::CmdAddShownItem)->trigger();
        QVERIFY(finished.wait(20000));
        QVERIFY(finished.last().at(0).toBool());
        QCOMPARE(prompts.texts(), QStringList{StringTable::text(277)});
        QVERIFY(!m_doc->folderById(1)->onlyOneItemWins());

        // A page that is not an item page: the page-format message, no dialog.
        prompts.clear();
        QVERIFY(load(QUrl(m_site.baseUrl() + "/help/buy/bid-retract.html")));
        m_browser->command(CBrowserWindow::CmdAddShownItem)->trigger();
        QVERIFY(finished.wait(20000));
        QCOMPARE(prompts.texts(), QStringList{StringTable::text(204)});
        QCOMPARE(seen.size(), 3);
    }

    void favouritesAddTheShownCategory()
    {
        PromptRecorder prompts;
        QVERIFY(!m_browser->favoritesMenu()); // none yet: no drop-down at all
        const QString category = m_site.baseUrl() + "/aw/plistings/category11116/index.html";
        QVERIFY(load(QUrl(category + "?from=R11")));
        const auto add = [this] { m_browser->command(CBrowserWindow::CmdAddFavorite)->trigger(); };
        add();
        QTRY_COMPARE_WITH_TIMEOUT(prompts.texts().size(), 1, 10000);
        QCOMPARE(prompts.texts().at(0), StringTable::text(281));
        add();
        QTRY_COMPARE_WITH_TIMEOUT(prompts.texts().size(), 2, 10000);
        QCOMPARE(prompts.texts().at(1), StringTable::text(280));

        QMenu* menu = m_browser->favoritesMenu();
        QVERIFY(menu);
        QCOMPARE(menu->actions().size(), 1);
        QCOMPARE(menu->actions().at(0)->data().toInt(), int(CBrowserWindow::CmdFirstFavorite));
        // Choosing it goes there.
        QVERIFY(load(itemPage("4500000011")));
        QSignalSpy loaded(m_browser->view(), &QWebEngineView::loadFinished);
        menu->actions().at(0)->trigger();
        QVERIFY(loaded.wait(20000));
        QVERIFY(m_browser->view()->url().toString().contains("/category11116/"));
    }

    void theSellersContactFormIsFilled()
    {
        QSignalSpy loaded(m_browser->view(), &QWebEngineView::loadFinished);
        const QString subject = QStringLiteral("About bid #4500000011 (\"Pocket\" barometer)");
        const QString body = QStringLiteral("Hello, old_sailor.\r\n</script><b>x</b>'");
        m_browser->openContactForm(
            QUrl(m_site.baseUrl() + "/aw-cgi/eBayISAPI.dll?ReturnUserEmail&requested=old_sailor"),
            subject, body);
        QVERIFY(loaded.wait(20000));
        QVariant values;
        QTRY_VERIFY_WITH_TIMEOUT(
            [&] {
                m_browser->view()->page()->runJavaScript(
                    "[document.forms[0].subject.value, document.forms[0].message.value]",
                    [&values](const QVariant& v) { values = v; });
                QTest::qWait(50);
                return values.toList().value(0).toString() == subject;
            }(),
            10000);
        // A text area keeps "\n" for the line break.
        QCOMPARE(values.toList().value(1).toString(), QString(body).replace("\r\n", "\n"));
    }

    void myEbaySignsInAndSilentPagesStayQuiet()
    {
        CVendraView* view = m_browser->view();
        QSignalSpy signIn(view, &CVendraView::signInSent);
        QSignalSpy loaded(view, &QWebEngineView::loadFinished);
        m_browser->command(CBrowserWindow::CmdMyEbay)->trigger();
        QCOMPARE(view->steps(), QList<int>{CVendraView::StepMyEbaySignIn});
        QVERIFY(signIn.wait(20000));
        QVERIFY(signIn.last().at(0).toBool());
        QTRY_VERIFY_WITH_TIMEOUT(view->title().contains("My eBay"), 20000);
        QVERIFY(view->steps().isEmpty());
        QVERIFY(!m_home->logText().contains(QStringLiteral("practice\"")));

        // Script dialogs are answered by the browser while blocking is on; the choice is
        // stored at once.
        CVendraPage* page = view->vendraPage();
        QVERIFY(page->isSilent());
        QVariant answer;
        page->runJavaScript(QStringLiteral("alert('a'); confirm('b') ? 'yes' : 'no'"),
                            [&answer](const QVariant& v) { answer = v; });
        QTRY_COMPARE_WITH_TIMEOUT(answer.toString(), QStringLiteral("no"), 10000);
        QCOMPARE(page->blockedDialogs(), 2);
        m_browser->command(CBrowserWindow::CmdBlockMessages)->trigger();
        QVERIFY(!page->isSilent());
        QCOMPARE(app().userRegistry().readInt(QStringLiteral("Options"),
                                              QStringLiteral("silentBrowser"), 1),
                 0);

        // Only web pages: a file address is not opened, a "gavelin:" link becomes an add.
        const QUrl before = view->url();
        view->load(QUrl(QStringLiteral("file:///etc/passwd")));
        QTest::qWait(300);
        QCOMPARE(view->url(), before);
        QVERIFY(m_home->logText().contains("does not open \"file:///etc/passwd\""));
        // Offline, and the program may not go online: the navigation is cancelled.
        struct Offline : IInternetAccess
        {
            bool ensureConnection() override { return true; }
            bool isOffline() override { return true; }
            bool goOnline(const QString&) override { return false; }
        } offline;
        IInternetAccess* previous = IInternetAccess::setCurrent(&offline);
        view->load(itemPage("4500000011"));
        QTest::qWait(300);
        IInternetAccess::setCurrent(previous);
        QCOMPARE(view->url(), before);
        QVERIFY(m_home->logText().contains(StringTable::text(224)));
        // (A script may follow it only as a click would.)
        PromptRecorder prompts;
        QSignalSpy finished(m_adder.get(), &CAddFromBrowser::finished);
        page->settings()->setUnknownUrlSchemePolicy(QWebEngineSettings::AllowAllUnknownUrlSchemes);
        page->runJavaScript(QStringLiteral("location.href = 'gavelin:http%3A%2F%2Fx%2Fy'"));
        QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 1, 10000);
        QCOMPARE(prompts.texts(),
                 QStringList{CAddFromBrowser::notAnItemPageText("gavelin:http%3A%2F%2Fx%2Fy")});

        // A bid's page is shown as the bid read it, its scripts not run.
        m_browser->showSource(QUrl(m_site.baseUrl() + "/ws/eBayISAPI.dll?ViewItem&item=1"),
                              "<html><head><title>Bid page</title><script>document.title = "
                              "'ran'</script></head><body>Seen</body></html>",
                              QStringLiteral("text/html; charset=utf-8"));
        QTRY_COMPARE_WITH_TIMEOUT(view->title(), QStringLiteral("Bid page"), 10000);
        QTest::qWait(200);
        QCOMPARE(view->title(), QStringLiteral("Bid page"));
    }

private:
    AppContext& app() { return m_home->app(); }
    QUrl itemPage(const QString& id) const
    {
        return QUrl(m_site.baseUrl() + "/ws/eBayISAPI.dll?ViewItem&item=" + id);
    }
    bool load(const QUrl& url)
    {
        QSignalSpy loaded(m_browser->view(), &QWebEngineView::loadFinished);
        m_browser->open(url);
        return loaded.wait(20000) && loaded.last().at(0).toBool();
    }

    PracticeSiteProcess m_site;
    std::unique_ptr<SiteHome> m_home;
    std::unique_ptr<CBidsDoc> m_doc;
    std::unique_ptr<CMainFrame> m_frame;
    std::unique_ptr<CAddFromBrowser> m_adder;
    CBrowserWindow* m_browser = nullptr;
};

int main(int argc, char** argv)
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    if (::geteuid() == 0)
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QApplication application(argc, argv);
    BrowserWindowTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "browserwindowtest.moc"
