// The bids window's pane widths: defaults for damaged values, the width the tree keeps
// when the window is laid out, and what is stored when the window closes.

#include "ui/bidsframe.h"
#include "support/apphome.h"

#include <QLabel>
#include <QtTest>

class BidsFrameTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { m_home = std::make_unique<AppHome>(); }
    void cleanup() { m_home.reset(); }

    void widthsBelowTheMinimumGiveTheDefaults()
    {
        QCOMPARE(CBidsFrame::leftWidth(20), 185);
        QCOMPARE(CBidsFrame::leftWidth(-1), 185);
        QCOMPARE(CBidsFrame::leftWidth(29), 185);
        QCOMPARE(CBidsFrame::leftWidth(30), 30);
        QCOMPARE(CBidsFrame::leftWidth(400), 400);
        QCOMPARE(CBidsFrame::rightWidth(49), 150);
        QCOMPARE(CBidsFrame::rightWidth(50), 50);
    }

    void storedTwentyOpensTheTreeAtTheDefaultWidth()
    {
        AppContext& app = m_home->app();
        app.settings().paneLeft = 20;
        app.settings().paneRight = 10;
        CBidsFrame frame(app);
        frame.resize(800, 400);
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        QCOMPARE(frame.sizes().at(0), 185);
        // The list takes the rest of the window, not a share in proportion to 150.
        QVERIFY(frame.sizes().at(1) > 500);
    }

    void theTreeKeepsAStoredWidthWhenTheWindowIsWide()
    {
        AppContext& app = m_home->app();
        app.settings().paneLeft = 240;
        CBidsFrame frame(app);
        frame.resize(1200, 400);
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        QCOMPARE(frame.sizes().at(0), 240);
    }

    void closingStoresTheCurrentWidths()
    {
        AppContext& app = m_home->app();
        CBidsFrame frame(app);
        frame.resize(900, 400);
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        frame.setSizes({300, 596});
        frame.storePanes();
        QCOMPARE(app.settings().paneLeft, 300);
        QCOMPARE(app.userRegistry().readInt("Options\\Frame", "PaneLeft", 0), 300);
        QCOMPARE(app.userRegistry().readInt("Options\\Frame", "PaneRight", 0), frame.sizes().at(1));
    }

    void aHiddenWindowStoresTheWidthsItWasGiven()
    {
        // A program started into the tray never lays the window out.
        AppContext& app = m_home->app();
        app.settings().paneLeft = 5;
        app.settings().paneRight = 333;
        CBidsFrame frame(app);
        frame.storePanes();
        QCOMPARE(app.userRegistry().readInt("Options\\Frame", "PaneLeft", 0), 185);
        QCOMPARE(app.userRegistry().readInt("Options\\Frame", "PaneRight", 0), 333);
    }

    void newPanesTakeThePlaceholdersAndTheirMinimums()
    {
        CBidsFrame frame(m_home->app());
        QPointer<QWidget> oldTree = frame.folderPane();
        auto* tree = new QLabel(QStringLiteral("tree"));
        auto* list = new QLabel(QStringLiteral("list"));
        frame.setPanes(tree, list);
        QVERIFY(oldTree.isNull());
        QCOMPARE(frame.folderPane(), tree);
        QCOMPARE(frame.listPane(), list);
        QCOMPARE(tree->minimumWidth(), CBidsFrame::kMinLeft);
        QCOMPARE(list->minimumWidth(), CBidsFrame::kMinRight);

        // A window that grows after the panes came gives the room to the list.
        frame.resize(600, 300);
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        QCOMPARE(frame.sizes().at(0), 185);
        frame.resize(1200, 300);
        QTRY_COMPARE(frame.sizes().at(0), 185);
    }

private:
    std::unique_ptr<AppHome> m_home;
};

QTEST_MAIN(BidsFrameTest)
#include "bidsframetest.moc"
