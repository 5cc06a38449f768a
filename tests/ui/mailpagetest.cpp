// The Zaru Vuzarovuz page: its values in and out (TLS choices and the authentication
// dialog included), the warning beside an empty accepted sender, "Check mail now", and a
// test mail sent on its own thread while the window goes on.

#include "ui/mailpage.h"
#include "app/appcontext.h"
#include "mail/mailsecurity.h"
#include "support/apphome.h"
#include "support/smtpserver.h"
#include "ui/mailauthdlg.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QtTest>

class MailPageTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void valuesWarningAndCheckNow()
    {
        AppHome home;
        AppSettings& settings = home.app().settings();
        settings.useMC = 1;
        settings.popServer = QStringLiteral("pop.example.org");
        settings.popPort = 110;
        settings.popSecurity = MailSecurity::StartTls;
        settings.commandEmail = QStringLiteral("boss@example.org");
        settings.smtpServer = QStringLiteral("smtp.example.org");
        settings.smtpPort = 465;
        settings.smtpSecurity = MailSecurity::ImplicitTls;
        settings.smtpUser = QStringLiteral("old");
        int checks = 0;
        CMailPage page(home.app(), [&checks] { ++checks; });
        page.load(settings);
        QCOMPARE(page.popSecurityBox()->currentData().toInt(), int(MailSecurity::StartTls));
        QCOMPARE(page.popPortSpin()->value(), 110);
        QCOMPARE(page.smtpPortSpin()->value(), 465);
        QVERIFY(!page.acceptedSenderWarningLabel()->isVisibleTo(&page));

        // An empty accepted sender is warned about beside its field.
        page.acceptedSenderEdit()->clear();
        QVERIFY(page.acceptedSenderWarningLabel()->isVisibleTo(&page));
        QCOMPARE(page.acceptedSenderWarningLabel()->text(), CMailPage::acceptedSenderWarning());
        // A port still at the usual one follows the protection; a chosen one stays.
        page.popSecurityBox()->setCurrentIndex(page.popSecurityBox()->findData(1));
        QCOMPARE(page.popPortSpin()->value(), 995);
        page.smtpPortSpin()->setValue(2525);
        page.smtpSecurityBox()->setCurrentIndex(0);
        QCOMPARE(page.smtpPortSpin()->value(), 2525);

        QTimer::singleShot(0, this, [] {
            auto* dialog = qobject_cast<CMailAuthDlg*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            QCOMPARE(dialog->userEdit()->text(), QStringLiteral("old"));
            dialog->userEdit()->setText(QStringLiteral(" sniper "));
            dialog->passwordEdit()->setText(QStringLiteral("Sm7p-s3cret"));
            dialog->accept();
        });
        page.authenticationButton()->click();

        AppSettings stored;
        page.store(stored);
        QCOMPARE(stored.useMC, 1);
        QCOMPARE(stored.commandEmail, QString());
        QCOMPARE(stored.popSecurity, int(MailSecurity::ImplicitTls));
        QCOMPARE(stored.popPort, 995);
        QCOMPARE(stored.smtpSecurity, int(MailSecurity::Plain));
        QCOMPARE(stored.smtpPort, 2525);
        QCOMPARE(stored.smtpUser, QStringLiteral("sniper"));
        QCOMPARE(stored.smtpPassword, QStringLiteral("Sm7p-s3cret"));

        // "Check mail now" asks the program, which checks with the stored settings.
        page.checkNowButton()->click();
        QCOMPARE(checks, 1);
        QVERIFY(page.statusLabel()->text().contains(QStringLiteral("stored settings")));
        CMailPage alone(home.app(), {});
        alone.load(settings);
        QVERIFY(!alone.checkNowButton()->isEnabled());
    }

    void testMailRunsOnItsThread()
    {
        SmtpServer smtp;
        QVERIFY2(smtp.isRunning(), qPrintable(smtp.errorString()));
        AppHome home;
        AppSettings settings = home.app().settings();
        settings.smtpServer = QStringLiteral("127.0.0.1");
        settings.smtpPort = smtp.port();
        settings.notifySender = QStringLiteral("sniper@example.com");
        settings.notifyRecipient = QStringLiteral("me@example.org");
        CMailPage page(home.app(), {});
        page.load(settings);
        page.show();

        QSignalSpy finished(&page, &CMailPage::testFinished);
        page.testButton()->click();
        // The window is not held: the click returns while the mail is on its way.
        QVERIFY(page.isTesting());
        QVERIFY(!page.testButton()->isEnabled());
        QVERIFY(page.statusLabel()->text().startsWith(QStringLiteral("Sending the test mail")));
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 20000);
        QVERIFY(page.testButton()->isEnabled());
        QCOMPARE(page.statusLabel()->text(),
                 QStringLiteral("The test mail was sent to me@example.org."));
        QVERIFY(page.statusLabel()->toolTip().contains(QStringLiteral("< 250")));
        QCOMPARE(smtp.messageCount(), 1);

        // No server there: the reason, not a hang.
        page.smtpPortSpin()->setValue(1);
        page.testButton()->click();
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 2, 40000);
        QVERIFY(page.statusLabel()->text().startsWith(
            QStringLiteral("No connection to 127.0.0.1, port 1")));
    }
};

QTEST_MAIN(MailPageTest)
#include "mailpagetest.moc"
