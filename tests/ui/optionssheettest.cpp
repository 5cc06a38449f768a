// The options sheet: what OK writes, logs and applies, the questions about a short bidding
// interval, the checks that keep the sheet open, and the site settings page.

#include "ui/optionssheet.h"
#include "engine/dialupconnection.h"
#include "engine/processrunner.h"
#include "promptrecorder.h"
#include "sitehome.h"
#include "sites/sitehosts.h"
#include "sites/sitesettings.h"
#include "support/apphome.h"
#include "ui/advancedpage.h"
#include "ui/applicationpage.h"
#include "ui/networkpage.h"
#include "ui/otheroptionspage.h"
#include "ui/sitesettingspage.h"
#include "ui/timeoptionspage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTreeWidget>
#include <QtTest>

class OptionsSheetTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_home = std::make_unique<SiteHome>();
        m_hooks = {};
        m_syncs = 0;
        m_autosaves = 0;
        m_autosaveMinutes = 0;
        m_hooks.synchroniseTime = [this] { ++m_syncs; };
        m_hooks.autosaveNow = [this] { ++m_autosaves; };
        m_hooks.restartAutosave = [this](int minutes) { m_autosaveMinutes = minutes; };
    }

    void cleanup() { m_home.reset(); }

    void okWritesLogsAndAppliesWithoutPasswords()
    {
        auto sheet = newSheet();
        sheet->page<CTimeOptionsPage>(COptionsSheet::TimeOptions)->startBeforeBox()->setValue(45);
        auto* account = sheet->page<CApplicationPage>(COptionsSheet::Application);
        account->loginEdit()->setText(QStringLiteral("sniper42"));
        account->passwordEdit()->setText(QStringLiteral("SitePassword!"));
        auto* network = sheet->page<CNetworkPage>(COptionsSheet::Network);
        network->useProxyBox()->setChecked(true);
        network->portEdit()->setText(QStringLiteral("3128"));
        sheet->accept();
        QCOMPARE(sheet->result(), int(QDialog::Accepted));

        QCOMPARE(app().settings().startBefore, 45);
        QCOMPARE(app().userRegistry().readInt("Options", "startBefore", 0), 45);
        QCOMPARE(app().userRegistry().readInverted("Login", "Password"),
                 QStringLiteral("SitePassword!"));
        const QString log = m_home->logText();
        QVERIFY(log.contains(" ****** Start change options **************"));
        QVERIFY(log.contains("StartBefore = 45"));
        QVERIFY(log.contains("eBay login: = sniper42"));
        QVERIFY(log.contains(" ****** End change options ****************"));
        QVERIFY(log.indexOf("StartBefore = 45") < log.indexOf("End change options"));
        QVERIFY(!log.contains("SitePassword!"));
        // autoTimeSync did not change: no synchronisation, no "AutoTimeSync" line.
        QCOMPARE(m_syncs, 0);
        QVERIFY(!log.contains("AutoTimeSync"));
        QCOMPARE(m_autosaves, 1);
        QCOMPARE(m_autosaveMinutes, 10);
    }

    void secretsOfEveryPageStayOutOfTheLog()
    {
        app().settings().useProxy = 1;
        app().settings().proxyAddress = QStringLiteral("proxy.local");
        app().settings().useProxyPass = 1;
        app().settings().proxyPass = QStringLiteral("ProxySecret");
        auto sheet = newSheet();
        auto* other = sheet->page<COtherOptionsPage>(COptionsSheet::Other);
        other->setPasswordDialog([](const QString&, QString* chosen) {
            *chosen = QStringLiteral("LockSecret");
            return true;
        });
        other->changePassword();
        sheet->accept();
        QCOMPARE(app().settings().lockPassword, QStringLiteral("LockSecret"));
        const QString log = m_home->logText();
        QVERIFY(log.contains("ProxyUsername = , pass = skiped..."));
        QVERIFY(!log.contains("ProxySecret"));
        QVERIFY(!log.contains("LockSecret"));
    }

    void aChangedSyncPeriodSynchronisesOnce()
    {
        auto sheet = newSheet();
        auto* time = sheet->page<CTimeOptionsPage>(COptionsSheet::TimeOptions);
        QSpinBox* sync = nullptr;
        for (QSpinBox* box : time->findChildren<QSpinBox*>()) {
            if (box->value() == 60 && box->maximum() == 1440)
                sync = box;
        }
        QVERIFY(sync);
        sync->setValue(90);
        // A new site asks for a synchronisation too; one is enough.
        auto* account = sheet->page<CApplicationPage>(COptionsSheet::Application);
        account->siteBox()->setCurrentIndex(
            account->siteBox()->findData(SiteHosts::siteName(SiteHosts::France)));
        sheet->accept();
        QCOMPARE(m_syncs, 1);
        const QString log = m_home->logText();
        QVERIFY(log.contains("AutoTimeSync = 90"));
        QVERIFY(log.contains("Current site changed... (" + SiteHosts::siteName(SiteHosts::France) +
                             ")"));
        QCOMPARE(m_home->sites().currentSite(), SiteHosts::siteName(SiteHosts::France));
    }

    void autostartIsTheUsersWordAndAFailureIsLogged()
    {
        // This program lies in a build folder: a box ticked by default writes no entry.
        const QString entry = app().paths().autostartDir() + "/gavelin.desktop";
        app().settings().autoStartup = 1;
        newSheet()->accept();
        QVERIFY(!QFile::exists(entry));

        app().settings().autoStartup = 0;
        newSheet()->accept();
        auto sheet = newSheet();
        sheet->page<CAdvancedPage>(COptionsSheet::Advanced)->autoStartupBox()->setChecked(true);
        sheet->accept();
        QVERIFY(QFile::exists(entry));
        // The entry the user asked for stays as made when the box stays ticked.
        newSheet()->accept();
        QVERIFY(QFile::exists(entry));

        app().settings().autoStartup = 0;
        newSheet()->accept();
        QVERIFY(!QFile::exists(entry));

        m_hooks.autostart = [](bool) { return false; };
        newSheet()->accept();
        const QStringList lines = m_home->logText().split("\r\n");
        const QStringList failures = lines.filter("Unable to access registry section RUN.");
        QCOMPARE(failures.size(), 1);
        QVERIFY(failures.first().startsWith('#'));
    }

    void labelsGreyWithTheirFieldsAndTheTitleNamesTheSheet()
    {
        auto sheet = newSheet();
        QCOMPARE(sheet->windowTitle(), QStringLiteral("Options - Gavelin"));
        auto* network = sheet->page<CNetworkPage>(COptionsSheet::Network);
        const auto labelOf = [network](QWidget* field) -> QLabel* {
            for (QLabel* label : network->findChildren<QLabel*>()) {
                if (label->buddy() == field)
                    return label;
            }
            return nullptr;
        };
        QLabel* port = labelOf(network->portEdit());
        QVERIFY(port);
        network->useProxyBox()->setChecked(false);
        QVERIFY(!port->isEnabled());
        network->useProxyBox()->setChecked(true);
        QVERIFY(port->isEnabled());
        // No dial-up here: its entry's label is grey from the start.
        QLabel* entry = labelOf(network->entryBox());
        QVERIFY(entry && !entry->isEnabled());
    }

    void cancelChangesNothing()
    {
        auto sheet = newSheet();
        sheet->page<CTimeOptionsPage>(COptionsSheet::TimeOptions)->startBeforeBox()->setValue(90);
        editFirstSiteValue(sheet.get(), QStringLiteral("edited keyword"));
        sheet->reject();
        QCOMPARE(app().settings().startBefore, 60);
        QVERIFY(!app().userRegistry().contains("Options", "startBefore"));
        const auto rows = m_home->sites().siteEntries(m_home->sites().currentSite());
        QVERIFY(rows.front().second != QStringLiteral("edited keyword"));
    }

    void shortIntervalQuestionCancelPutsBackTheValue()
    {
        PromptRecorder prompts;
        auto sheet = newSheet();
        auto* time = sheet->page<CTimeOptionsPage>(COptionsSheet::TimeOptions);
        QVERIFY(sheet->selectPage(COptionsSheet::TimeOptions));
        time->startBeforeBox()->setValue(10);
        prompts.queue(IMainWindow::AnswerCancel);
        QVERIFY(!sheet->selectPage(COptionsSheet::Network));
        QCOMPARE(sheet->currentPage(), int(COptionsSheet::TimeOptions));
        QCOMPARE(time->startBeforeBox()->value(), 60);
        QCOMPARE(prompts.texts(), QStringList{CTimeOptionsPage::shortIntervalText()});
        QVERIFY(!time->isWarningShown());
    }

    void shortIntervalQuestionIsAskedOnceAfterOk()
    {
        PromptRecorder prompts;
        auto sheet = newSheet();
        auto* time = sheet->page<CTimeOptionsPage>(COptionsSheet::TimeOptions);
        QVERIFY(sheet->selectPage(COptionsSheet::TimeOptions));
        time->startBeforeBox()->setValue(10);
        prompts.queue(IMainWindow::AnswerOk);
        QVERIFY(sheet->selectPage(COptionsSheet::Network));
        QVERIFY(time->isWarningShown());
        QVERIFY(sheet->selectPage(COptionsSheet::TimeOptions));
        time->startBeforeBox()->setValue(5);
        QVERIFY(sheet->selectPage(COptionsSheet::Update));
        QCOMPARE(prompts.texts().size(), 1);
        sheet->accept();
        QCOMPARE(app().settings().startBefore, 5);
    }

    void okOnTheTimePageAsksToo()
    {
        PromptRecorder prompts;
        auto sheet = newSheet();
        QVERIFY(sheet->selectPage(COptionsSheet::TimeOptions));
        sheet->page<CTimeOptionsPage>(COptionsSheet::TimeOptions)->startBeforeBox()->setValue(20);
        prompts.queue(IMainWindow::AnswerCancel);
        sheet->accept();
        QCOMPARE(sheet->result(), int(QDialog::Rejected));
        QCOMPARE(app().settings().startBefore, 60);
        QCOMPARE(prompts.texts().size(), 1);
    }

    void aStoredShortIntervalOpensTheTimePageAndAsks()
    {
        app().settings().startBefore = 12;
        PromptRecorder prompts;
        auto sheet = newSheet();
        QCOMPARE(sheet->currentPage(), int(COptionsSheet::TimeOptions));
        prompts.queue(IMainWindow::AnswerCancel);
        sheet->show();
        QTRY_COMPARE(prompts.texts().size(), 1);
        // Putting back 12 would answer nothing: the default interval comes back.
        QCOMPARE(
            sheet->page<CTimeOptionsPage>(COptionsSheet::TimeOptions)->startBeforeBox()->value(),
            60);
    }

    void aBadProxyPortKeepsTheSheetOpen()
    {
        PromptRecorder prompts;
        app().settings().useProxy = 1;
        app().settings().proxyPort = QStringLiteral("80a");
        auto sheet = newSheet();
        sheet->accept();
        QCOMPARE(sheet->result(), int(QDialog::Rejected));
        QCOMPARE(prompts.texts(), QStringList{CNetworkPage::badPortText()});
        QCOMPARE(sheet->currentPage(), int(COptionsSheet::Network));
        QVERIFY(!m_home->logText().contains("Start change options"));

        sheet->page<CNetworkPage>(COptionsSheet::Network)->useProxyBox()->setChecked(false);
        sheet->accept();
        QCOMPARE(sheet->result(), int(QDialog::Accepted));
    }

    void lockWithoutPasswordIsRefused()
    {
        PromptRecorder prompts;
        app().settings().lock = 1; // damaged: protection on, no password
        auto sheet = newSheet();
        sheet->accept();
        QCOMPARE(sheet->result(), int(QDialog::Rejected));
        QCOMPARE(sheet->currentPage(), int(COptionsSheet::Other));
        QCOMPARE(prompts.texts().size(), 1);
    }

    void tickingTheLockAsksForAPassword()
    {
        auto sheet = newSheet();
        auto* other = sheet->page<COtherOptionsPage>(COptionsSheet::Other);
        other->setPasswordDialog([](const QString&, QString*) { return false; });
        other->lockBox()->click();
        QVERIFY(!other->lockBox()->isChecked());
        other->setPasswordDialog([](const QString&, QString* chosen) {
            *chosen = QStringLiteral("secret");
            return true;
        });
        other->lockBox()->click();
        QVERIFY(other->lockBox()->isChecked());
        QCOMPARE(other->pendingPassword(), QStringLiteral("secret"));
    }

    void storedValuesOutOfRangeAreReported()
    {
        app().settings().refreshEvery = 0;
        app().settings().highlightEndingHours = 99;
        auto sheet = newSheet();
        const QString log = m_home->logText();
        QVERIFY(log.contains("the stored refreshEvery = 0 is outside 1 to 180; 1 is shown"));
        QVERIFY(log.contains("the stored hilightTime = 99 is outside 1 to 24; 24 is shown"));
        sheet->accept();
        QCOMPARE(app().settings().refreshEvery, 1);
    }

    void aGroupNodeAsksForAChild()
    {
        auto sheet = newSheet();
        QTreeWidgetItem* group = sheet->tree()->topLevelItem(1);
        sheet->tree()->setCurrentItem(group);
        QCOMPARE(sheet->currentPage(), -1);
        QCOMPARE(sheet->groupHint(),
                 QStringLiteral("Please select a child item of '%1'.").arg(group->text(0)));
    }

    void editedSiteValuesAreSavedWithOk()
    {
        auto sheet = newSheet();
        const QString site = m_home->sites().currentSite();
        const QString name = editFirstSiteValue(sheet.get(), QStringLiteral("Neuer Preis:"));
        // Another site shown and back: the edit is kept by the page.
        auto* page = sheet->page<CSiteSettingsPage>(COptionsSheet::SiteSettings);
        QComboBox* sites = page->siteBox();
        QVERIFY(sites->count() >= 2);
        sites->setCurrentIndex(sites->currentIndex() == 0 ? 1 : 0);
        sites->setCurrentIndex(sites->findData(site));
        QCOMPARE(page->valueList()->topLevelItem(0)->text(1), QStringLiteral("Neuer Preis:"));
        QVERIFY(!page->addSiteButton()->isEnabled());

        sheet->accept();
        QCOMPARE(m_home->sites().value(site + "_" + name), QStringLiteral("Neuer Preis:"));
        QCOMPARE(app().machineRegistry().readStr("Sites", site + "_" + name),
                 QStringLiteral("Neuer Preis:"));
    }

    void dialUpEntriesComeFromThePhoneBook()
    {
        QTemporaryDir peers;
        for (const char* name : {"provider", "backup"}) {
            QFile file(peers.filePath(QLatin1String(name)));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        app().settings().phoneEntry = QStringLiteral("provider");
        app().settings().dialUp = 1;
        ProcessRunner runner;
        const DialUpOptions options =
            DialUpOptions::load(DialUpConnection(runner, peers.path()), QStringLiteral("provider"));
        COptionsSheet sheet(app(), options, m_hooks);
        auto* network = sheet.page<CNetworkPage>(COptionsSheet::Network);
        QCOMPARE(network->entryBox()->count(), 2);
        QCOMPARE(network->entryBox()->currentText(), QStringLiteral("provider"));
        QVERIFY(network->entryBox()->isEnabled());
        QVERIFY(network->unavailableNote()->isHidden());

        PromptRecorder prompts;
        network->autoDisconnectBox()->click();
        QCOMPARE(prompts.texts(), QStringList{DialUpOptions::autoDisconnectNotice()});
    }

    void withoutAPhoneBookDialUpIsDisabledAndTheEntryKept()
    {
        app().settings().phoneEntry = QStringLiteral("gone");
        ProcessRunner runner;
        const DialUpOptions options =
            DialUpOptions::load(DialUpConnection(runner, "/nonexistent/peers"), "gone");
        COptionsSheet sheet(app(), options, m_hooks);
        auto* network = sheet.page<CNetworkPage>(COptionsSheet::Network);
        QVERIFY(!network->dialUpButton()->isEnabled());
        QVERIFY(!network->entryBox()->isEnabled());
        QVERIFY(!network->unavailableNote()->isHidden());
        QVERIFY(!network->unavailableNote()->text().isEmpty());
        sheet.accept();
        QCOMPARE(app().settings().phoneEntry, QStringLiteral("gone"));
    }

private:
    AppContext& app() { return m_home->app(); }

    std::unique_ptr<COptionsSheet> newSheet()
    {
        return std::make_unique<COptionsSheet>(app(), DialUpOptions(), m_hooks);
    }

    // Edits the first row of the current site; returns its name.
    QString editFirstSiteValue(COptionsSheet* sheet, const QString& value)
    {
        auto* page = sheet->page<CSiteSettingsPage>(COptionsSheet::SiteSettings);
        page->setValueEditor([value](const QString&, QString* edited) {
            *edited = value;
            return true;
        });
        QTreeWidgetItem* first = page->valueList()->topLevelItem(0);
        page->valueList()->setCurrentItem(first);
        page->editSelected();
        return first->text(0);
    }

    std::unique_ptr<SiteHome> m_home;
    COptionsApply::Hooks m_hooks;
    int m_syncs = 0;
    int m_autosaves = 0;
    int m_autosaveMinutes = 0;
};

QTEST_MAIN(OptionsSheetTest)
#include "optionssheettest.moc"
