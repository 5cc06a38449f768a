// "Edit bid properties": the checks on OK as the user meets them, the read-only view of a
// finished bid, and the Fetch button against the practice site.

#include "ui/biditemdlg.h"
#include "app/stringtable.h"
#include "app/workerthread.h"
#include "model/modelclock.h"
#include "promptrecorder.h"
#include "sitehome.h"
#include "sites/sitesettings.h"
#include "support/apphome.h"
#include "support/practicesiteprocess.h"
#include "web/downloadcounter.h"

#include <QCheckBox>
#include <QDateTimeEdit>
#include <QLabel>
#include <QLineEdit>
#include <QMap>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>

class BidItemDlgTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { m_home = std::make_unique<SiteHome>(); }

    void cleanup() { m_home.reset(); }

    void anErrorKeepsTheDialogOpenWithFocusOnItsField_data()
    {
        QTest::addColumn<QString>("id");
        QTest::addColumn<QString>("maxPrice");
        QTest::addColumn<bool>("multiItem");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("field");
        QTest::newRow("short id") << "12345"
                                  << "10" << false << StringTable::text(153)
                                  << int(EditCheck::IdField);
        QTest::newRow("no maximum price")
            << "1234567890"
            << "" << false << StringTable::text(154) << int(EditCheck::MaxPriceField);
        QTest::newRow("power auction without count")
            << "1234567890"
            << "10" << true << "Number of items must be defined for Power auction."
            << int(EditCheck::QuantityField);
    }

    void anErrorKeepsTheDialogOpenWithFocusOnItsField()
    {
        QFETCH(QString, id);
        QFETCH(QString, maxPrice);
        QFETCH(bool, multiItem);
        QFETCH(QString, message);
        QFETCH(int, field);
        CBidItem item;
        item.setMultiItem(multiItem);
        item.setEndTime(ModelClock::siteNow() + 3600);
        PromptRecorder prompts;
        CBidItemDlg dialog(CBidItemDlg::Mode::Add, item, &app().itemsLock());
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        dialog.idEdit()->setText(id);
        dialog.maxPriceEdit()->setText(maxPrice);
        dialog.okButton()->click();

        QCOMPARE(prompts.texts(), QStringList{message});
        QVERIFY(dialog.isVisible());
        const QWidget* expected = field == EditCheck::IdField ? dialog.idEdit()
                                  : field == EditCheck::MaxPriceField
                                      ? static_cast<QWidget*>(dialog.maxPriceEdit())
                                      : dialog.quantityBox();
        QWidget* focused = QApplication::focusWidget();
        QVERIFY(focused == expected || focused->parentWidget() == expected);
    }

    void aCancelledQuestionKeepsTheDialogOpen()
    {
        CBidItem item;
        item.setCurrentPrice(20.0f);
        PromptRecorder prompts;
        CBidItemDlg dialog(CBidItemDlg::Mode::Add, item, &app().itemsLock());
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        dialog.idEdit()->setText(QStringLiteral("1234567890"));
        dialog.maxPriceEdit()->setText(QStringLiteral("12,50"));
        dialog.endTimeEdit()->setDateTime(
            QDateTime::fromSecsSinceEpoch(ModelClock::siteNow() - 600));

        prompts.queue(IMainWindow::AnswerCancel);
        dialog.okButton()->click();
        QCOMPARE(prompts.texts(), QStringList{StringTable::text(260)});
        QVERIFY(dialog.isVisible());

        // The ended auction accepted, the price below the current one refused: back to it.
        dialog.idEdit()->setFocus();
        prompts.queue(IMainWindow::AnswerOk);
        prompts.queue(IMainWindow::AnswerCancel);
        dialog.okButton()->click();
        QCOMPARE(prompts.texts().last(), StringTable::text(134));
        QVERIFY(dialog.isVisible());
        QCOMPARE(QApplication::focusWidget(), dialog.maxPriceEdit());

        prompts.queue(IMainWindow::AnswerOk);
        prompts.queue(IMainWindow::AnswerOk);
        dialog.okButton()->click();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.form().maxPrice(), 12.5f);
    }

    void aWonBidOpensReadOnly()
    {
        CBidItem item;
        item.setStatus(StatusWon);
        item.setEndTime(ModelClock::siteNow() - 3600); // the checks would object
        PromptRecorder prompts;
        CBidItemDlg dialog(CBidItemDlg::Mode::ReadOnly, item, &app().itemsLock());
        for (const QLineEdit* edit : {dialog.idEdit(), dialog.titleEdit(), dialog.maxPriceEdit()})
            QVERIFY(edit->isReadOnly());
        QVERIFY(dialog.endTimeEdit()->isReadOnly());
        QVERIFY(!dialog.activateBox()->isEnabled());
        QVERIFY(!dialog.fetchButton()->isEnabled());
        QVERIFY(!dialog.okButton());
        dialog.accept();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QVERIFY(prompts.texts().isEmpty());
    }

    void theStatusLineTellsWhatThePageSaid_data()
    {
        const qint64 now = 1700000000;
        QTest::addColumn<qint64>("endTime");
        QTest::addColumn<bool>("buyItNow");
        QTest::addColumn<bool>("isPrivate");
        QTest::addColumn<QString>("expected");
        const QString privateNote = QLatin1Char(' ') + StringTable::text(259);
        QTest::newRow("running private")
            << now + 60 << false << true
            << QStringLiteral("Enter your maximum bid US $7.50 or more.") + privateNote;
        QTest::newRow("buy it now") << now + 60 << true << false << StringTable::text(261);
        QTest::newRow("ended buy it now") << now - 1 << true << false << StringTable::text(260);
    }

    void theStatusLineTellsWhatThePageSaid()
    {
        QFETCH(qint64, endTime);
        QFETCH(bool, buyItNow);
        QFETCH(bool, isPrivate);
        QFETCH(QString, expected);
        CBidItem item;
        item.setCurrency(QStringLiteral("US $"));
        item.setEndTime(endTime);
        item.setBuyItNow(buyItNow);
        item.setPrivate(isPrivate);
        QCOMPARE(CBidItemDlg::fetchedStatusText(item, 7.5f, 1700000000), expected);
    }

    void fetchReadsThePracticeSite()
    {
        PracticeSiteProcess site;
        QVERIFY2(site.isRunning(), qPrintable(site.errorString()));
        pointAt(site);
        const auto created = site.control(
            "POST", "/auctions",
            R"({"item":"4500000001","site":"us","title":"Brass compass","seller":"old_sailor",
                "startPrice":5,"endsIn":7200,"bids":[{"bidder":"rival_anna","max":9,"in":-60}]})");
        QVERIFY2(created.ok(), created.body.constData());

        PromptRecorder prompts;
        CBidItemDlg dialog(CBidItemDlg::Mode::Add, CBidItem(), &app().itemsLock());
        QSignalSpy finished(&dialog, &CBidItemDlg::fetchFinished);
        dialog.idEdit()->setText(QStringLiteral("450000000"));
        dialog.fetchButton()->click();
        QCOMPARE(prompts.texts(), QStringList{StringTable::text(153)});
        QVERIFY(!dialog.isFetching());

        // Enter in the number field reads the page; it does not press OK.
        prompts.clear();
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        dialog.maxPriceEdit()->setText(QStringLiteral("30"));
        dialog.idEdit()->setFocus();
        dialog.idEdit()->clear();
        QTest::keyClicks(dialog.idEdit(), QStringLiteral("4500000001"));
        QTest::keyClick(dialog.idEdit(), Qt::Key_Return);
        QVERIFY(!dialog.fetchButton()->isEnabled());
        QVERIFY(!dialog.okButton()->isEnabled());
        QVERIFY(finished.wait(30000));
        QVERIFY2(finished.at(0).at(0).toBool(), qPrintable(prompts.texts().join('\n')));
        QVERIFY(dialog.isVisible());
        QVERIFY(prompts.texts().isEmpty());
        QVERIFY(dialog.fetchButton()->isEnabled());
        // What is left to enter is the limit.
        QCOMPARE(QApplication::focusWidget(), dialog.maxPriceEdit());
        QCOMPARE(dialog.titleEdit()->text(), QStringLiteral("Brass compass"));
        QCOMPARE(dialog.sellerEdit()->text(), QStringLiteral("old_sailor"));
        QCOMPARE(dialog.form().currentPrice, 5.0f); // one bidder pays the starting price
        QCOMPARE(dialog.maxPriceEdit()->text(), QStringLiteral("30")); // the user's limit stays
        QVERIFY(qAbs(dialog.form().endTime - (ModelClock::siteNow() + 7200)) < 120);
        QVERIFY(dialog.statusLabel()->text().startsWith(QStringLiteral("Enter your maximum bid")));

        // A typed title survives; a number the site does not know is reported and logged.
        dialog.titleEdit()->clear();
        QTest::keyClicks(dialog.titleEdit(), QStringLiteral("My own name"));
        dialog.idEdit()->setText(QStringLiteral("4599999999"));
        dialog.fetch();
        QVERIFY(finished.wait(30000));
        QCOMPARE(finished.at(1).at(0).toBool(), false);
        QCOMPARE(prompts.texts(), QStringList{StringTable::text(232)});
        QVERIFY(m_home->logText().contains(StringTable::text(232)));
        dialog.idEdit()->setText(QStringLiteral("4500000001"));
        dialog.fetch();
        QVERIFY(finished.wait(30000));
        QCOMPARE(dialog.titleEdit()->text(), QStringLiteral("My own name"));

        // Buy It Now: the seller's price replaces a typed maximum, and the user is told.
        const auto shop =
            site.control("POST", "/auctions",
                         R"({"item":"4500000002","site":"us","kind":"fixed","title":"Tin whistle",
                "price":45,"quantity":1,"endsIn":7200})");
        QVERIFY2(shop.ok(), shop.body.constData());
        dialog.maxPriceEdit()->setText(QStringLiteral("40"));
        dialog.idEdit()->setText(QStringLiteral("4500000002"));
        dialog.fetch();
        QVERIFY(finished.wait(30000));
        QVERIFY(finished.last().at(0).toBool());
        QCOMPARE(dialog.maxPriceEdit()->text(), QStringLiteral("45.00"));
        QVERIFY2(dialog.statusLabel()->text().contains(
                     CBidItemDlg::sellerPriceText(QStringLiteral("40"), QStringLiteral("45.00"))),
                 qPrintable(dialog.statusLabel()->text()));
        // The same when the user types a new amount afterwards.
        dialog.maxPriceEdit()->clear();
        QTest::keyClicks(dialog.maxPriceEdit(), QStringLiteral("41"));
        QVERIFY(dialog.statusLabel()->text().endsWith(
            CBidItemDlg::sellerPriceText(QStringLiteral("41"), QStringLiteral("45.00"))));
    }

    void everyShortcutLetterIsUsedOnce()
    {
        CBidItemDlg dialog(CBidItemDlg::Mode::Add, CBidItem(), &app().itemsLock());
        QStringList texts;
        for (const QLabel* label : dialog.findChildren<QLabel*>())
            texts << label->text();
        for (const QAbstractButton* button : dialog.findChildren<QAbstractButton*>())
            texts << button->text();
        QMap<QChar, QString> owners;
        for (const QString& text : texts) {
            const qsizetype at = text.indexOf(QRegularExpression(QStringLiteral("&[^&]")));
            if (at < 0)
                continue;
            const QChar letter = text.at(at + 1).toLower();
            QVERIFY2(!owners.contains(letter),
                     qPrintable(owners.value(letter) + QStringLiteral(" and ") + text));
            owners.insert(letter, text);
        }
        QVERIFY(owners.size() >= 10);
    }

    void closingDuringAFetchNeitherWaitsNorDelivers()
    {
        // An item page that answers nothing until the test hangs up.
        QTcpServer server;
        QVERIFY(server.listen(QHostAddress::LocalHost));
        m_home->sites().setValue(
            m_home->sites().currentSite() + QStringLiteral("_URL_ViewItem"),
            QStringLiteral("http://127.0.0.1:%1/item?%s").arg(server.serverPort()));
        PromptRecorder prompts;
        int finished = 0;
        auto* dialog = new CBidItemDlg(CBidItemDlg::Mode::Add, CBidItem(), &app().itemsLock());
        connect(dialog, &CBidItemDlg::fetchFinished, this, [&finished] { ++finished; });
        dialog->idEdit()->setText(QStringLiteral("4500000001"));
        QSignalSpy connected(&server, &QTcpServer::newConnection);
        dialog->fetch();
        QVERIFY(connected.wait(10000));
        QTcpSocket* page = server.nextPendingConnection();

        delete dialog;
        // The download goes on without the dialog, which did not wait for it.
        QCOMPARE(DownloadCounter::running(), 1);
        QVERIFY(!QApplication::overrideCursor());
        page->close();
        QVERIFY(WorkerThread::waitForDetached(10000));
        QCOMPARE(DownloadCounter::running(), 0);
        QCoreApplication::sendPostedEvents();
        QCOMPARE(finished, 0);
        QVERIFY(prompts.texts().isEmpty());
    }

private:
    AppContext& app() { return m_home->app(); }

    // The current site's addresses lead to the practice site.
    void pointAt(const PracticeSiteProcess& site)
    {
        for (const QString& line : site.profileLines()) {
            const qsizetype equals = line.indexOf(QLatin1Char('='));
            if (equals > 0)
                app().machineRegistry().writeStr(QStringLiteral("Sites"), line.left(equals),
                                                 line.mid(equals + 1).trimmed());
        }
        app().settings().currentSite = QStringLiteral("www.ebay.com");
        m_home->sites().load(app().machineRegistry(), app().settings().currentSite);
    }

    std::unique_ptr<SiteHome> m_home;
};

QTEST_MAIN(BidItemDlgTest)
#include "biditemdlgtest.moc"
