// The Stop command's dialog: its texts, its three answers, and the help link that goes to
// the system's browser.

#include "app/imainwindow.h"
#include "ui/stopbiddingdlg.h"

#include <QDesktopServices>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QUrl>
#include <QtTest>

namespace {

const QString kHelp = QStringLiteral("http://127.0.0.1:8080/help/buy/bid-retract.html");

} // namespace

// Takes the URLs the dialog hands to the system's browser.
class BrowserStandIn : public QObject
{
    Q_OBJECT
public:
    BrowserStandIn()
    {
        for (const char* scheme : {"http", "https", "file"})
            QDesktopServices::setUrlHandler(QLatin1String(scheme), this, "open");
    }
    ~BrowserStandIn() override
    {
        for (const char* scheme : {"http", "https", "file"})
            QDesktopServices::unsetUrlHandler(QLatin1String(scheme));
    }
    QList<QUrl> opened;

public Q_SLOTS:
    void open(const QUrl& url) { opened << url; }
};

class StopDialogTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void showsTheQuestionTheButtonsAndTheItem()
    {
        CStopBiddingDlg dialog(QStringLiteral("3000000001"), kHelp);
        QCOMPARE(dialog.windowTitle(), QString("Stop bidding..."));
        QCOMPARE(dialog.findChild<QLabel*>("question")->text(),
                 QString("Stop bidding and retract all bids?"));
        QVERIFY(dialog.findChild<QLabel*>("item")->text().contains("3000000001"));
        QCOMPARE(dialog.stopOnlyButton()->text(), QString("Stop only"));
        // "&&" is the button's way to show one "&".
        QCOMPARE(dialog.retractButton()->text(), QString("Stop && Retract bids"));
        QVERIFY(dialog.cancelButton());
        QVERIFY(dialog.stopOnlyButton()->isDefault());
        QVERIFY(dialog.helpLink()->text().contains(kHelp));
        QCOMPARE(dialog.choice(), int(IMainWindow::StopCancelled));
    }

    void eachButtonGivesItsAnswer_data()
    {
        QTest::addColumn<int>("button");
        QTest::addColumn<int>("choice");
        QTest::newRow("stop only") << 0 << int(IMainWindow::StopOnly);
        QTest::newRow("stop and retract") << 1 << int(IMainWindow::StopAndRetract);
        QTest::newRow("cancel") << 2 << int(IMainWindow::StopCancelled);
    }

    void eachButtonGivesItsAnswer()
    {
        QFETCH(int, button);
        QFETCH(int, choice);
        int answer = -1;
        // The dialog runs modally, as the Stop command shows it; a click ends it.
        QTimer::singleShot(0, this, [button] {
            auto* dialog = qobject_cast<CStopBiddingDlg*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            QPushButton* buttons[] = {dialog->stopOnlyButton(), dialog->retractButton(),
                                      dialog->cancelButton()};
            QTest::mouseClick(buttons[button], Qt::LeftButton);
        });
        answer = CStopBiddingDlg::ask(nullptr, QStringLiteral("3000000001"), kHelp);
        QCOMPARE(answer, choice);
    }

    void closingTheDialogCancels()
    {
        QTimer::singleShot(0, this, [] {
            if (QWidget* dialog = QApplication::activeModalWidget())
                QTest::keyClick(dialog, Qt::Key_Escape);
        });
        QCOMPARE(CStopBiddingDlg::ask(nullptr, QStringLiteral("1"), kHelp),
                 int(IMainWindow::StopCancelled));
    }

    void theLinkOpensOnlyTheSitesPageInTheBrowser()
    {
        BrowserStandIn browser;
        CStopBiddingDlg dialog(QStringLiteral("3000000001"), kHelp);
        Q_EMIT dialog.helpLink()->linkActivated(kHelp);
        QCOMPARE(browser.opened, QList<QUrl>({QUrl(kHelp)}));

        // A damaged site entry never opens a local file or program.
        CStopBiddingDlg damaged(QStringLiteral("1"), QStringLiteral("file:///etc/passwd"));
        Q_EMIT damaged.helpLink()->linkActivated(QStringLiteral("file:///etc/passwd"));
        QCOMPARE(browser.opened.size(), 1);

        CStopBiddingDlg without(QStringLiteral("1"), QString());
        QVERIFY(without.helpLink()->isHidden());
    }
};

QTEST_MAIN(StopDialogTest)
#include "stopdialogtest.moc"
