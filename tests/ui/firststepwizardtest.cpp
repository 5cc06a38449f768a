// The startup wizard: its way through the pages, the account and e-mail checks with their
// messages, the registration menu, and what Finish and Cancel leave in the settings.

#include "ui/firststepwizard.h"
#include "app/appcontext.h"
#include "app/registry.h"
#include "promptrecorder.h"
#include "sitehome.h"
#include "sites/siteaccess.h"
#include "ui/firststepscreen2.h"
#include "ui/firststepscreen20.h"
#include "ui/firststepscreen3.h"
#include "ui/firststepscreen4.h"
#include "ui/firststepscreen5.h"

#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QRadioButton>
#include <QtTest>

class FirstStepWizardTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void pagesAndChecks()
    {
        SiteHome home;
        PromptRecorder prompts;
        CFirstStepWizard wizard(home.app());
        QList<QUrl> opened;
        wizard.setUrlOpener([&opened](const QUrl& url) {
            opened << url;
            return true;
        });
        wizard.show();
        wizard.next();
        QCOMPARE(wizard.currentId(), int(CFirstStepWizard::SitePage));
        QListWidget* sites = wizard.sitePage()->siteList();
        QVERIFY(sites->count() >= 2);
        QCOMPARE(wizard.sitePage()->site(), CurrentSiteName());
        QVERIFY(!sites->item(0)->icon().isNull());

        // Yes goes straight to the account; Back returns to the question.
        wizard.next();
        QVERIFY(wizard.questionPage()->yesButton()->isChecked());
        wizard.next();
        QCOMPARE(wizard.currentId(), int(CFirstStepWizard::AccountPage));
        wizard.goBack();
        QCOMPARE(wizard.currentId(), int(CFirstStepWizard::AccountQuestionPage));
        // No passes the registration page, and Back from the account skips it again.
        wizard.questionPage()->noButton()->setChecked(true);
        wizard.next();
        QCOMPARE(wizard.currentId(), int(CFirstStepWizard::RegisterPage));
        QMenu* menu = wizard.registerPage()->siteMenu();
        QCOMPARE(menu->actions().size(), 10);
        menu->actions().at(2)->trigger();
        QCOMPARE(opened.value(0),
                 QUrl("https://scgi.ebay.co.uk/ws/eBayISAPI.dll?RegisterEnterInfo"));
        wizard.next();
        QCOMPARE(wizard.currentId(), int(CFirstStepWizard::AccountPage));
        wizard.goBack();
        QCOMPARE(wizard.currentId(), int(CFirstStepWizard::AccountQuestionPage));
        wizard.questionPage()->yesButton()->setChecked(true);
        wizard.next();

        CFirstStepScreen4* account = wizard.accountPage();
        const auto tryAccount = [&](const QString& user, const QString& password,
                                    const QString& confirm) {
            prompts.clear();
            account->userIdEdit()->setText(user);
            account->passwordEdit()->setText(password);
            account->confirmEdit()->setText(confirm);
            wizard.next();
            return prompts.texts().value(0);
        };
        QCOMPARE(tryAccount("  ", "secret", "secret"),
                 QStringLiteral("Your User ID is not valid. Please try again."));
        QCOMPARE(tryAccount("bidder", "12345", "12345"),
                 QStringLiteral("Your eBay® password is too short, minimum 6 character needed."));
        QCOMPARE(account->passwordEdit()->selectedText(), QStringLiteral("12345"));
        QCOMPARE(tryAccount("bidder", "123456", "123457"),
                 QStringLiteral("The passwords you typed do not match. Type the new passwords in "
                                "both text boxes."));
        QCOMPARE(wizard.currentId(), int(CFirstStepWizard::AccountPage));
        QCOMPARE(tryAccount(" bidder ", "123456", "123456 "), QString());
        QCOMPARE(wizard.currentId(), int(CFirstStepWizard::EmailPage));

        prompts.clear();
        wizard.emailPage()->addressEdit()->setText("user@example");
        wizard.next();
        QCOMPARE(prompts.texts(), QStringList{"Please, enter a valid email address."});
        QCOMPARE(wizard.currentId(), int(CFirstStepWizard::EmailPage));
        for (const char* bad : {"", ".user@example.com", "user@example.com.", "@example.com",
                                "user@", "us er;x@example.com", "user(x)@example.com"})
            QVERIFY2(!CFirstStepWizard::isValidEmail(bad), bad);
        for (const char* good : {"first.last@example", " a@b.c ", "a-b_c@x.y.z"})
            QVERIFY2(CFirstStepWizard::isValidEmail(good), good);
    }

    void finishStoresCancelOnlyEndsTheOffer()
    {
        SiteHome home;
        PromptRecorder prompts;
        AppContext& app = home.app();
        QVERIFY(CFirstStepWizard::isWanted(app));
        {
            CFirstStepWizard wizard(app);
            wizard.show();
            // The confirmation's Cancel keeps the wizard.
            prompts.queue(IMainWindow::AnswerCancel);
            wizard.reject();
            QVERIFY(wizard.isVisible());
            prompts.queue(IMainWindow::AnswerOk);
            wizard.reject();
            QVERIFY(!wizard.isVisible());
        }
        QCOMPARE(app.userRegistry().readInt("Options", "firststartup", 1), 0);
        QVERIFY(app.userRegistry().readStr("Login", "Login").isEmpty());
        QVERIFY(!CFirstStepWizard::isWanted(app));

        app.settings().firstStartup = 1;
        CFirstStepWizard wizard(app);
        int siteChanges = 0;
        wizard.setSiteChangedHandler([&siteChanges] { ++siteChanges; });
        wizard.show();
        wizard.next();
        QListWidget* sites = wizard.sitePage()->siteList();
        const QString other = sites->item(sites->currentRow() == 0 ? 1 : 0)->text();
        sites->setCurrentRow(sites->currentRow() == 0 ? 1 : 0);
        wizard.next();
        wizard.next();
        wizard.accountPage()->userIdEdit()->setText("bidder");
        wizard.accountPage()->passwordEdit()->setText("secret1");
        wizard.accountPage()->confirmEdit()->setText("secret1");
        wizard.next();
        wizard.emailPage()->addressEdit()->setText("me@example.org");
        wizard.next();
        wizard.accept();
        QCOMPARE(app.settings().login, QStringLiteral("bidder"));
        QCOMPARE(app.settings().password, QStringLiteral("secret1"));
        Registry& user = app.userRegistry();
        QCOMPARE(user.readStr("Login", "Login"), QStringLiteral("bidder"));
        QCOMPARE(user.readStr("Login", "Email"), QStringLiteral("me@example.org"));
        QCOMPARE(user.readInt("Options", "firststartup", 1), 0);
        QCOMPARE(user.readStr("Options", "currentSite"), other);
        QCOMPARE(siteChanges, 1);
        QVERIFY(!home.logText().contains("secret1"));
    }
};

QTEST_MAIN(FirstStepWizardTest)
#include "firststepwizardtest.moc"
