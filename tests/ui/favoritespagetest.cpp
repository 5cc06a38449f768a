// The "Favorites" options page: its buttons reorder, edit and delete the stored favourites
// at once and keep the selection on the entry the user works with.

#include "ui/favoritespage.h"
#include "app/stringtable.h"
#include "promptrecorder.h"
#include "support/apphome.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QtTest>

class FavoritesPageTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_home = std::make_unique<AppHome>();
        Registry& user = m_home->app().userRegistry();
        const QStringList titles{"A", "B", "C"};
        for (int i = 0; i < titles.size(); ++i) {
            user.writeStr(FavoriteCategories::entrySection(i), "text", titles[i]);
            user.writeStr(FavoriteCategories::entrySection(i), "url", "http://c.test/" + titles[i]);
        }
        user.writeInt("Favorites", "count", 3);
        m_page = std::make_unique<CFavoritesPage>(m_home->app());
        m_page->load(m_home->app().settings());
    }

    void cleanup()
    {
        m_page.reset();
        m_home.reset();
    }

    void upAndDownMoveTheEntryAndItsSelection()
    {
        QCOMPARE(m_page->selectedIndex(), 0);
        QCOMPARE(m_page->titleEdit()->text(), QStringLiteral("A"));
        QVERIFY(!m_page->upButton()->isEnabled());
        QVERIFY(!m_page->saveButton()->isEnabled());

        m_page->downButton()->click();
        QCOMPARE(rows(), QStringList({"B", "A", "C"}));
        QCOMPARE(stored(), QStringList({"B", "A", "C"}));
        QCOMPARE(m_page->selectedIndex(), 1);
        QCOMPARE(m_page->urlEdit()->text(), QStringLiteral("http://c.test/A"));

        m_page->downButton()->click();
        QCOMPARE(m_page->selectedIndex(), 2);
        m_page->downButton()->click(); // the last one stays where it is
        m_page->upButton()->click();
        m_page->upButton()->click();
        m_page->upButton()->click();
        QCOMPARE(stored(), QStringList({"A", "B", "C"}));
        QCOMPARE(m_page->selectedIndex(), 0);
    }

    void saveWritesTheFieldsOnceEdited()
    {
        m_page->list()->selectRow(1);
        QCOMPARE(m_page->titleEdit()->text(), QStringLiteral("B"));
        QVERIFY(!m_page->saveButton()->isEnabled());
        m_page->titleEdit()->setFocus();
        m_page->titleEdit()->selectAll();
        QTest::keyClicks(m_page->titleEdit(), "Books");
        QVERIFY(m_page->saveButton()->isEnabled());
        m_page->urlEdit()->setText("http://c.test/books");
        m_page->saveButton()->click();
        QCOMPARE(rows(), QStringList({"A", "Books", "C"}));
        QCOMPARE(m_home->app().userRegistry().readStr("Favorites\\1", "url"),
                 QStringLiteral("http://c.test/books"));
        QVERIFY(!m_page->saveButton()->isEnabled());
        QCOMPARE(m_page->selectedIndex(), 1);
    }

    void deleteAsksAndSelectsThePreviousEntry()
    {
        PromptRecorder prompts;
        m_page->list()->selectRow(1);
        prompts.queue(IMainWindow::AnswerCancel);
        m_page->deleteButton()->click();
        QCOMPARE(prompts.texts(),
                 QStringList{StringTable::text(285).replace("%s", QStringLiteral("B"))});
        QCOMPARE(stored(), QStringList({"A", "B", "C"}));

        prompts.queue(IMainWindow::AnswerOk);
        m_page->deleteButton()->click();
        QCOMPARE(rows(), QStringList({"A", "C"}));
        QCOMPARE(stored(), QStringList({"A", "C"}));
        QCOMPARE(m_page->selectedIndex(), 0);

        prompts.queue(IMainWindow::AnswerOk);
        m_page->deleteButton()->click();
        prompts.queue(IMainWindow::AnswerOk);
        m_page->deleteButton()->click();
        QCOMPARE(m_page->list()->rowCount(), 0);
        QCOMPARE(m_home->app().userRegistry().readInt("Favorites", "count", -1), 0);
        QVERIFY(m_page->titleEdit()->text().isEmpty());
        QVERIFY(!m_page->deleteButton()->isEnabled());
    }

private:
    QStringList rows() const
    {
        QStringList list;
        for (int i = 0; i < m_page->list()->rowCount(); ++i)
            list << m_page->list()->item(i, 0)->text();
        return list;
    }
    QStringList stored() const
    {
        QStringList list;
        for (const auto& entry : FavoriteCategories(m_home->app().userRegistry()).entries())
            list << entry.text;
        return list;
    }

    std::unique_ptr<AppHome> m_home;
    std::unique_ptr<CFavoritesPage> m_page;
};

QTEST_MAIN(FavoritesPageTest)
#include "favoritespagetest.moc"
