#include "ui/updatescreen3.h"

#include "app/appcontext.h"
#include "app/appsettings.h"
#include "app/registry.h"
#include "app/stringtable.h"
#include "ui/updatewizard.h"
#include "ui/updatewizarddownload.h"
#include "ui/updatewizardtext.h"
#include "web/httptransfer.h"

#include <QFormLayout>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

CUpdateScreen3::CUpdateScreen3(AppContext& app, QWidget* parent) : QWizardPage(parent), m_app(app)
{
    setTitle(tr("Downloading the new version"));
    setSubTitle(tr("The new version is saved in your folder; you may go on working meanwhile."));
    auto* column = new QVBoxLayout(this);
    m_file = new QLabel(this);
    m_status = new QLabel(this);
    m_status->setWordWrap(true);
    m_progress = new QProgressBar(this);
    m_sizes = new QLabel(this);
    m_rate = new QLabel(this);
    m_timeLeft = new QLabel(this);
    column->addWidget(m_file);
    column->addWidget(m_progress);
    auto* form = new QFormLayout;
    form->addRow(tr("Transferred:"), m_sizes);
    form->addRow(tr("Transfer rate:"), m_rate);
    form->addRow(tr("Time left:"), m_timeLeft);
    column->addLayout(form);
    column->addWidget(m_status);
    column->addStretch();
    setProperty("backEnabled", false);
}

CUpdateScreen3::~CUpdateScreen3() = default;

void CUpdateScreen3::initializePage()
{
    auto* wizard = qobject_cast<CUpdateWizard*>(this->wizard());
    m_done = false;
    m_success = false;
    m_file->clear();
    m_status->clear();
    m_sizes->clear();
    m_rate->clear();
    m_timeLeft->clear();
    m_progress->setRange(0, 100);
    m_progress->setValue(0);
    m_progress->setTextVisible(true);
    Q_EMIT completeChanged();

    const AppSettings& settings = m_app.settings();
    Registry& machine = m_app.machineRegistry();
    UpdateWizardDownload::Options options;
    options.url = machine.readStr(QStringLiteral("URL"), QStringLiteral("URLPatchWS"));
    options.folder = wizard ? wizard->downloadFolder() : CUpdateWizard::defaultDownloadFolder();
    options.proxy = HttpTransfer::proxyOf(settings);
    if (settings.useProxyPass) {
        options.user = settings.proxyUser;
        options.password = settings.proxyPass;
    }
    // A size the settings file may announce beside the address; older files name none.
    options.expectedBytes =
        machine.readStr(QStringLiteral("URL"), QStringLiteral("URLPatchWSSize")).toLongLong();
    m_download = std::make_unique<UpdateWizardDownload>(options);
    UpdateWizardDownload* download = m_download.get();
    connect(download, &UpdateWizardDownload::statusChanged, this, [this](const QString& text) {
        // The first line names the file; the steps after it take the status line.
        if (m_file->text().isEmpty())
            m_file->setText(text);
        else
            m_status->setText(text);
    });
    connect(download, &UpdateWizardDownload::progressChanged, this, &CUpdateScreen3::showProgress);
    connect(download, &UpdateWizardDownload::rateChanged, this,
            [this](const QString& rate, const QString& left) {
                m_rate->setText(rate);
                m_timeLeft->setText(left);
            });
    connect(download, &UpdateWizardDownload::finished, this, &CUpdateScreen3::finish);
    download->start();
}

bool CUpdateScreen3::isComplete() const
{
    return m_done;
}

int CUpdateScreen3::nextId() const
{
    return m_success ? CUpdateWizard::InstallPage : CUpdateWizard::FinishPage;
}

bool CUpdateScreen3::isDownloading() const
{
    return m_download && !m_done;
}

void CUpdateScreen3::holdDownload()
{
    if (m_download)
        m_download->pause();
}

void CUpdateScreen3::endDownload(bool cancelled)
{
    if (!m_download)
        return;
    if (!cancelled) {
        m_download->resume();
        return;
    }
    // Waits for the thread, which removes the partial file.
    m_download->cancel();
    m_download.reset();
}

void CUpdateScreen3::showProgress(qint64 done, qint64 total)
{
    if (total > 0) {
        // The bar counts kilobytes, so that any length fits its range.
        const int range = int(qMin<qint64>((total + 512) / 1024, INT_MAX));
        m_progress->setRange(0, qMax(range, 1));
        m_progress->setValue(int(qMin<qint64>(done * qMax(range, 1) / total, range)));
        m_sizes->setText(UpdateWizardText::sizes(done, total));
    } else {
        // No length: no percentage and no time left, only what has come.
        m_progress->setRange(0, 0);
        m_progress->setTextVisible(false);
        m_sizes->setText(UpdateWizardText::size(done));
    }
}

void CUpdateScreen3::finish(bool success, const QString& pathOrMessage)
{
    auto* wizard = qobject_cast<CUpdateWizard*>(this->wizard());
    m_done = true;
    m_success = success;
    if (success) {
        if (wizard)
            wizard->setDownloadedFile(pathOrMessage);
        m_progress->setRange(0, 1);
        m_progress->setValue(1);
        m_progress->setTextVisible(true);
        m_timeLeft->clear();
    } else {
        if (!pathOrMessage.isEmpty()) {
            m_status->setText(pathOrMessage);
            m_app.log().write(pathOrMessage, ProgramLog::Error);
        }
    }
    Q_EMIT completeChanged();
    Q_EMIT downloadFinished(success);
}
