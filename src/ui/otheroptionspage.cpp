#include "ui/otheroptionspage.h"

#include "app/appsettings.h"
#include "ui/accesspassworddlg.h"
#include "ui/userprompt.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

COtherOptionsPage::COtherOptionsPage(AppContext& app, QWidget* parent)
    : COptionsPage(app, tr("Other"), parent)
{
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);

    auto* access = new QGroupBox(tr("Protection of the bids list"), this);
    auto* accessGrid = new QGridLayout(access);
    m_lock = new QCheckBox(tr("Access Password"), access);
    m_change = new QPushButton(tr("Change access password..."), access);
    m_idle = newSpin(1, 1440, tr(" minutes"));
    accessGrid->addWidget(m_lock, 0, 0);
    accessGrid->addWidget(m_change, 0, 1, 1, 2, Qt::AlignLeft);
    const auto idleLabel = [this, access](const QString& text) {
        auto* label = new QLabel(text, access);
        label->setBuddy(m_idle);
        return label;
    };
    accessGrid->addWidget(idleLabel(tr("Ask for it again after")), 1, 0);
    accessGrid->addWidget(m_idle, 1, 1);
    accessGrid->addWidget(idleLabel(tr("without activity")), 1, 2);
    accessGrid->setColumnStretch(3, 1);
    column->addWidget(access);

    auto* list = new QGroupBox(tr("Bids list"), this);
    auto* listGrid = new QGridLayout(list);
    m_highlightEnding = new QCheckBox(tr("Mark till"), list);
    m_highlightHours = newSpin(1, 24);
    m_warn = new QCheckBox(tr("Warn me if I place a maximum bid over:"), list);
    m_warnPrice = newSpin(0, 999999999);
    listGrid->addWidget(m_highlightEnding, 0, 0);
    listGrid->addWidget(m_highlightHours, 0, 1);
    auto* hoursLabel = new QLabel(tr("hours ending auctions"), list);
    hoursLabel->setBuddy(m_highlightHours);
    listGrid->addWidget(hoursLabel, 0, 2);
    listGrid->addWidget(m_warn, 1, 0);
    listGrid->addWidget(m_warnPrice, 1, 1);
    listGrid->setColumnStretch(3, 1);
    column->addWidget(list);
    // The boxes of both groups in one column.
    const int labelWidth = qMax(m_lock->sizeHint().width(), m_warn->sizeHint().width());
    accessGrid->setColumnMinimumWidth(0, labelWidth);
    listGrid->setColumnMinimumWidth(0, labelWidth);
    finishLayout();

    connect(m_change, &QPushButton::clicked, this, &COtherOptionsPage::changePassword);
    // Protection without a password would lock the user out: ticking asks for one.
    connect(m_lock, &QCheckBox::clicked, this, [this](bool checked) {
        if (checked && m_password.isEmpty())
            changePassword();
        if (m_password.isEmpty())
            m_lock->setChecked(false);
        updateDependents();
    });
    connect(m_highlightEnding, &QCheckBox::toggled, this, &COtherOptionsPage::updateDependents);
    connect(m_warn, &QCheckBox::toggled, this, &COtherOptionsPage::updateDependents);
}

void COtherOptionsPage::load(const AppSettings& settings)
{
    m_password = settings.lockPassword;
    m_login = settings.login;
    m_sitePassword = settings.password;
    m_lock->setChecked(settings.lock != 0);
    loadSpin(m_idle, settings.idleTime, "Idle time");
    m_highlightEnding->setChecked(settings.highlightEnding != 0);
    loadSpin(m_highlightHours, settings.highlightEndingHours, "hilightTime");
    m_warn->setChecked(settings.warn != 0);
    loadSpin(m_warnPrice, settings.warnPrice, "warnPrice");
    updateDependents();
}

void COtherOptionsPage::store(AppSettings& settings) const
{
    settings.lock = m_lock->isChecked() ? 1 : 0;
    settings.lockPassword = m_password;
    settings.idleTime = m_idle->value();
    settings.highlightEnding = m_highlightEnding->isChecked() ? 1 : 0;
    settings.highlightEndingHours = m_highlightHours->value();
    settings.warn = m_warn->isChecked() ? 1 : 0;
    settings.warnPrice = m_warnPrice->value();
}

bool COtherOptionsPage::validate()
{
    if (!m_lock->isChecked() || !m_password.isEmpty())
        return true;
    Q_EMIT revealRequested();
    UserPrompt::inform(this, CAccessPasswordDlg::emptyText(), IMainWindow::Icon::Warning);
    m_change->setFocus();
    return false;
}

void COtherOptionsPage::changePassword()
{
    QString chosen;
    bool accepted;
    if (m_dialog) {
        accepted = m_dialog(m_password, &chosen);
    } else {
        CAccessPasswordDlg dialog(m_password, m_login, m_sitePassword, this);
        accepted = dialog.exec() == QDialog::Accepted;
        chosen = dialog.newPassword();
    }
    if (accepted && !chosen.isEmpty())
        m_password = chosen;
}

void COtherOptionsPage::updateDependents()
{
    m_idle->setEnabled(m_lock->isChecked());
    m_highlightHours->setEnabled(m_highlightEnding->isChecked());
    m_warnPrice->setEnabled(m_warn->isChecked());
}
