// The main window's own rules: the message list, the close box without a tray, the Exit
// question, the Site menu, and the window placement read back from damaged values.

#include "ui/mainframe.h"
#include "promptrecorder.h"
#include "sitehome.h"
#include "sites/sitehosts.h"
#include "sites/sitesettings.h"
#include "support/apphome.h"
#include "ui/commandid.h"
#include "ui/messagelist.h"
#include "ui/sitemenu.h"
#include "ui/trayicon.h"
#include "ui/userprompt.h"

#include <QAction>
#include <QDialog>
#include <QLabel>
#include <QScreen>
#include <QSignalSpy>
#include <QtTest>

class MainFrameTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { m_home = std::make_unique<SiteHome>(); }

    void cleanup()
    {
        app().setMainWindow(nullptr);
        m_home.reset();
    }

    void messagesAreNewestFirstAndAtMostTwoHundred()
    {
        CMainFrame frame(app());
        for (int i = 1; i <= 205; ++i)
            frame.addMessage(QStringLiteral("line %1").arg(i), i % 4);
        CMessageList* list = frame.messageList();
        QCOMPARE(list->count(), CMessageList::kMaxLines);
        QCOMPARE(list->item(0)->text(), QStringLiteral("line 205"));
        QCOMPARE(list->levelAt(0), 205 % 4);
        QCOMPARE(list->item(199)->text(), QStringLiteral("line 6"));
        QCOMPARE(list->currentRow(), 0);
    }

    void theLogsMessageReachesTheList()
    {
        CMainFrame frame(app());
        app().setMainWindow(&frame);
        app().log().message(QStringLiteral("Bid #1 won"), ProgramLog::Success);
        QCOMPARE(frame.messageList()->item(0)->text().endsWith(QLatin1String("Bid #1 won")), true);
        QCOMPARE(frame.messageList()->levelAt(0), int(ProgramLog::Success));
    }

    void messagesFromAWorkerThreadArriveOnTheWindowThread()
    {
        CMainFrame frame(app());
        std::thread worker([&frame] { frame.addMessage(QStringLiteral("from worker"), 2); });
        worker.join();
        QTRY_COMPARE(frame.messageList()->count(), 1);
    }

    void withoutATrayTheCloseBoxMinimisesAndKeepsRunning()
    {
        CMainFrame frame(app());
        QVERIFY(!frame.hasTray());
        QSignalSpy exits(&frame, &CMainFrame::exitRequested);
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        QVERIFY(!frame.close());
        QVERIFY(frame.isVisible());
        QVERIFY(frame.windowState() & Qt::WindowMinimized);
        QCOMPARE(exits.count(), 0);
    }

    void theWindowFollowsATrayThatComesAndGoes()
    {
        CMainFrame frame(app());
        bool tray = true;
        frame.trayIcon()->setAvailabilityProbe([&tray] { return tray; });
        QVERIFY(frame.hasTray());
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        QVERIFY(!frame.close());
        QVERIFY(frame.isHidden()); // in the tray

        // The tray goes away: the window comes back to the task bar, never out of reach.
        tray = false;
        frame.trayIcon()->checkAvailability();
        QVERIFY(!frame.hasTray());
        QVERIFY(frame.isVisible());
        QVERIFY(frame.windowState() & Qt::WindowMinimized);
        frame.showNormal();
        QVERIFY(!frame.close());
        QVERIFY(frame.isVisible());

        // A tray that appears later gets the icon.
        tray = true;
        QSignalSpy changes(frame.trayIcon(), &CTrayIcon::availabilityChanged);
        QVERIFY(changes.wait(CTrayIcon::kCheckMs * 3));
        QVERIFY(frame.hasTray());
    }

    void aClosedMessageBoxGivesTheKeyboardBackToItsWindow()
    {
        CMainFrame frame(app());
        frame.show();
        QVERIFY(QTest::qWaitForWindowActive(&frame));
        frame.messageList()->setFocus();
        // The box closes at once; then a dialog's own box, after which the dialog closes too
        // (an item dialog's OK on "Bidding has ended for this item.").
        const auto closeBoxSoon = [] {
            QTimer::singleShot(50, [] {
                if (QWidget* box = QApplication::activeModalWidget())
                    box->close();
            });
        };
        closeBoxSoon();
        UserPrompt::inform(&frame, QStringLiteral("Bidding has ended for this item."));
        QTRY_COMPARE(QApplication::activeWindow(), &frame);
        QCOMPARE(QApplication::focusWidget(), frame.messageList());

        QDialog dialog(&frame);
        QTimer::singleShot(50, &dialog, [&dialog, &closeBoxSoon] {
            closeBoxSoon();
            UserPrompt::inform(&dialog, QStringLiteral("Bidding has ended for this item."));
            dialog.accept();
        });
        dialog.exec();
        QTRY_COMPARE(QApplication::activeWindow(), &frame);
        QCOMPARE(QApplication::focusWidget(), frame.messageList());
    }

    void theMessagePaneIsSmallAndHeaded()
    {
        CMainFrame frame(app());
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        const auto* heading = frame.findChild<QLabel*>(QStringLiteral("messagesHeading"));
        QVERIFY(heading && heading->isVisible());
        QCOMPARE(heading->buddy(), frame.messageList());
        QVERIFY(frame.messageList()->parentWidget()->height() < frame.height() / 6);
    }

    void startingMinimisedWithoutATrayMinimises()
    {
        CMainFrame frame(app());
        frame.showAtStart(true);
        QVERIFY(frame.isVisible());
        QVERIFY(frame.windowState() & Qt::WindowMinimized);
    }

    void exitAsksOnlyWhenBidsAreActive()
    {
        CMainFrame frame(app());
        QSignalSpy exits(&frame, &CMainFrame::exitRequested);
        PromptRecorder prompts;

        frame.exitProgram();
        QCOMPARE(exits.count(), 1);
        QVERIFY(prompts.texts().isEmpty());

        bool active = true;
        frame.setActiveItemsCheck([&active] { return active; });
        prompts.queue(IMainWindow::AnswerNo);
        frame.exitProgram();
        QCOMPARE(exits.count(), 1);
        QCOMPARE(prompts.texts().value(0), QStringLiteral("There are active items in your list. "
                                                          "Are you sure that the program should "
                                                          "be closed?"));

        prompts.queue(IMainWindow::AnswerYes);
        frame.exitProgram();
        QCOMPARE(exits.count(), 2);

        active = false;
        prompts.clear();
        frame.exitProgram();
        QCOMPARE(exits.count(), 3);
        QVERIFY(prompts.texts().isEmpty());
    }

    void aRefusedExitGuardKeepsTheProgram()
    {
        CMainFrame frame(app());
        QSignalSpy exits(&frame, &CMainFrame::exitRequested);
        frame.setExitGuard([] { return false; });
        frame.exitProgram();
        QCOMPARE(exits.count(), 0);
    }

    void exitStoresThePlacement()
    {
        CMainFrame frame(app());
        frame.setGeometry(40, 50, 700, 500);
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        frame.exitProgram();
        const Registry& registry = app().userRegistry();
        QCOMPARE(registry.readInt("Options\\Frame", "Status", -1), 1);
        QCOMPARE(registry.readInt("Options\\Frame", "Right", -1) -
                     registry.readInt("Options\\Frame", "Left", -1),
                 700);
        QCOMPARE(registry.readInt("Options\\Frame", "ShowOutlookBar", -1), 1);
        QVERIFY(registry.contains("Options\\Frame", "PaneLeft"));
    }

    void aPlacementOffTheScreenIsBroughtBack()
    {
        storePlacement(1, 5000, 6000, 5100, 6010); // 10 x 100 pixels far away
        CMainFrame frame(app());
        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        const QRect placed = frame.geometry();
        QVERIFY(placed.left() <= area.right());
        QVERIFY(placed.top() <= area.bottom());
        QVERIFY(placed.width() >= qMin(400, area.width()));
        QVERIFY(placed.height() >= qMin(300, area.height()));
    }

    void withoutAStoredPlacementTheDefaultSizeIsUsed()
    {
        app().settings().frameStatus = -1;
        CMainFrame frame(app());
        QCOMPARE(frame.size(), QSize(960, 640));
    }

    void theSiteMenuChangesTheCurrentSite()
    {
        CMainFrame frame(app());
        app().setMainWindow(&frame);
        CSiteMenu* menu = frame.findChild<CSiteMenu*>();
        QVERIFY(menu);
        QAction* uk = menu->siteAction(107);
        QVERIFY(uk);
        uk->trigger();
        const QString ukName = SiteHosts::siteName(SiteHosts::UnitedKingdom);
        QCOMPARE(app().settings().currentSite, ukName);
        QCOMPARE(app().userRegistry().readStr("Options", "currentSite"), ukName);
        QCOMPARE(frame.mainStatusBar()->siteText(), ukName);
        QVERIFY(uk->isChecked());
        QVERIFY(!menu->siteAction(106)->isChecked());
    }

    void siteCommandsFollowTheSiteNumbers()
    {
        CSiteMenu menu;
        for (int site = 1; site <= SiteHosts::kSiteCount; ++site) {
            QAction* action = menu.siteAction(104 + site);
            QVERIFY(action);
            QVERIFY(action->text().contains(SiteHosts::siteName(site)));
        }
        QVERIFY(!menu.siteAction(104));
        QVERIFY(!menu.siteAction(115));
    }

private:
    AppContext& app() { return m_home->app(); }

    void storePlacement(int status, int left, int top, int right, int bottom)
    {
        AppSettings& s = app().settings();
        Registry& registry = app().userRegistry();
        s.frameStatus = status;
        s.frameLeft = left;
        s.frameTop = top;
        s.frameRight = right;
        s.frameBottom = bottom;
        registry.writeInt("Options\\Frame", "Status", status);
        registry.writeInt("Options\\Frame", "Left", left);
        registry.writeInt("Options\\Frame", "Top", top);
        registry.writeInt("Options\\Frame", "Right", right);
        registry.writeInt("Options\\Frame", "Bottom", bottom);
    }

    std::unique_ptr<SiteHome> m_home;
};

QTEST_MAIN(MainFrameTest)
#include "mainframetest.moc"
