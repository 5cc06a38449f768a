// The options sheet's Update page: "Update Now" against the practice site's settings files,
// without freezing the sheet, and a failure shown as such.

#include "ui/updatepage.h"
#include "app/registry.h"
#include "sitehome.h"
#include "support/practicesiteprocess.h"

#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

class UpdatePageTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void updateNowAppliesTheSiteDataAgainAndShowsWhen()
    {
        if (!QFile::exists(PracticeSiteProcess::binaryPath()))
            QSKIP("the practice site is not built");
        PracticeSiteProcess site;
        QVERIFY(site.isRunning());
        SiteHome home;
        Registry& machine = home.app().machineRegistry();
        machine.writeStr("URL", "URLSettings", site.baseUrl() + "/update/settings.txt");
        // Already at the offered version: the button applies it all the same.
        machine.writeInt(QString(), "SSVer", 0x7FFFFFFF);

        CUpdatePage page(home.app());
        page.load(home.app().settings());
        QCOMPARE(page.lastCheckedLabel()->text(), QStringLiteral("Never"));
        QSignalSpy finished(&page, &CUpdatePage::updateFinished);
        page.updateNowButton()->click();
        // The download runs elsewhere: the button waits, the page still answers.
        QVERIFY(!page.updateNowButton()->isEnabled());
        QVERIFY(finished.wait(20000));
        QCOMPARE(finished.first().first().toBool(), true);
        QCOMPARE(page.resultLabel()->text(),
                 QStringLiteral("Updating of eBay® sites settings completed successfully."));
        QVERIFY(page.updateNowButton()->isEnabled());
        QVERIFY(page.lastCheckedLabel()->text() != QStringLiteral("Never"));
        QVERIFY(machine.readInt(QString(), "SSVer", 0) != 0x7FFFFFFF);
        QVERIFY(machine.contains("Sites", "sitesCount"));
        QVERIFY(home.logText().contains("Update settings manually from options."));
    }

    void aFailedUpdateSaysSo()
    {
        SiteHome home;
        home.app().machineRegistry().writeStr("URL", "URLSettings",
                                              QStringLiteral("http://127.0.0.1:1/settings.txt"));
        CUpdatePage page(home.app());
        QSignalSpy finished(&page, &CUpdatePage::updateFinished);
        page.updateNowButton()->click();
        QVERIFY(finished.wait(20000));
        QCOMPARE(finished.first().first().toBool(), false);
        QCOMPARE(page.resultLabel()->text(),
                 QStringLiteral("Update failed. Please, check your internet connection."));
        QVERIFY(page.updateNowButton()->isEnabled());
    }
};

QTEST_MAIN(UpdatePageTest)
#include "updatepagetest.moc"
