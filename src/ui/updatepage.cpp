#include "ui/updatepage.h"

#include "app/appsettings.h"

#include <QComboBox>
#include <QDateTime>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
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
    // The update runs in the update wizard, which this build does not have yet.
    m_updateNow->setEnabled(false);
    m_lastChecked = new QLabel(group);
    grid->addWidget(scheduleLabel, 0, 0);
    grid->addWidget(m_schedule, 0, 1);
    grid->addWidget(m_updateNow, 0, 3);
    grid->addWidget(new QLabel(tr("Updates last checked for on:"), group), 1, 0);
    grid->addWidget(m_lastChecked, 1, 1, 1, 3);
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
