// How the bids list orders its rows: each column's comparison, the direction, the
// status grouping, and the columns that leave the order alone.

#include "ui/bidssorter.h"
#include "model/bidcells.h"
#include "model/biditem.h"

#include <QtTest>
#include <cmath>
#include <deque>
#include <limits>

class BidsSorterTest : public QObject
{
    Q_OBJECT

private:
    std::deque<CBidItem> m_items;

    CBidItem& add(const QString& id, quint32 status = StatusActive, const QString& title = {})
    {
        CBidItem& item = m_items.emplace_back();
        item.setId(id);
        item.setStatus(status);
        item.setTitle(title);
        return item;
    }

    // The ids in the order the sorter gives.
    QStringList sortedIds(BidsSorter::Keys keys)
    {
        std::vector<const CBidItem*> items;
        for (const CBidItem& item : m_items)
            items.push_back(&item);
        QStringList ids;
        for (int position : BidsSorter::order(items, keys))
            ids << items[size_t(position)]->id();
        return ids;
    }

private Q_SLOTS:
    void cleanup() { m_items.clear(); }

    void theStatusGroupsTheRowsAndTheColumnOrdersEachGroup()
    {
        add("1", StatusWon, "Lens");
        add("2", StatusActive, "Tripod");
        add("3", StatusWon, "Camera");
        add("4", StatusActive, "Bag");
        add("5", StatusActiveOutbid, "Album");
        QCOMPARE(sortedIds({BidCells::ColumnTitle, true, true}),
                 QStringList({"4", "2", "5", "3", "1"}));
        // Descending turns the names round; the status stays the first key, ascending.
        QCOMPARE(sortedIds({BidCells::ColumnTitle, false, true}),
                 QStringList({"2", "4", "5", "1", "3"}));
        QCOMPARE(sortedIds({BidCells::ColumnTitle, true, false}),
                 QStringList({"5", "4", "3", "1", "2"}));
        // Unsorted with the status kept: grouped, array order inside each group.
        QCOMPARE(sortedIds({-1, true, true}), QStringList({"2", "4", "5", "1", "3"}));
    }

    void bidsAndShippingLeaveTheOrderUnchanged()
    {
        add("3").setBids("7");
        add("1").setBids("12");
        add("2").setShippingCosts("EUR 1,00");
        const QStringList asAdded{"3", "1", "2"};
        for (bool ascending : {true, false}) {
            QCOMPARE(sortedIds({BidCells::ColumnBids, ascending, false}), asAdded);
            QCOMPARE(sortedIds({BidCells::ColumnShipping, ascending, false}), asAdded);
        }
        QVERIFY(!BidsSorter::isSortable(BidCells::ColumnBids));
        QVERIFY(BidsSorter::isSortable(BidCells::ColumnId));
    }

    void idsCompareAsDecimalNumbers()
    {
        add("100");
        add("0123");
        add("99");
        add(" 7x");
        add("abc");
        QCOMPARE(sortedIds({BidCells::ColumnId, true, false}),
                 QStringList({"abc", " 7x", "99", "100", "0123"}));
        QCOMPARE(sortedIds({BidCells::ColumnId, false, false}),
                 QStringList({"0123", "100", "99", " 7x", "abc"}));
        QCOMPARE(BidsSorter::idNumber("99999999999999999999999"),
                 std::numeric_limits<qint64>::max());
        QCOMPARE(BidsSorter::idNumber("-12"), qint64(-12));
    }

    void textIsComparedWithItsCase()
    {
        add("1").setSeller("apple");
        add("2").setSeller("Banana");
        add("3").setSeller("apple");
        QCOMPARE(sortedIds({BidCells::ColumnSeller, true, false}), QStringList({"2", "1", "3"}));
        QVERIFY(BidsSorter::compare(m_items[0], m_items[1], BidCells::ColumnSeller) > 0);
        QCOMPARE(BidsSorter::compare(m_items[0], m_items[2], BidCells::ColumnSeller), 0);
    }

    void equalRowsKeepTheirOrderInBothDirections()
    {
        add("1").setCurrentPrice(5);
        add("2").setCurrentPrice(5);
        add("3").setCurrentPrice(1);
        QCOMPARE(sortedIds({BidCells::ColumnCurrentPrice, true, false}),
                 QStringList({"3", "1", "2"}));
        QCOMPARE(sortedIds({BidCells::ColumnCurrentPrice, false, false}),
                 QStringList({"1", "2", "3"}));
    }

    void numbersPricesAndTimesCompareAsNumbers()
    {
        CBidItem& a = add("1");
        CBidItem& b = add("2");
        CBidItem& c = add("3");
        a.setQuantity(10);
        b.setQuantity(9);
        c.setQuantity(-1);
        QCOMPARE(sortedIds({BidCells::ColumnCount, true, false}), QStringList({"3", "2", "1"}));
        a.setMaxPrice(100.5f);
        b.setMaxPrice(20.25f);
        // A damaged price cannot break the ordering.
        c.setMaxPrice(std::nanf(""));
        QCOMPARE(sortedIds({BidCells::ColumnMaxPrice, true, false}), QStringList({"3", "2", "1"}));
        a.setEndTime(300);
        b.setEndTime(100);
        c.setEndTime(200);
        QCOMPARE(sortedIds({BidCells::ColumnEndTime, true, false}), QStringList({"2", "3", "1"}));
        QCOMPARE(sortedIds({BidCells::ColumnTimeLeft, false, false}), QStringList({"1", "3", "2"}));
    }
};

QTEST_MAIN(BidsSorterTest)
#include "bidssortertest.moc"
