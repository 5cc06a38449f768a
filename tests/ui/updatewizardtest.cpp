// The update wizard against the practice site: the version check and what it offers, the
// package download with its progress, cancel, refusals and a retry with credentials, and
// Finish starting the package through the desktop. The display rules are checked as
// plain functions.

#include "ui/updatewizard.h"
#include "app/appcontext.h"
#include "app/registry.h"
#include "promptrecorder.h"
#include "sitehome.h"
#include "support/practicesiteprocess.h"
#include "ui/updatescreen2.h"
#include "ui/updatescreen3.h"
#include "ui/updatescreen4.h"
#include "ui/updatescreen5.h"
#include "ui/updatewizardtext.h"

#include <QCheckBox>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <QLabel>
#include <QProgressBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {

constexpr int kPackageBytes = 5 * 1024 * 1024;

// A profile whose settings address is the practice site's, with a known installed version.
void pointAtSite(SiteHome& home, const PracticeSiteProcess& site, int installedVersion)
{
    Registry& machine = home.app().machineRegistry();
    machine.writeStr("URL", "URLSettings", site.baseUrl() + "/update/settings.txt");
    machine.writeInt(QString(), "versionApp", installedVersion);
}

void announce(const PracticeSiteProcess& site, const QByteArray& fields)
{
    QVERIFY(site.control("POST", "/site", "{" + fields + "}").ok());
}

// Opens the wizard on its check page and waits for the check.
std::unique_ptr<CUpdateWizard> checkedWizard(SiteHome& home, const QString& folder = {})
{
    auto wizard = std::make_unique<CUpdateWizard>(home.app(), true);
    if (!folder.isEmpty())
        wizard->setDownloadFolder(folder);
    QSignalSpy done(wizard->checkPage(), &CUpdateScreen2::checkFinished);
    wizard->show();
    if (!done.wait(20000))
        return nullptr;
    return wizard;
}

// Goes on from the check page to the download and waits for its end.
bool download(CUpdateWizard& wizard)
{
    QSignalSpy finished(wizard.downloadPage(), &CUpdateScreen3::downloadFinished);
    wizard.next();
    if (wizard.currentId() != CUpdateWizard::DownloadPage || !finished.wait(30000))
        return false;
    return finished.first().first().toBool();
}

} // namespace

class UpdateWizardTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void displayRules()
    {
        using namespace UpdateWizardText;
        QCOMPARE(size(1023), QStringLiteral("1023 Bytes"));
        QCOMPARE(size(1536), QStringLiteral("1.5 KB"));
        QCOMPARE(size(1048575), QStringLiteral("1024.0 KB"));
        QCOMPARE(size(1048576 * 9 / 4), QStringLiteral("2.25 MB"));
        QCOMPARE(sizes(512, 2048), QStringLiteral("512 Bytes of 2.0 KB"));
        QCOMPARE(timeLeft(59), QStringLiteral("59 sec"));
        QCOMPARE(timeLeft(120), QStringLiteral("2 min"));
        QCOMPARE(timeLeft(125), QStringLiteral("2 min 5 sec"));
        QCOMPARE(timeLeftLine(5, 1024, 2048), QStringLiteral("5 sec (1.0 KB of 2.0 KB copied)"));
        QCOMPARE(rate(0.5), QStringLiteral("512 Bytes/Sec"));
        QCOMPARE(rate(2.5), QStringLiteral("2.50 KB/Sec"));
        QCOMPARE(rate(120.4), QStringLiteral("120 KB/Sec"));
        QCOMPARE(fileName(QStringLiteral("/pub/gavelin-1.5.exe")),
                 QStringLiteral("gavelin-1.5.exe"));
        // Nothing of the address may lead out of the download folder.
        QCOMPARE(fileName(QStringLiteral("/a/")), QStringLiteral("_a_"));
        QVERIFY(!fileName(QStringLiteral("/..")).startsWith(u'.'));
        QVERIFY(isPackage(QStringLiteral("http://x/setup.EXE")));
        QVERIFY(isPackage(QStringLiteral("http://x/gavelin_1.5_amd64.deb")));
        QVERIFY(isPackage(QStringLiteral("http://x/Gavelin.AppImage")));
        QVERIFY(!isPackage(QStringLiteral("http://x/news.html")));
    }

    void checkOffersDownloadLinkOrNothing()
    {
        if (!QFile::exists(PracticeSiteProcess::binaryPath()))
            QSKIP("the practice site is not built");
        PracticeSiteProcess site;
        QVERIFY(site.isRunning());
        SiteHome home;
        pointAtSite(home, site, 0x10000);
        announce(site, R"("programVersion":65541,"patchName":"gavelin-update.exe")");

        auto wizard = checkedWizard(home);
        QVERIFY(wizard);
        CUpdateScreen2* check = wizard->checkPage();
        QCOMPARE(check->statusLabel()->text(),
                 QStringLiteral("Updating of eBay® sites settings completed successfully."));
        QCOMPARE(check->progressBar()->value(), check->progressBar()->maximum());
        QCOMPARE(check->resultLabel()->text(),
                 QStringLiteral("New version of the Gavelin released. Version 1.05"));
        QVERIFY(!check->downloadBox()->isHidden() && check->downloadBox()->isChecked());
        QVERIFY(check->isComplete());
        QCOMPARE(check->nextId(), int(CUpdateWizard::DownloadPage));
        check->downloadBox()->setChecked(false);
        QCOMPARE(check->nextId(), int(CUpdateWizard::FinishPage));

        // An unknown installed version is offered nothing, whatever is announced.
        pointAtSite(home, site, 0);
        wizard = checkedWizard(home);
        QVERIFY(wizard);
        QVERIFY(wizard->checkPage()->resultLabel()->isHidden());
        QVERIFY(wizard->checkPage()->downloadBox()->isHidden());
        QCOMPARE(wizard->checkPage()->nextId(), int(CUpdateWizard::FinishPage));
        QVERIFY(home.logText().contains("A new version is not available."));

        // An address that is no package is a link for the browser, not a download.
        pointAtSite(home, site, 0x10000);
        announce(site, R"("patchName":"whatsnew.html")");
        wizard = checkedWizard(home);
        QVERIFY(wizard);
        check = wizard->checkPage();
        QVERIFY(check->downloadBox()->isHidden());
        QVERIFY(!check->linkLabel()->isHidden());
        QVERIFY(check->linkLabel()->text().contains(site.baseUrl() + "/update/whatsnew.html"));
        QVERIFY(check->resultLabel()->text().endsWith("\nFor downloading click the link:"));
        QVERIFY(!check->isComplete());
    }

    void downloadShowsProgressAndFinishStartsThePackage()
    {
        if (!QFile::exists(PracticeSiteProcess::binaryPath()))
            QSKIP("the practice site is not built");
        PracticeSiteProcess site;
        SiteHome home;
        pointAtSite(home, site, 0x10000);
        announce(site, R"("programVersion":65541,"patchName":"gavelin-update.exe")");
        QTemporaryDir folder;
        auto wizard = checkedWizard(home, folder.path());
        QVERIFY(wizard);
        QVERIFY(download(*wizard));

        CUpdateScreen3* page = wizard->downloadPage();
        const QString path = folder.filePath("gavelin-update.exe");
        QCOMPARE(QFileInfo(path).size(), qint64(kPackageBytes));
        QCOMPARE(page->progressBar()->value(), page->progressBar()->maximum());
        QCOMPARE(page->progressBar()->text(), QStringLiteral("100%"));
        QCOMPARE(page->sizesLabel()->text(), QStringLiteral("5.00 MB of 5.00 MB"));
        QCOMPARE(page->statusLabel()->text(), QStringLiteral("Retrieving the file completed"));
        QCOMPARE(page->fileLabel()->text(), QStringLiteral("gavelin-update.exe from 127.0.0.1"));
        QVERIFY(page->rateLabel()->text().endsWith("/Sec"));

        wizard->next();
        QCOMPARE(wizard->currentId(), int(CUpdateWizard::InstallPage));
        QCOMPARE(wizard->installPage()->pathLabel()->text(), path);
        QVERIFY(wizard->installPage()->installBox()->isChecked());
        wizard->next();
        QCOMPARE(wizard->currentId(), int(CUpdateWizard::FinishPage));
        wizard->finishPage()->automaticBox()->setChecked(false);

        // Finish: the list is saved, the desktop opens the package, then the program ends.
        QStringList calls;
        CUpdateWizard::Hooks hooks;
        hooks.saveList = [&calls] { calls << "save"; };
        hooks.openUrl = [&calls](const QUrl& url) {
            calls << url.toLocalFile();
            return true;
        };
        hooks.closeProgram = [&calls] { calls << "close"; };
        wizard->setHooks(hooks);
        wizard->accept();
        QCOMPARE(calls, (QStringList{"save", path, "close"}));
        QCOMPARE(home.app().settings().updateEvery, 0);
        QCOMPARE(home.app().userRegistry().readInt("Options", "updateEvery", 1), 0);
    }

    void cancelAsksAndRemovesThePartialFile()
    {
        if (!QFile::exists(PracticeSiteProcess::binaryPath()))
            QSKIP("the practice site is not built");
        PracticeSiteProcess site;
        SiteHome home;
        pointAtSite(home, site, 0x10000);
        // About ten seconds for the whole package: time to change one's mind.
        announce(site, R"("programVersion":65541,"patchName":"gavelin-update.exe",)"
                       R"("patchRate":524288)");
        QTemporaryDir folder;
        auto wizard = checkedWizard(home, folder.path());
        QVERIFY(wizard);
        CUpdateScreen3* page = wizard->downloadPage();
        wizard->next();
        QTRY_VERIFY_WITH_TIMEOUT(page->progressBar()->value() > 0, 10000);
        const QString path = folder.filePath("gavelin-update.exe");
        QVERIFY(QFile::exists(path));

        PromptRecorder prompts;
        prompts.queue(IMainWindow::AnswerCancel);
        wizard->reject();
        QCOMPARE(prompts.texts().size(), 1);
        QVERIFY(prompts.texts().first().startsWith("Are you sure you wish to cancel this wizard?"));
        QVERIFY(wizard->isVisible());
        QVERIFY(page->isDownloading());
        const qint64 before = QFileInfo(path).size();
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(path).size() > before, 10000);

        prompts.queue(IMainWindow::AnswerOk);
        wizard->reject();
        QVERIFY(!wizard->isVisible());
        QVERIFY(!QFile::exists(path));
    }

    void refusalsAndCredentials()
    {
        if (!QFile::exists(PracticeSiteProcess::binaryPath()))
            QSKIP("the practice site is not built");
        PracticeSiteProcess site;
        SiteHome home;
        pointAtSite(home, site, 0x10000);
        announce(site, R"("programVersion":65541,"patchName":"gavelin-update.exe",)"
                       R"("patchUser":"updates","patchPassword":"s3cret")");
        QTemporaryDir folder;
        const QString path = folder.filePath("gavelin-update.exe");

        // Without credentials in the settings a 401 is the end.
        auto wizard = checkedWizard(home, folder.path());
        QVERIFY(wizard);
        QVERIFY(!download(*wizard));
        QCOMPARE(wizard->downloadPage()->statusLabel()->text(),
                 QStringLiteral(
                     "Failed to receive a valid HTTP response from the server, Status = 401"));
        QVERIFY(!QFile::exists(path));
        QCOMPARE(wizard->downloadPage()->nextId(), int(CUpdateWizard::FinishPage));

        // With the proxy credentials of the settings the request is sent once more.
        AppSettings& settings = home.app().settings();
        settings.useProxyPass = 1;
        settings.proxyUser = QStringLiteral("updates");
        settings.proxyPass = QStringLiteral("s3cret");
        QVERIFY(site.control("DELETE", "/log").ok());
        wizard = checkedWizard(home, folder.path());
        QVERIFY(wizard);
        QVERIFY(download(*wizard));
        QCOMPARE(QFileInfo(path).size(), qint64(kPackageBytes));
        const QJsonArray log =
            QJsonDocument::fromJson(site.control("GET", "/log").body).object()["entries"].toArray();
        QStringList statuses;
        for (const QJsonValue& entry : log) {
            if (entry["path"].toString() == "/update/gavelin-update.exe")
                statuses << QString::number(entry["status"].toInt());
        }
        QVERIFY(statuses.size() >= 2);
        QCOMPARE(statuses.first(), QStringLiteral("401"));
        QCOMPARE(statuses.last(), QStringLiteral("200"));

        // A missing package, and one of another size than the settings announce.
        QFile::remove(path);
        QVERIFY(site.control("POST", "/faults",
                             R"({"path":"/update/gavelin-update.exe","kind":"status",)"
                             R"("status":404,"count":1})")
                    .ok());
        wizard = checkedWizard(home, folder.path());
        QVERIFY(wizard);
        QVERIFY(!download(*wizard));
        QCOMPARE(wizard->downloadPage()->statusLabel()->text(),
                 QStringLiteral(
                     "Failed to receive a valid HTTP response from the server, Status = 404"));
        QVERIFY(home.logText().contains("Status = 404"));
        home.app().machineRegistry().writeStr("URL", "URLPatchWSSize", "1000");
        wizard = checkedWizard(home, folder.path());
        QVERIFY(wizard);
        QVERIFY(!download(*wizard));
        QVERIFY(wizard->downloadPage()->statusLabel()->text().startsWith(
            "An error occurred while downloading the file"));
        QVERIFY(!QFile::exists(path));
    }
};

QTEST_MAIN(UpdateWizardTest)
#include "updatewizardtest.moc"
