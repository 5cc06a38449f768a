#include "ui/networkpage.h"

#include "app/appsettings.h"
#include "ui/userprompt.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

CNetworkPage::CNetworkPage(AppContext& app, DialUpOptions dialUp, QWidget* parent)
    : COptionsPage(app, tr("Network"), parent), m_dialUpOptions(std::move(dialUp))
{
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);

    auto* connection = new QGroupBox(tr("Connection"), this);
    auto* grid = new QGridLayout(connection);
    m_lan = new QRadioButton(tr("Local Area Networking or manual connection"), connection);
    m_dialUp = new QRadioButton(tr("Dial-up networking connection"), connection);
    m_entry = new QComboBox(connection);
    m_entry->setMinimumContentsLength(20);
    m_autoDisconnect = new QCheckBox(tr("Auto-disconnect after data transmission"), connection);
    m_connectTime = newSpin(1, 60, tr(" minutes"));
    m_autoDial = new QCheckBox(tr("Auto-connect after program starts up"), connection);
    m_unavailable = newNote(m_dialUpOptions.unavailableText());
    m_unavailable->setVisible(!m_dialUpOptions.controlsEnabled());
    auto* entryLabel = new QLabel(tr("Dial-up &entry:"), connection);
    entryLabel->setBuddy(m_entry);
    grid->addWidget(m_lan, 0, 0, 1, 3);
    grid->addWidget(m_dialUp, 1, 0, 1, 3);
    grid->addWidget(entryLabel, 2, 0);
    grid->addWidget(m_entry, 2, 1);
    auto* connectTimeLabel =
        new QLabel(tr("Estimated time to establish dialup connection"), connection);
    connectTimeLabel->setBuddy(m_connectTime);
    grid->addWidget(connectTimeLabel, 3, 0);
    grid->addWidget(m_connectTime, 3, 1);
    grid->addWidget(m_autoDisconnect, 4, 0, 1, 3);
    grid->addWidget(m_autoDial, 5, 0, 1, 3);
    grid->addWidget(m_unavailable, 6, 0, 1, 3);
    grid->setColumnStretch(2, 1);
    column->addWidget(connection);

    auto* proxy = new QGroupBox(tr("Proxy server"), this);
    auto* proxyGrid = new QGridLayout(proxy);
    m_useProxy = new QCheckBox(tr("Use proxy-server settings"), proxy);
    m_address = new QLineEdit(proxy);
    m_port = new QLineEdit(proxy);
    m_port->setValidator(new QIntValidator(1, 65535, m_port));
    m_port->setMaximumWidth(m_port->fontMetrics().horizontalAdvance(QStringLiteral("000000")) + 16);
    m_useProxyPass = new QCheckBox(tr("Proxy Authentication"), proxy);
    m_proxyUser = new QLineEdit(proxy);
    m_proxyPass = new QLineEdit(proxy);
    m_proxyPass->setEchoMode(QLineEdit::Password);
    proxyGrid->addWidget(m_useProxy, 0, 0, 1, 4);
    const auto fieldLabel = [proxy](const QString& text, QWidget* field) {
        auto* label = new QLabel(text, proxy);
        label->setBuddy(field);
        return label;
    };
    proxyGrid->addWidget(fieldLabel(tr("Address:"), m_address), 1, 0);
    proxyGrid->addWidget(m_address, 1, 1);
    proxyGrid->addWidget(fieldLabel(tr("Port:"), m_port), 1, 2);
    proxyGrid->addWidget(m_port, 1, 3);
    proxyGrid->addWidget(m_useProxyPass, 2, 0, 1, 4);
    proxyGrid->addWidget(fieldLabel(tr("User name:"), m_proxyUser), 3, 0);
    proxyGrid->addWidget(m_proxyUser, 3, 1);
    proxyGrid->addWidget(fieldLabel(tr("Password:"), m_proxyPass), 4, 0);
    proxyGrid->addWidget(m_proxyPass, 4, 1);
    proxyGrid->setColumnStretch(1, 1);
    column->addWidget(proxy);
    finishLayout();

    connect(m_dialUp, &QRadioButton::toggled, this, &CNetworkPage::updateDependents);
    connect(m_useProxy, &QCheckBox::toggled, this, &CNetworkPage::updateDependents);
    connect(m_useProxyPass, &QCheckBox::toggled, this, &CNetworkPage::updateDependents);
    // Only the user's own tick earns the notice, not loading a stored value.
    connect(m_autoDisconnect, &QCheckBox::clicked, this, [this](bool checked) {
        if (checked)
            UserPrompt::inform(this, DialUpOptions::autoDisconnectNotice());
    });
}

QString CNetworkPage::badPortText()
{
    return tr("The proxy port must be a number from 1 to 65535.");
}

void CNetworkPage::load(const AppSettings& settings)
{
    m_storedEntry = settings.phoneEntry;
    m_entry->clear();
    m_entry->addItems(m_dialUpOptions.entries());
    m_entry->setCurrentIndex(m_dialUpOptions.selectedIndex());
    (settings.dialUp ? m_dialUp : m_lan)->setChecked(true);
    m_autoDisconnect->setChecked(settings.autoDisconnect != 0);
    loadSpin(m_connectTime, settings.connectTime, "connectTime");
    m_autoDial->setChecked(settings.autoDialOnStart != 0);
    m_useProxy->setChecked(settings.useProxy != 0);
    m_address->setText(settings.proxyAddress);
    m_port->setText(settings.proxyPort);
    m_useProxyPass->setChecked(settings.useProxyPass != 0);
    m_proxyUser->setText(settings.proxyUser);
    m_proxyPass->setText(settings.proxyPass);
    updateDependents();
}

void CNetworkPage::store(AppSettings& settings) const
{
    settings.dialUp = m_dialUp->isChecked() ? 1 : 0;
    // An entry that is gone from the phone-book stays stored until another is chosen.
    settings.phoneEntry = m_entry->currentIndex() >= 0 ? m_entry->currentText() : m_storedEntry;
    settings.autoDisconnect = m_autoDisconnect->isChecked() ? 1 : 0;
    settings.connectTime = m_connectTime->value();
    settings.autoDialOnStart = m_autoDial->isChecked() ? 1 : 0;
    settings.useProxy = m_useProxy->isChecked() ? 1 : 0;
    settings.proxyAddress = m_address->text().trimmed();
    settings.proxyPort = m_port->text().trimmed();
    settings.useProxyPass = m_useProxyPass->isChecked() ? 1 : 0;
    settings.proxyUser = m_proxyUser->text();
    settings.proxyPass = m_proxyPass->text();
}

bool CNetworkPage::validate()
{
    const QString port = m_port->text().trimmed();
    if (!m_useProxy->isChecked() || port.isEmpty())
        return true;
    bool number = false;
    const int value = port.toInt(&number);
    if (number && value >= 1 && value <= 65535)
        return true;
    Q_EMIT revealRequested();
    UserPrompt::inform(this, badPortText(), IMainWindow::Icon::Warning);
    m_port->setFocus();
    m_port->selectAll();
    return false;
}

void CNetworkPage::updateDependents()
{
    const bool dialling = m_dialUpOptions.controlsEnabled();
    m_dialUp->setEnabled(dialling);
    const bool dialUpChosen = dialling && m_dialUp->isChecked();
    m_entry->setEnabled(dialUpChosen);
    m_connectTime->setEnabled(dialUpChosen);
    m_autoDisconnect->setEnabled(dialUpChosen);
    m_autoDial->setEnabled(dialUpChosen);
    const bool proxy = m_useProxy->isChecked();
    m_address->setEnabled(proxy);
    m_port->setEnabled(proxy);
    m_useProxyPass->setEnabled(proxy);
    m_proxyUser->setEnabled(proxy && m_useProxyPass->isChecked());
    m_proxyPass->setEnabled(proxy && m_useProxyPass->isChecked());
}
