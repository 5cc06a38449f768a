// "Search Service" against the practice site: the site lists, a search, the checked
// results added by both price rules, duplicates, the fallback to the site's own page, and
// the saved searches as the user works them.

#include "ui/searchdlg.h"
#include "app/stringtable.h"
#include "model/bidsdoc.h"
#include "promptrecorder.h"
#include "sites/bidincrement.h"
#include "sites/sitesettings.h"
#include "support/apphome.h"
#include "support/practicesiteprocess.h"
#include "ui/searchpage1.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTableWidget>
#include <QtTest>

class SearchDlgTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        if (!QFile::exists(PracticeSiteProcess::binaryPath()))
            QSKIP("the practice site is not built");
        m_site = std::make_unique<PracticeSiteProcess>();
        QVERIFY2(m_site->isRunning(), qPrintable(m_site->errorString()));
        m_site->writeProfile(m_home.app().machineRegistry());
        m_sites.load(m_home.app().machineRegistry(), QStringLiteral("www.ebay.com"));
        m_doc.newDocument();
        for (const char* json :
             {R"({"item":"4700000001","site":"us","title":"Oak barometer","startPrice":40,
                  "endsIn":7200,"bids":[{"bidder":"rival_anna","max":60,"in":-60}]})",
              R"({"item":"4700000002","site":"us","kind":"fixed","title":"Oak barometer case",
                  "price":25,"quantity":1,"endsIn":9000})"})
            QVERIFY(m_site->control("POST", "/auctions", json).ok());
    }

    void cleanup() { m_site.reset(); }

    void searchAndAddTheCheckedResults()
    {
        PromptRecorder prompts;
        CSearchDlg dialog(m_home.app(), m_sites, m_doc);
        QList<QUrl> shownPages;
        dialog.setResultPageViewer([&](const QUrl& url) {
            shownPages << url;
            return true;
        });
        QSignalSpy loaded(&dialog, &CSearchDlg::siteChoicesLoaded);
        QSignalSpy finished(&dialog, &CSearchDlg::searchFinished);
        dialog.show();
        QVERIFY(loaded.wait(30000));
        QCOMPARE(dialog.windowTitle().left(17), QStringLiteral("Search Service - "));
        QCOMPARE(dialog.closeButton()->text(), StringTable::text(283));
        CSearchPage1* form = dialog.page1();
        QVERIFY(form->categoryBox()->count() > 1);
        QCOMPARE(form->criteria().locationIn, QStringLiteral("-15"));
        QCOMPARE(form->criteria().locationTo, QStringLiteral("999"));

        dialog.search(); // no keywords: nothing
        QVERIFY(!dialog.isSearching());
        form->keywordsEdit()->setText(QStringLiteral("oak barometer"));
        QTest::keyClick(form->keywordsEdit(), Qt::Key_Return);
        QVERIFY(dialog.isSearching());
        QVERIFY(!dialog.closeButton()->isEnabled());
        QVERIFY(finished.wait(30000));
        QVERIFY(dialog.closeButton()->isEnabled());
        CSearchPage2* results = dialog.page2();
        QCOMPARE(dialog.tabs()->currentWidget(), results);
        QCOMPARE(results->rowCount(), 2);
        QCOMPARE(results->table()->item(1, CSearchPage2::BidsColumn)->text(), QStringLiteral("*"));
        QCOMPARE(results->folderBox()->currentText(), StringTable::text(430));
        QVERIFY(shownPages.isEmpty());

        // A price column sorts by amount; the rows keep their results.
        results->table()->sortByColumn(CSearchPage2::PriceColumn, Qt::AscendingOrder);
        QCOMPARE(results->resultAt(0).itemId, QStringLiteral("4700000002"));
        results->toggleAll();
        results->typedButton()->click();
        QVERIFY(results->priceEdit()->isEnabled());
        results->addButton()->click();
        QCOMPARE(prompts.texts(), QStringList{StringTable::text(154)});
        QCOMPARE(m_doc.itemCount(), 0);

        prompts.clear();
        results->incrementButton()->click();
        results->activeBox()->setChecked(true);
        results->addButton()->click();
        QCOMPARE(prompts.texts(), QStringList{StringTable::text(284)});
        QCOMPARE(m_doc.itemCount(), 2);
        const CBidItem* bid = m_doc.itemById(QStringLiteral("4700000001"));
        QCOMPARE(bid->folder()->id(), qint32(CBidFolder::FoundItemsId));
        QCOMPARE(bid->maxPrice(), 40.0f + BidIncrement(40.0f, QStringLiteral("www.ebay.com")));
        QCOMPARE(bid->status(), quint32(StatusActive));
        QCOMPARE(m_doc.itemById(QStringLiteral("4700000002"))->status(), quint32(StatusNotActive));

        prompts.clear();
        results->addButton()->click();
        QCOMPARE(prompts.texts(), QStringList{StringTable::text(350)});

        // "View selected" opens the item's page; a browser that does not start is reported.
        QList<QUrl> items;
        dialog.setItemViewer([&](const QUrl& url) {
            items << url;
            return false;
        });
        results->table()->selectRow(1);
        prompts.clear();
        results->viewButton()->click();
        QCOMPARE(items.size(), 1);
        QVERIFY(items[0].toString().endsWith(QStringLiteral("item=4700000001")));
        QVERIFY(prompts.texts().value(0).startsWith(QStringLiteral("Can't start IE.")));

        // No result table: the site's own page is shown instead.
        dialog.tabs()->setCurrentWidget(form);
        form->keywordsEdit()->setText(QStringLiteral("nothing of that kind"));
        form->searchButton()->click();
        QVERIFY(finished.wait(30000));
        QCOMPARE(results->rowCount(), 0);
        QCOMPARE(shownPages, QList<QUrl>{QUrl(dialog.lastSearchUrl())});
    }

    void savedSearchesAsTheUserWorksThem()
    {
        PromptRecorder prompts;
        CSearchDlg dialog(m_home.app(), m_sites, m_doc);
        QSignalSpy loaded(&dialog, &CSearchDlg::siteChoicesLoaded);
        QVERIFY(loaded.wait(30000));
        CSearchPage1* form = dialog.page1();
        form->deleteSearch();
        form->saveSearch();
        QCOMPARE(prompts.texts(), (QStringList{StringTable::text(361), StringTable::text(362)}));

        prompts.clear();
        form->keywordsEdit()->setText(QStringLiteral("oak"));
        form->locationInBox()->setCurrentIndex(2);
        const QString locationIn = form->criteria().locationIn;
        form->nameEdit()->setText(QStringLiteral("Oak"));
        form->saveSearch();
        QCOMPARE(form->savedBox()->currentText(), QStringLiteral("Oak"));
        form->keywordsEdit()->setText(QStringLiteral("elm"));
        prompts.queue(IMainWindow::AnswerNo);
        form->saveSearch();
        QCOMPARE(prompts.texts(), QStringList{StringTable::text(363)});

        form->reset();
        QCOMPARE(form->savedBox()->currentIndex(), -1);
        QCOMPARE(form->criteria().locationIn, QStringLiteral("-15"));
        form->loadSearch(0);
        QCOMPARE(form->keywordsEdit()->text(), QStringLiteral("oak"));
        QCOMPARE(form->criteria().locationIn, locationIn);
        form->savedBox()->setCurrentIndex(0);
        form->deleteSearch();
        QCOMPARE(form->savedBox()->count(), 0);
        QCOMPARE(form->keywordsEdit()->text(), QString());
    }

private:
    AppHome m_home;
    SiteSettings m_sites;
    CBidsDoc m_doc{ListEnvironment::of(m_home.app())};
    std::unique_ptr<PracticeSiteProcess> m_site;
};

QTEST_MAIN(SearchDlgTest)
#include "searchdlgtest.moc"
