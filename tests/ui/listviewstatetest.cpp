// What the bids list keeps in Options\List: the default columns, damaged values read back
// as defaults, and the order, hidden columns, widths and sort keys surviving a restart.

#include "ui/listviewstate.h"
#include "bidsviewfixture.h"
#include "model/bidcells.h"
#include "ui/bidslistmodel.h"
#include "ui/columnsdlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

namespace {

const QString kList = QStringLiteral("Options\\List");

QStringList displayedTitles(const CBidsRightView& view)
{
    QStringList titles;
    const QHeaderView* header = view.horizontalHeader();
    for (int position = 0; position < header->count(); ++position) {
        const int column = header->logicalIndex(position);
        if (!header->isSectionHidden(column))
            titles << BidCells::columnTitle(column);
    }
    return titles;
}

} // namespace

class ListViewStateTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void withNothingStoredTheColumnsComeInTheirDefaultOrder()
    {
        BidsViews views;
        QCOMPARE(displayedTitles(*views.list),
                 QStringList({"Status / ID", "Name", "Current Price", "Shipping costs", "Bids",
                              "Maximum Price", "Bidder(s)", "Time ends (eBay®)", "Time left",
                              "Seller", "Category", "Count"}));
        const QHeaderView* header = views.list->horizontalHeader();
        // Without a stored width a column is as wide as its title and usual contents need.
        const int titleWidth = header->fontMetrics().horizontalAdvance("Maximum Price");
        QCOMPARE(header->sectionSize(BidCells::ColumnMaxPrice),
                 views.list->defaultWidth(BidCells::ColumnMaxPrice));
        QVERIFY(header->sectionSize(BidCells::ColumnMaxPrice) > titleWidth);
        QVERIFY(!header->isSortIndicatorShown() || header->sortIndicatorSection() == -1);
    }

    void damagedOrdersFallBackToTheDefault_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::newRow("too few") << "0,1,2,";
        QTest::newRow("too many") << "0,1,3,11,10,4,5,6,7,8,9,2,2,";
        QTest::newRow("out of range") << "0,1,3,11,10,4,5,6,7,8,9,12,";
        QTest::newRow("negative") << "-1,1,3,11,10,4,5,6,7,8,9,0,";
        QTest::newRow("duplicate") << "0,0,3,11,10,4,5,6,7,8,9,2,";
        QTest::newRow("not numbers") << "a,b,c,d,e,f,g,h,i,j,k,l,";
        QTest::newRow("empty") << "";
    }

    void damagedOrdersFallBackToTheDefault()
    {
        QFETCH(QString, stored);
        ListViewState::Columns order = {11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0};
        QVERIFY(!ListViewState::parseOrder(stored, order));
        AppSettings settings;
        settings.columnOrder = stored;
        QCOMPARE(ListViewState::fromSettings(settings).order, ListViewState::defaultOrder());
    }

    void damagedHideSizeAndSortValuesAreReadSafely()
    {
        AppSettings settings;
        settings.columnHide = "0,1,x,";
        settings.columnSize = "-5,abc,,999999,120,";
        settings.sortColumn = 12;
        settings.sortAsc = 7;
        ListViewState state = ListViewState::fromSettings(settings);
        QCOMPARE(state.visibleCount(), 11);
        QVERIFY(state.hidden[1]);
        QCOMPARE(state.widths, (ListViewState::Columns{0, 0, 0, 0, 120, 0, 0, 0, 0, 0, 0, 0}));
        QCOMPARE(state.sortColumn, -1);
        QVERIFY(state.sortAscending);

        // Every column hidden would leave nothing to click: all are shown instead.
        settings.columnHide = "1,1,1,1,1,1,1,1,1,1,1,1,";
        QCOMPARE(ListViewState::fromSettings(settings).visibleCount(), 12);
    }

    void theViewStateSurvivesARestart()
    {
        BidsViews views;
        ListViewState state = views.list->viewState();
        state.order = {2, 0, 1, 3, 4, 5, 6, 7, 8, 9, 10, 11};
        state.widths[BidCells::ColumnTitle] = 222;
        state.sortColumn = BidCells::ColumnCurrentPrice;
        state.sortAscending = false;
        state.sortByStatus = true;
        views.list->applyState(state);
        // The user widens the seller column, then hides it: it keeps that width.
        views.list->horizontalHeader()->resizeSection(BidCells::ColumnSeller, 140);
        ListViewState hidden = views.list->viewState();
        hidden.hidden[BidCells::ColumnSeller] = true;
        views.list->applyState(hidden);
        views.list.reset(); // the view writes its state as it goes

        Registry& registry = views.app().userRegistry();
        QCOMPARE(registry.readStr(kList, "Order"), QString("2,0,1,3,4,5,6,7,8,9,10,11,"));
        QCOMPARE(registry.readStr(kList, "Hide"), QString("0,0,0,0,0,0,0,0,1,0,0,0,"));
        const QStringList sizes = registry.readStr(kList, "Size").split(',');
        QCOMPARE(sizes.size(), 13);
        QCOMPARE(sizes.at(BidCells::ColumnTitle), QString("222"));
        QCOMPARE(sizes.at(BidCells::ColumnSeller), QString("140"));
        QCOMPARE(registry.readInt(kList, "sortColumn", -1), 3);
        QCOMPARE(registry.readInt(kList, "sortAsc", 1), 0);
        QCOMPARE(registry.readInt(kList, "sortStatus", 0), 1);

        AppSettings& settings = views.app().settings();
        settings = AppSettings();
        settings.readAll(registry);
        CBidsRightView restored(views.app(), views.doc);
        const QHeaderView* header = restored.horizontalHeader();
        QCOMPARE(header->logicalIndex(0), 2);
        QVERIFY(header->isSectionHidden(BidCells::ColumnSeller));
        QCOMPARE(header->sectionSize(BidCells::ColumnTitle), 222);
        QCOMPARE(header->sortIndicatorSection(), int(BidCells::ColumnCurrentPrice));
        QCOMPARE(restored.listModel()->sortKeys().column, int(BidCells::ColumnCurrentPrice));
        QVERIFY(!restored.listModel()->sortKeys().ascending);
        QVERIFY(restored.listModel()->sortKeys().byStatus);
        // Shown again, the hidden column has its remembered width.
        ListViewState shown = restored.viewState();
        shown.hidden[BidCells::ColumnSeller] = false;
        restored.applyState(shown);
        QCOMPARE(header->sectionSize(BidCells::ColumnSeller), 140);
    }

    void theColumnDialogReordersHidesAndSorts()
    {
        BidsViews views;
        CColumnsDlg dialog(views.list->viewState());
        QListWidget* columns = dialog.columnList();
        QCOMPARE(columns->item(2)->text(), QString("Current Price"));
        columns->setCurrentRow(2);
        dialog.upButton()->click();
        QCOMPARE(columns->item(1)->text(), QString("Current Price"));
        columns->setCurrentRow(11);
        QVERIFY(!dialog.downButton()->isEnabled());
        dialog.viewHideButton()->click(); // Count
        dialog.sortCombo()->setCurrentIndex(dialog.sortCombo()->findText("Name"));
        dialog.descendingBox()->setChecked(true);
        dialog.statusBox()->setChecked(true);

        const ListViewState result = dialog.result();
        QCOMPARE(result.order[1], int(BidCells::ColumnCurrentPrice));
        QCOMPARE(result.order[2], int(BidCells::ColumnTitle));
        QVERIFY(result.hidden[BidCells::ColumnCount]);
        QCOMPARE(result.sortColumn, int(BidCells::ColumnTitle));
        QVERIFY(!result.sortAscending);
        QVERIFY(result.sortByStatus);

        // The last shown column cannot be hidden.
        for (int row = 0; row < columns->count(); ++row)
            columns->item(row)->setCheckState(Qt::Unchecked);
        QCOMPARE(dialog.result().visibleCount(), 1);
    }
};

QTEST_MAIN(ListViewStateTest)
#include "listviewstatetest.moc"
