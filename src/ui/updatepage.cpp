#include "ui/updatepage.h"

#include "app/appcontext.h"
#include "app/appsettings.h"
#include "app/registry.h"
#include "app/stringtable.h"
#include "sites/siteaccess.h"
#include "sites/sitesettings.h"
#include "sites/sitesettingsupdate.h"
#include "web/settingsfiledownload.h"

#include <QComboBox>
#include <QDateTime>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLocale>
#include <QPointer>
#include <QPushButton>
#include <QThread>
#include <QVBoxLayout>

namespace {

// The stored numbers of the "Check for Updates:" choices.
enum Schedule
{
    Manually = 0,
    EveryStartup = 1
};

} // namespace

CUpdatePage::CUpdatePage(AppContext& app, QWidget* parent) : COptionsPage(app, tr("Update"), parent)
{
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    auto* group = new QGroupBox(tr("Program and site settings updates"), this);
    auto* grid = new QGridLayout(group);
    m_schedule = new QComboBox(group);
    m_schedule->addItem(tr("Manually"), Manually);
    m_schedule->addItem(tr("Every startup"), EveryStartup);
    auto* scheduleLabel = new QLabel(tr("Check for Updates:"), group);
    scheduleLabel->setBuddy(m_schedule);
    m_updateNow = new QPushButton(tr("Update &Now"), group);
    connect(m_updateNow, &QPushButton::clicked, this, &CUpdatePage::updateNow);
    m_lastChecked = new QLabel(group);
    m_result = new QLabel(group);
    m_result->setWordWrap(true);
    grid->addWidget(scheduleLabel, 0, 0);
    grid->addWidget(m_schedule, 0, 1);
    grid->addWidget(m_updateNow, 0, 3);
    grid->addWidget(new QLabel(tr("Updates last checked for on:"), group), 1, 0);
    grid->addWidget(m_lastChecked, 1, 1, 1, 3);
    grid->addWidget(m_result, 2, 0, 1, 4);
    grid->setColumnStretch(2, 1);
    column->addWidget(group);
    finishLayout();
}

QString CUpdatePage::lastCheckedText(qint64 secondsSince1970)
{
    if (secondsSince1970 <= 0)
        return tr("Never");
    return QLocale().toString(QDateTime::fromSecsSinceEpoch(secondsSince1970),
                              QLocale::ShortFormat);
}

void CUpdatePage::load(const AppSettings& settings)
{
    // Any number but "manually" means a check at start-up, as the start-up reads it.
    m_schedule->setCurrentIndex(settings.updateEvery == Manually ? 0 : 1);
    // Kept per user, beside the schedule it belongs to.
    m_lastChecked->setText(lastCheckedText(settings.lastChecked));
}

void CUpdatePage::store(AppSettings& settings) const
{
    settings.updateEvery = m_schedule->currentData().toInt();
}

void CUpdatePage::updateNow()
{
    SiteSettings* sites = SiteSettings::current();
    if (!sites)
        return;
    app().log().write(StringTable::text(479), ProgramLog::Success);
    // The whole site data is applied again, even when its version is the one stored.
    app().machineRegistry().writeInt(QString(), QStringLiteral("SSVer"), 0);
    m_updateNow->setEnabled(false);
    m_result->setText(tr("Checking for updates..."));

    struct Outcome
    {
        bool success = false;
        qint64 checkedAt = 0;
    };
    auto outcome = std::make_shared<Outcome>();
    AppContext& context = app();
    QThread* thread = QThread::create([&context, sites, outcome] {
        SiteSettingsUpdate update(context, *sites, downloadSettingsFile);
        outcome->success = update.download(false);
        outcome->checkedAt = update.checkedAt();
    });
    thread->setObjectName(QStringLiteral("settings update"));
    // The sheet may close first: the thread then ends on its own and its result goes nowhere.
    connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    connect(thread, &QThread::finished, this,
            [this, outcome] { showResult(outcome->success, outcome->checkedAt); });
    thread->start();
}

void CUpdatePage::showResult(bool success, qint64 checkedAt)
{
    m_updateNow->setEnabled(true);
    if (success) {
        m_result->setText(StringTable::text(273));
        LoadSiteSettings();
        app().settings().lastChecked = int(checkedAt);
        m_lastChecked->setText(lastCheckedText(checkedAt));
    } else {
        m_result->setText(StringTable::text(274));
    }
    Q_EMIT updateFinished(success);
}
