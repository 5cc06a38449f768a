#include "ui/timeoptionspage.h"

#include "app/appsettings.h"
#include "ui/userprompt.h"

#include <QApplication>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QSpinBox>
#include <QStyle>
#include <QVBoxLayout>

namespace {

constexpr int kDefaultStartBefore = 60;

QLabel* rowLabel(const QString& text, QWidget* parent, QWidget* field)
{
    auto* label = new QLabel(text, parent);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    label->setBuddy(field);
    return label;
}

} // namespace

CTimeOptionsPage::CTimeOptionsPage(AppContext& app, QWidget* parent)
    : COptionsPage(app, tr("Time options"), parent)
{
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    const QString seconds = tr(" seconds");
    const QString minutes = tr(" minutes");

    auto* bidding = new QGroupBox(tr("Bidding"), this);
    auto* biddingGrid = new QGridLayout(bidding);
    m_bidsEvery = newSpin(1, 3600, seconds);
    m_startBefore = newSpin(1, 3600, seconds);
    biddingGrid->addWidget(rowLabel(tr("Bid every"), bidding, m_bidsEvery), 0, 0);
    biddingGrid->addWidget(m_bidsEvery, 0, 1);
    biddingGrid->addWidget(rowLabel(tr("Start bidding"), bidding, m_startBefore), 1, 0);
    biddingGrid->addWidget(m_startBefore, 1, 1);
    biddingGrid->addWidget(rowLabel(tr("before auction's end"), bidding, m_startBefore), 1, 2);

    m_warning = new QWidget(bidding);
    auto* warningRow = new QHBoxLayout(m_warning);
    warningRow->setContentsMargins(0, 6, 0, 0);
    auto* warningIcon = new QLabel(m_warning);
    warningIcon->setPixmap(
        QApplication::style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(32, 32));
    warningIcon->setAlignment(Qt::AlignTop);
    auto* warningText = new QLabel(shortIntervalText(), m_warning);
    warningText->setWordWrap(true);
    warningRow->addWidget(warningIcon);
    warningRow->addWidget(warningText, 1);
    m_warning->hide();
    biddingGrid->addWidget(m_warning, 2, 0, 1, 3);
    column->addWidget(bidding);

    auto* refreshing = new QGroupBox(tr("Refreshing"), this);
    auto* refreshGrid = new QGridLayout(refreshing);
    m_enableRefresh = new QCheckBox(tr("Enable auto refreshing auctions"), refreshing);
    m_refreshEvery = newSpin(1, 180, minutes);
    m_refreshCheck =
        new QCheckBox(tr("Disable refresh of active auctions\nending in more than"), refreshing);
    m_refreshInactive = newSpin(1, 3000, minutes);
    refreshGrid->addWidget(m_enableRefresh, 0, 0, 1, 3);
    refreshGrid->addWidget(
        rowLabel(tr("Refresh info on active auctions every"), refreshing, m_refreshEvery), 1, 0);
    refreshGrid->addWidget(m_refreshEvery, 1, 1);
    refreshGrid->addWidget(m_refreshCheck, 2, 0);
    refreshGrid->addWidget(m_refreshInactive, 2, 1);
    column->addWidget(refreshing);

    auto* timing = new QGroupBox(tr("Clock and autosave"), this);
    auto* timingGrid = new QGridLayout(timing);
    m_autoTimeSync = newSpin(1, 1440, minutes);
    m_autoSave = new QCheckBox(tr("Autosave data every"), timing);
    m_autoSaveTime = newSpin(1, 3000, minutes);
    m_preciseStart = new QCheckBox(tr("Start at the exact moment"), timing);
    m_preciseStart->setToolTip(
        tr("Measure the site's time to the millisecond, so that bids start on the second"));
    timingGrid->addWidget(
        rowLabel(tr("Auto time synchronization in every"), timing, m_autoTimeSync), 0, 0);
    timingGrid->addWidget(m_autoTimeSync, 0, 1);
    timingGrid->addWidget(m_preciseStart, 1, 0, 1, 3);
    timingGrid->addWidget(m_autoSave, 2, 0);
    timingGrid->addWidget(m_autoSaveTime, 2, 1);
    column->addWidget(timing);

    // The boxes of all three groups line up in one column.
    int labelWidth = 0;
    for (QGridLayout* grid : {biddingGrid, refreshGrid, timingGrid}) {
        for (int i = 0; i < grid->count(); ++i) {
            int row, col, rowSpan, colSpan;
            grid->getItemPosition(i, &row, &col, &rowSpan, &colSpan);
            if (col == 0 && colSpan == 1 && grid->itemAt(i)->widget())
                labelWidth = qMax(labelWidth, grid->itemAt(i)->widget()->sizeHint().width());
        }
    }
    for (QGridLayout* grid : {biddingGrid, refreshGrid, timingGrid}) {
        grid->setColumnMinimumWidth(0, labelWidth);
        grid->setColumnMinimumWidth(1, m_refreshInactive->sizeHint().width() + 20);
        grid->setColumnStretch(2, 1);
    }
    finishLayout();

    connect(m_enableRefresh, &QCheckBox::toggled, this, &CTimeOptionsPage::updateDependents);
    connect(m_refreshCheck, &QCheckBox::toggled, this, &CTimeOptionsPage::updateDependents);
    connect(m_autoSave, &QCheckBox::toggled, this, &CTimeOptionsPage::updateDependents);
    connect(m_startBefore, &QSpinBox::valueChanged, this, [this](int value) {
        if (value >= kShortestSafeStart)
            m_warning->hide();
        else if (m_accepted)
            m_warning->show();
    });
}

QString CTimeOptionsPage::shortIntervalText()
{
    return tr("Your bidding interval is too short. Gavelin may not have enough time to place the "
              "bid.\nWe suggest that you do not set it below 30 sec.");
}

void CTimeOptionsPage::load(const AppSettings& settings)
{
    loadSpin(m_bidsEvery, settings.bidsEvery, "bidsEvery");
    loadSpin(m_startBefore, settings.startBefore, "startBefore");
    m_enableRefresh->setChecked(settings.enableRefresh != 0);
    loadSpin(m_refreshEvery, settings.refreshEvery, "refreshEvery");
    m_refreshCheck->setChecked(settings.refreshCheck != 0);
    loadSpin(m_refreshInactive, settings.refreshInactive, "refreshInactive");
    loadSpin(m_autoTimeSync, settings.autoTimeSync, "autoTimeSync");
    m_preciseStart->setChecked(settings.preciseStart != 0);
    m_autoSave->setChecked(settings.autoSave != 0);
    loadSpin(m_autoSaveTime, settings.autoSaveTime, "autoSaveTime");
    // Putting back a stored interval that is itself too short would answer nothing.
    const int stored = m_startBefore->value();
    m_lastGood = stored >= kShortestSafeStart ? stored : kDefaultStartBefore;
    m_accepted = false;
    m_warning->hide();
    updateDependents();
}

void CTimeOptionsPage::store(AppSettings& settings) const
{
    settings.bidsEvery = m_bidsEvery->value();
    settings.startBefore = m_startBefore->value();
    settings.enableRefresh = m_enableRefresh->isChecked() ? 1 : 0;
    settings.refreshEvery = m_refreshEvery->value();
    settings.refreshCheck = m_refreshCheck->isChecked() ? 1 : 0;
    settings.refreshInactive = m_refreshInactive->value();
    settings.autoTimeSync = m_autoTimeSync->value();
    settings.preciseStart = m_preciseStart->isChecked() ? 1 : 0;
    settings.autoSave = m_autoSave->isChecked() ? 1 : 0;
    settings.autoSaveTime = m_autoSaveTime->value();
}

void CTimeOptionsPage::entered()
{
    checkStartBefore();
}

bool CTimeOptionsPage::leave()
{
    return checkStartBefore();
}

bool CTimeOptionsPage::isWarningShown() const
{
    return !m_warning->isHidden();
}

bool CTimeOptionsPage::checkStartBefore()
{
    const int value = m_startBefore->value();
    if (value >= kShortestSafeStart) {
        m_lastGood = value;
        return true;
    }
    if (m_accepted)
        return true;
    IMainWindow::Question question;
    question.text = shortIntervalText();
    question.buttons = IMainWindow::Buttons::OkCancel;
    // A warning that OK accepts, not a question: the page shows the same sign afterwards.
    question.icon = IMainWindow::Icon::Warning;
    question.defaultAnswer = IMainWindow::AnswerCancel;
    if (UserPrompt::ask(this, question) != IMainWindow::AnswerOk) {
        // Only an accepted answer counts as the one question of this sheet.
        m_startBefore->setValue(m_lastGood);
        m_startBefore->setFocus();
        m_startBefore->selectAll();
        return false;
    }
    m_accepted = true;
    m_warning->show();
    return true;
}

void CTimeOptionsPage::updateDependents()
{
    const bool refresh = m_enableRefresh->isChecked();
    m_refreshEvery->setEnabled(refresh);
    m_refreshCheck->setEnabled(refresh);
    m_refreshInactive->setEnabled(refresh && m_refreshCheck->isChecked());
    m_autoSaveTime->setEnabled(m_autoSave->isChecked());
}
