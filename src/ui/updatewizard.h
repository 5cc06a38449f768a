#pragma once

#include <QString>
#include <QUrl>
#include <QWizard>
#include <functional>

class AppContext;
class CUpdateScreen2;
class CUpdateScreen3;
class CUpdateScreen4;
class CUpdateScreen5;

// "Update Wizard": refreshes the site settings, tells whether a newer program is announced
// and can download its package with a progress page. Shown modal to the program; the check
// and the download run on threads of their own, so the window and the bids go on.
class CUpdateWizard : public QWizard
{
    Q_OBJECT
public:
    enum PageId
    {
        WelcomePage,
        CheckPage,
        DownloadPage,
        InstallPage,
        FinishPage
    };
    // What starting the downloaded package asks of the program.
    struct Hooks
    {
        // The list is saved where it lives, without a question.
        std::function<void()> saveList;
        // The program ends for the installation.
        std::function<void()> closeProgram;
        // Opens the file with the system's handler; true when started.
        std::function<bool(const QUrl&)> openUrl;
    };

    // With `startOnCheck` the wizard opens on its check page (a start-up check found a
    // newer version).
    CUpdateWizard(AppContext& app, bool startOnCheck, QWidget* parent = nullptr);

    AppContext& app() { return m_app; }
    void setHooks(Hooks hooks);
    // The folder the package goes to: the desktop, else Downloads, else home.
    QString downloadFolder() const { return m_folder; }
    void setDownloadFolder(const QString& folder) { m_folder = folder; }
    static QString defaultDownloadFolder();
    // Whether the program should close and start the package after Finish.
    bool installNow() const { return m_installNow; }
    void setInstallNow(bool on) { m_installNow = on; }
    QString downloadedFile() const { return m_file; }
    void setDownloadedFile(const QString& path) { m_file = path; }

    CUpdateScreen2* checkPage() const { return m_check; }
    CUpdateScreen3* downloadPage() const { return m_download; }
    CUpdateScreen4* installPage() const { return m_install; }
    CUpdateScreen5* finishPage() const { return m_finish; }

    // "Update Wizard - Gavelin".
    static QString caption();
    // Opens an address or a file with the system's handler; true when it started.
    bool openUrl(const QUrl& url);
    // Asks before the wizard is cancelled: true to close it.
    bool confirmCancel();

    void reject() override;
    void accept() override;

private:
    // The pages keep Back and Cancel as they want them; QWizard alone would always offer
    // Back where there is history.
    void applyButtons();
    void startPackage();

    AppContext& m_app;
    Hooks m_hooks;
    QString m_folder;
    QString m_file;
    bool m_installNow = true;
    CUpdateScreen2* m_check = nullptr;
    CUpdateScreen3* m_download = nullptr;
    CUpdateScreen4* m_install = nullptr;
    CUpdateScreen5* m_finish = nullptr;
};
