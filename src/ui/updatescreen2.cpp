#include "ui/updatescreen2.h"

#include "app/appcontext.h"
#include "app/registry.h"
#include "app/stringtable.h"
#include "sites/siteaccess.h"
#include "sites/sitesettings.h"
#include "sites/sitesettingsupdate.h"
#include "ui/updatewizard.h"
#include "ui/updatewizardtext.h"
#include "web/settingsfiledownload.h"

#include <QCheckBox>
#include <QDesktopServices>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QThread>
#include <QUrl>
#include <QVBoxLayout>

namespace {

constexpr int kProgressRange = 500;

QString patchAddress(AppContext& app)
{
    return app.machineRegistry().readStr(QStringLiteral("URL"), QStringLiteral("URLPatchWS"));
}

} // namespace

CUpdateScreen2::CUpdateScreen2(AppContext& app, QWidget* parent) : QWizardPage(parent), m_app(app)
{
    setTitle(tr("Checking for updates"));
    setSubTitle(tr("The wizard fetches the latest site settings and the news of new versions."));
    auto* column = new QVBoxLayout(this);
    m_status = new QLabel(this);
    m_status->setWordWrap(true);
    m_progress = new QProgressBar(this);
    m_progress->setRange(0, kProgressRange);
    m_result = new QLabel(this);
    m_result->setWordWrap(true);
    m_download = new QCheckBox(tr("&Download and install new version."), this);
    m_link = new QLabel(this);
    m_link->setTextInteractionFlags(Qt::TextBrowserInteraction);
    connect(m_link, &QLabel::linkActivated, this, &CUpdateScreen2::openLink);
    column->addWidget(m_status);
    column->addWidget(m_progress);
    column->addSpacing(12);
    column->addWidget(m_result);
    column->addWidget(m_download);
    column->addWidget(m_link);
    column->addStretch();
}

void CUpdateScreen2::initializePage()
{
    m_status->setText(tr("Checking for updates..."));
    m_progress->setValue(0);
    m_result->hide();
    m_download->hide();
    m_download->setChecked(false);
    m_link->hide();
    m_link->clear();
    startCheck();
}

bool CUpdateScreen2::isComplete() const
{
    return !m_checking && m_link->isHidden();
}

int CUpdateScreen2::nextId() const
{
    return !m_download->isHidden() && m_download->isChecked() ? CUpdateWizard::DownloadPage
                                                              : CUpdateWizard::FinishPage;
}

void CUpdateScreen2::startCheck()
{
    SiteSettings* sites = SiteSettings::current();
    m_checking = true;
    setProperty("backEnabled", false);
    setProperty("cancelEnabled", true);
    Q_EMIT completeChanged();

    struct Outcome
    {
        bool success = false;
        int announced = 0;
        qint64 checkedAt = 0;
    };
    auto outcome = std::make_shared<Outcome>();
    AppContext& app = m_app;
    QPointer<CUpdateScreen2> page(this);
    QThread* thread = QThread::create([&app, sites, outcome, page] {
        const QString address =
            app.machineRegistry().readStr(QStringLiteral("URL"), QStringLiteral("URLSettings"));
        if (!sites || address.isEmpty()) {
            app.log().write(StringTable::text(460), ProgramLog::Error);
            return;
        }
        // The bar fills once the settings file is in; applying it is quick.
        const auto fetch = [page](const QString& url) {
            SiteSettingsUpdate::Download file = downloadSettingsFile(url);
            QMetaObject::invokeMethod(
                QThread::currentThread(),
                [page] {
                    if (page)
                        page->m_progress->setValue(kProgressRange);
                },
                Qt::QueuedConnection);
            return file;
        };
        SiteSettingsUpdate update(app, *sites, fetch);
        outcome->success = update.apply(fetch(address).text);
        if (!outcome->success)
            app.log().write(StringTable::text(460), ProgramLog::Error);
        outcome->announced = update.announcedVersion();
        outcome->checkedAt = update.checkedAt();
    });
    thread->setObjectName(QStringLiteral("update check"));
    // A wizard cancelled meanwhile lets the thread end on its own; its result goes nowhere.
    connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    connect(thread, &QThread::finished, this, [this, outcome] {
        showResult(outcome->success, outcome->announced, outcome->checkedAt);
    });
    thread->start();
}

void CUpdateScreen2::showResult(bool success, int announcedVersion, qint64 checkedAt)
{
    m_checking = false;
    if (success) {
        m_status->setText(StringTable::text(273));
        LoadSiteSettings();
        m_app.settings().lastChecked = int(checkedAt);
        offerVersion(announcedVersion);
    } else {
        m_status->setText(StringTable::text(274));
    }
    setProperty("backEnabled", true);
    Q_EMIT completeChanged();
    Q_EMIT checkFinished(success);
}

void CUpdateScreen2::offerVersion(int announcedVersion)
{
    const quint32 installed = quint32(m_app.machineRegistry().readInt(
        QString(), QStringLiteral("versionApp"), AppContext::builtInVersion()));
    // An unknown installed version is never offered an update.
    if (installed == 0 || installed >= quint32(announcedVersion)) {
        m_app.log().write(StringTable::text(342), ProgramLog::Warning);
        return;
    }
    const quint32 announced = quint32(announcedVersion);
    QString text = QString::asprintf(StringTable::text(341).toUtf8().constData(),
                                     int(announced >> 16), int(announced & 0xFFFF));
    m_app.log().write(text, ProgramLog::Success);
    const QString address = patchAddress(m_app).trimmed();
    if (UpdateWizardText::isPackage(address)) {
        m_download->setChecked(true);
        m_download->show();
    } else {
        text += QStringLiteral("\n") + StringTable::text(368);
        m_link->setText(QStringLiteral("<a href=\"%1\">%2</a>")
                            .arg(address.toHtmlEscaped(), address.toHtmlEscaped()));
        m_link->show();
    }
    m_result->setText(text);
    m_result->show();
}

void CUpdateScreen2::openLink(const QString& url)
{
    auto* wizard = qobject_cast<CUpdateWizard*>(this->wizard());
    if (!wizard || !wizard->openUrl(QUrl(url)))
        m_app.log().write(tr("The address could not be opened with the system's handler") +
                              QStringLiteral(" <> ") + url,
                          ProgramLog::Error);
}
