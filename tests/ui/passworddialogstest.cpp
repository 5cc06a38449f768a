// The access password dialog's checks and the reminder that shows the password to whoever
// knows the stored site account.

#include "app/stringtable.h"
#include "promptrecorder.h"
#include "ui/accesspassworddlg.h"
#include "ui/forgotpassworddlg.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

class PasswordDialogsTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void theChecksReachTheUserInOrder_data()
    {
        QTest::addColumn<QString>("oldPassword");
        QTest::addColumn<QString>("newPassword");
        QTest::addColumn<QString>("confirmation");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("focused");
        QTest::newRow("empty new") << "wrong"
                                   << ""
                                   << "" << CAccessPasswordDlg::emptyText() << "new";
        QTest::newRow("wrong old") << "Old"
                                   << "x"
                                   << "y" << CAccessPasswordDlg::wrongOldText() << "old";
        QTest::newRow("mismatch") << "old"
                                  << "one"
                                  << "two" << CAccessPasswordDlg::mismatchText() << "confirm";
        QTest::newRow("accepted") << "old"
                                  << "same"
                                  << "same" << QString() << QString();
    }

    void theChecksReachTheUserInOrder()
    {
        QFETCH(QString, oldPassword);
        QFETCH(QString, newPassword);
        QFETCH(QString, confirmation);
        QFETCH(QString, message);
        QFETCH(QString, focused);
        PromptRecorder prompts;
        CAccessPasswordDlg dialog(QStringLiteral("old"), QStringLiteral("user"),
                                  QStringLiteral("pw"));
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        dialog.oldEdit()->setText(oldPassword);
        dialog.newEdit()->setText(newPassword);
        dialog.confirmEdit()->setText(confirmation);
        dialog.accept();
        if (message.isEmpty()) {
            QVERIFY(prompts.texts().isEmpty());
            QCOMPARE(dialog.result(), int(QDialog::Accepted));
            QCOMPARE(dialog.newPassword(), newPassword);
            return;
        }
        QCOMPARE(prompts.texts(), QStringList{message});
        QVERIFY(dialog.isVisible());
        const QLineEdit* expected = focused == "new"   ? dialog.newEdit()
                                    : focused == "old" ? dialog.oldEdit()
                                                       : dialog.confirmEdit();
        QCOMPARE(QApplication::focusWidget(), expected);
    }

    void aFirstPasswordNeedsNoOldOne()
    {
        PromptRecorder prompts;
        CAccessPasswordDlg dialog(QString(), QStringLiteral("user"), QStringLiteral("pw"));
        QVERIFY(!dialog.oldEdit()->isEnabled());
        QVERIFY(!dialog.forgotButton()->isEnabled());
        dialog.newEdit()->setText(QStringLiteral("first"));
        dialog.confirmEdit()->setText(QStringLiteral("first"));
        dialog.accept();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QVERIFY(prompts.texts().isEmpty());
    }

    void theReminderRefusesAWrongAccount()
    {
        CForgotPasswordDlg dialog(QStringLiteral("sniper"), QStringLiteral("Secret"),
                                  QStringLiteral("lock123"));
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        dialog.loginEdit()->setText(QStringLiteral("sniper"));
        dialog.passwordEdit()->setText(QStringLiteral("secret")); // the case counts
        dialog.accept();
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.statusLabel()->text(), StringTable::text(304));
        QCOMPARE(QApplication::focusWidget(), dialog.loginEdit());
        QCOMPARE(dialog.loginEdit()->selectedText(), QStringLiteral("sniper"));
        QVERIFY(dialog.cancelButton()->isEnabled());
    }

    void theReminderShowsThePasswordThenCloses()
    {
        CForgotPasswordDlg dialog(QStringLiteral("sniper"), QStringLiteral("Secret"),
                                  QStringLiteral("<lock&123>"));
        dialog.show();
        dialog.loginEdit()->setText(QStringLiteral("sniper"));
        dialog.passwordEdit()->setText(QStringLiteral("Secret"));
        dialog.accept();
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.statusLabel()->text(), QStringLiteral("Your access password: <lock&123>"));
        QVERIFY(!dialog.cancelButton()->isEnabled());
        QCOMPARE(dialog.okButton()->text(), StringTable::text(283));
        dialog.accept();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QVERIFY(!dialog.isVisible());
    }
};

QTEST_MAIN(PasswordDialogsTest)
#include "passworddialogstest.moc"
