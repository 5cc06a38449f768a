#include "ui/updatewizard.h"

#include "app/appcontext.h"
#include "app/stringtable.h"
#include "ui/uiicons.h"
#include "ui/updatescreen1.h"
#include "ui/updatescreen2.h"
#include "ui/updatescreen3.h"
#include "ui/updatescreen4.h"
#include "ui/updatescreen5.h"
#include "ui/userprompt.h"

#include <QAbstractButton>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QStandardPaths>

CUpdateWizard::CUpdateWizard(AppContext& app, bool startOnCheck, QWidget* parent)
    : QWizard(parent), m_app(app), m_folder(defaultDownloadFolder())
{
    setWindowTitle(caption());
    setWizardStyle(QWizard::ModernStyle);
    setOption(QWizard::NoBackButtonOnStartPage);
    setPixmap(QWizard::LogoPixmap, UiIcons::application().pixmap(48, 48));
    setPixmap(QWizard::WatermarkPixmap, UiIcons::named(QStringLiteral("wizard")).pixmap(120, 120));
    m_check = new CUpdateScreen2(app, this);
    m_download = new CUpdateScreen3(app, this);
    m_install = new CUpdateScreen4(this);
    m_finish = new CUpdateScreen5(app, this);
    setPage(WelcomePage, new CUpdateScreen1(app, this));
    setPage(CheckPage, m_check);
    setPage(DownloadPage, m_download);
    setPage(InstallPage, m_install);
    setPage(FinishPage, m_finish);
    setStartId(startOnCheck ? CheckPage : WelcomePage);
    for (int id : pageIds())
        connect(page(id), &QWizardPage::completeChanged, this, &CUpdateWizard::applyButtons);
    connect(this, &QWizard::currentIdChanged, this, &CUpdateWizard::applyButtons);
    resize(560, 400);
}

QString CUpdateWizard::caption()
{
    return StringTable::text(286) + QStringLiteral(" - ") + AppContext::applicationTitle();
}

QString CUpdateWizard::defaultDownloadFolder()
{
    for (const auto location :
         {QStandardPaths::DesktopLocation, QStandardPaths::DownloadLocation}) {
        const QString folder = QStandardPaths::writableLocation(location);
        if (!folder.isEmpty() && QDir(folder).exists())
            return folder;
    }
    return QDir::homePath();
}

void CUpdateWizard::setHooks(Hooks hooks)
{
    m_hooks = std::move(hooks);
}

bool CUpdateWizard::openUrl(const QUrl& url)
{
    return m_hooks.openUrl ? m_hooks.openUrl(url) : QDesktopServices::openUrl(url);
}

void CUpdateWizard::applyButtons()
{
    QWizardPage* current = currentPage();
    if (!current)
        return;
    const QVariant back = current->property("backEnabled");
    if (back.isValid() && !back.toBool())
        button(QWizard::BackButton)->setEnabled(false);
    const QVariant cancel = current->property("cancelEnabled");
    button(QWizard::CancelButton)->setEnabled(!cancel.isValid() || cancel.toBool());
}

bool CUpdateWizard::confirmCancel()
{
    IMainWindow::Question question;
    question.text = StringTable::text(263);
    question.caption = caption();
    question.buttons = IMainWindow::Buttons::OkCancel;
    question.icon = IMainWindow::Icon::Question;
    question.defaultAnswer = IMainWindow::AnswerOk;
    return UserPrompt::ask(this, question) == IMainWindow::AnswerOk;
}

void CUpdateWizard::reject()
{
    const QVariant cancel = currentPage() ? currentPage()->property("cancelEnabled") : QVariant();
    if (cancel.isValid() && !cancel.toBool())
        return;
    // A download waits between two reads while the user makes up his mind.
    const bool downloading = currentId() == DownloadPage && m_download->isDownloading();
    if (downloading)
        m_download->holdDownload();
    const bool sure = confirmCancel();
    if (downloading)
        m_download->endDownload(sure);
    if (sure)
        QWizard::reject();
}

void CUpdateWizard::accept()
{
    m_finish->storeChoice();
    QWizard::accept();
    if (m_installNow && !m_file.isEmpty())
        startPackage();
}

void CUpdateWizard::startPackage()
{
    QFile file(m_file);
    if (!file.open(QIODevice::ReadOnly)) {
        m_app.log().write(file.errorString() + QStringLiteral(" <> ") + m_file, ProgramLog::Error);
        return;
    }
    file.close();
    if (m_hooks.saveList)
        m_hooks.saveList();
    // The package is handed to the desktop's handler for its kind (a package installer,
    // the file manager); the program never runs a downloaded file itself.
    if (!openUrl(QUrl::fromLocalFile(m_file))) {
        const QString error = tr("No program could be started to open the file.");
        m_app.log().write(error + QStringLiteral(" <> ") + m_file, ProgramLog::Error);
        UserPrompt::inform(parentWidget(), error, IMainWindow::Icon::Error);
        // Nothing was started: the program stays with its bids.
        return;
    }
    if (m_hooks.closeProgram)
        m_hooks.closeProgram();
}
