// The site's result page as the Search Service reads it.

#include "search/resultpage.h"
#include "support/apphome.h"
#include "web/htmldocument.h"

#include <gtest/gtest.h>

namespace {

QString row(const QString& id, const QString& bids, const QString& shipClass = "ebcShpNew")
{
    return QStringLiteral("<tr><td class=\"ebcCpr\"><input type=checkbox name=\"coitem\" "
                          "value=\"%1\"></td><td class=\"ebcTtl\"><a href=\"#\">Lamp %1</a></td>"
                          "<td class=\"ebcBid\">%2</td><td class=\"ebcPr\"><span>US $1,234.50"
                          "</span> each</td><td class=\"%3\"><b>US $4.00</b></td>"
                          "<td class=\"ebcTim\">1 day 2 hours</td></tr>")
        .arg(id, bids, shipClass);
}

QString page(const QString& rows, const QString& listClass = "ebItemlist single")
{
    return QStringLiteral("<html><body><table class=\"%1\"><tr><th>Item</th></tr>%2</table>"
                          "</body></html>")
        .arg(listClass, rows);
}

} // namespace

TEST(ResultPageTest, RowsCellsAndTheRowsThatAreNone)
{
    AppHome home;
    // A row without the check box, one whose number is no number, and one without cells.
    const QString rows =
        row("3000000001", "2") + row("3000000002", "", "EBCSHP") +
        "<tr><td class=\"ebcTtl\">Advert</td><td class=\"ebcPr\"><span>US $1.00</span></td></tr>" +
        row("30000x0003", "1") + "<tr></tr>" + row("3000000004", "5");
    const HtmlDocument document(page(rows, "EBITEMLIST Single"));
    const SearchPageReading reading = ResultPage::read(document, ResultClassNames());
    EXPECT_TRUE(reading.hasTable);
    EXPECT_EQ(reading.skippedRows, 3);
    ASSERT_EQ(reading.results.size(), 3);
    const SearchResult& first = reading.results.at(0);
    EXPECT_EQ(first.itemId, "3000000001");
    EXPECT_EQ(first.title, "Lamp 3000000001");
    EXPECT_EQ(first.price, "US $1,234.50"); // the first element only
    EXPECT_EQ(first.shipping, "US $4.00");
    EXPECT_EQ(first.timeLeft, "1 day 2 hours");
    EXPECT_EQ(first.bidsText(), "2");
    const SearchResult& buyNow = reading.results.at(1);
    EXPECT_TRUE(buyNow.noBids);
    EXPECT_EQ(buyNow.bidsText(), "*");
    EXPECT_EQ(buyNow.shipping, "US $4.00"); // the older shipping class, any case
    EXPECT_EQ(reading.results.at(2).itemId, "3000000004");
    EXPECT_TRUE(home.logText().contains("3 result row(s) without a usable item number"));
    EXPECT_EQ(ResultPage::countClass(document, "EBCCPR"), 4);

    // Class names from the settings; a page without the table.
    ResultClassNames other;
    other.list = QStringLiteral("results");
    EXPECT_EQ(ResultPage::read(document, other).hasTable, false);
    const HtmlDocument none(QStringLiteral("<p>No items found.</p>"));
    const SearchPageReading empty = ResultPage::read(none, ResultClassNames());
    EXPECT_TRUE(empty.loaded);
    EXPECT_FALSE(empty.hasTable);
    EXPECT_TRUE(empty.results.isEmpty());
}

TEST(ResultPageTest, AThousandResults)
{
    QString rows;
    for (int i = 0; i < 1000; ++i)
        rows += row(QString::number(4000000000LL + i), QString::number(i % 7));
    const HtmlDocument document(page(rows));
    const SearchPageReading reading = ResultPage::read(document, ResultClassNames());
    ASSERT_EQ(reading.results.size(), 1000);
    EXPECT_EQ(reading.results.last().itemId, "4000000999");
    EXPECT_EQ(reading.skippedRows, 0);
}
