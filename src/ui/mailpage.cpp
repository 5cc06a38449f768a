#include "ui/mailpage.h"

#include "app/appcontext.h"
#include "app/appsettings.h"
#include "app/workerthread.h"
#include "mail/mailsecurity.h"
#include "ui/mailauthdlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

// The usual port of each protection, POP3 and SMTP.
constexpr int kPopPorts[] = {110, 995, 110};
constexpr int kSmtpPorts[] = {25, 465, 587};

QComboBox* securityBox(QWidget* parent)
{
    auto* box = new QComboBox(parent);
    box->addItem(QObject::tr("None"), int(MailSecurity::Plain));
    box->addItem(QObject::tr("SSL/TLS"), int(MailSecurity::ImplicitTls));
    box->addItem(QObject::tr("STARTTLS"), int(MailSecurity::StartTls));
    return box;
}

// A port still at the usual one for the old protection follows the new one.
void followPort(QComboBox* security, QSpinBox* port, const int (&ports)[3])
{
    int previous = security->currentIndex();
    QObject::connect(security, &QComboBox::currentIndexChanged, port,
                     [port, &ports, previous](int index) mutable {
                         if (previous >= 0 && index >= 0 && port->value() == ports[previous])
                             port->setValue(ports[index]);
                         previous = index;
                     });
}

void selectSecurity(QComboBox* box, int stored)
{
    const int index = box->findData(int(MailSecurity::fromSetting(stored).mode));
    box->setCurrentIndex(index < 0 ? 0 : index);
}

} // namespace

CMailPage::CMailPage(AppContext& app, std::function<void()> checkMailNow, QWidget* parent)
    : COptionsPage(app, tr("Zaru Vuzarovuz"), parent), m_checkMailNow(std::move(checkMailNow))
{
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    m_use = new QCheckBox(tr("Take commands by e-mail and send notifications"), this);
    column->addWidget(m_use);

    const auto addRow = [](QGridLayout* grid, int row, const QString& text, QWidget* field,
                           QWidget* extra = nullptr) {
        auto* label = new QLabel(text, field->parentWidget());
        label->setBuddy(field);
        grid->addWidget(label, row, 0);
        grid->addWidget(field, row, 1, 1, extra ? 1 : 3);
        if (extra)
            grid->addWidget(extra, row, 2, 1, 2);
    };

    auto* pop = new QGroupBox(tr("Commands (POP3 mailbox)"), this);
    auto* popGrid = new QGridLayout(pop);
    m_popServer = new QLineEdit(pop);
    m_popPort = newSpin(1, 65535);
    m_popPort->setParent(pop);
    m_popSecurity = securityBox(pop);
    m_popLogin = new QLineEdit(pop);
    m_popPassword = new QLineEdit(pop);
    m_popPassword->setEchoMode(QLineEdit::Password);
    m_email = new QLineEdit(pop);
    m_email->setPlaceholderText(tr("your own address"));
    m_senderWarning = newNote(acceptedSenderWarning());
    m_senderWarning->setParent(pop);
    m_senderWarning->setStyleSheet(QStringLiteral("color: #a00000;"));
    m_time = newSpin(1, 1440, tr(" minutes"));
    m_time->setParent(pop);
    m_checkNow = new QPushButton(tr("Check mail now"), pop);
    addRow(popGrid, 0, tr("POP3 &server:"), m_popServer);
    addRow(popGrid, 1, tr("P&ort:"), m_popPort, m_popSecurity);
    addRow(popGrid, 2, tr("&User name:"), m_popLogin);
    addRow(popGrid, 3, tr("&Password:"), m_popPassword);
    addRow(popGrid, 4, tr("&Accept commands from:"), m_email);
    popGrid->addWidget(m_senderWarning, 5, 1, 1, 3);
    addRow(popGrid, 6, tr("Check &mail every"), m_time, m_checkNow);
    popGrid->setColumnStretch(3, 1);
    column->addWidget(pop);

    auto* smtp = new QGroupBox(tr("Notifications (SMTP)"), this);
    auto* smtpGrid = new QGridLayout(smtp);
    m_smtpServer = new QLineEdit(smtp);
    m_smtpPort = newSpin(1, 65535);
    m_smtpPort->setParent(smtp);
    m_smtpSecurity = securityBox(smtp);
    m_sender = new QLineEdit(smtp);
    m_recipient = new QLineEdit(smtp);
    m_notifyEnded = new QCheckBox(tr("Notify when bidding on an item has ended"), smtp);
    m_notifyOutbid = new QCheckBox(tr("Notify when an item is outbid"), smtp);
    m_auth = new QPushButton(tr("Authentication..."), smtp);
    m_test = new QPushButton(tr("Test mail sending"), smtp);
    m_status = new QLabel(smtp);
    m_status->setWordWrap(true);
    m_status->setTextInteractionFlags(Qt::TextSelectableByMouse);
    addRow(smtpGrid, 0, tr("SMTP s&erver:"), m_smtpServer);
    addRow(smtpGrid, 1, tr("Po&rt:"), m_smtpPort, m_smtpSecurity);
    addRow(smtpGrid, 2, tr("Se&nder address:"), m_sender);
    addRow(smtpGrid, 3, tr("Send &to:"), m_recipient);
    smtpGrid->addWidget(m_notifyEnded, 4, 0, 1, 4);
    smtpGrid->addWidget(m_notifyOutbid, 5, 0, 1, 4);
    smtpGrid->addWidget(m_auth, 6, 0);
    smtpGrid->addWidget(m_test, 6, 1, Qt::AlignLeft);
    smtpGrid->addWidget(m_status, 7, 0, 1, 4);
    smtpGrid->setColumnStretch(3, 1);
    column->addWidget(smtp);
    finishLayout();

    followPort(m_popSecurity, m_popPort, kPopPorts);
    followPort(m_smtpSecurity, m_smtpPort, kSmtpPorts);
    connect(m_use, &QCheckBox::toggled, this, &CMailPage::updateDependents);
    connect(m_email, &QLineEdit::textChanged, this, &CMailPage::updateDependents);
    connect(m_auth, &QPushButton::clicked, this, &CMailPage::editAuthentication);
    connect(m_checkNow, &QPushButton::clicked, this, &CMailPage::checkMailNow);
    connect(m_test, &QPushButton::clicked, this, &CMailPage::startTest);
}

CMailPage::~CMailPage()
{
    // A test mail cannot be cut short: it ends on its own thread, its result goes nowhere.
    if (m_testThread)
        m_testThread->detach();
}

QString CMailPage::acceptedSenderWarning()
{
    return tr("No address is set: commands are taken from anyone who knows the command "
              "tag. Enter your own address.");
}

void CMailPage::load(const AppSettings& settings)
{
    m_use->setChecked(settings.useMC != 0);
    m_popServer->setText(settings.popServer);
    loadSpin(m_popPort, settings.popPort, "port");
    // The port's own value stays: switching the box is not the user's doing here.
    const int popPort = m_popPort->value();
    selectSecurity(m_popSecurity, settings.popSecurity);
    m_popPort->setValue(popPort);
    m_popLogin->setText(settings.popLogin);
    m_popPassword->setText(settings.popPassword);
    m_email->setText(settings.commandEmail);
    loadSpin(m_time, settings.mailCheckMinutes, "time");
    m_smtpServer->setText(settings.smtpServer);
    loadSpin(m_smtpPort, settings.smtpPort, "port2");
    const int smtpPort = m_smtpPort->value();
    selectSecurity(m_smtpSecurity, settings.smtpSecurity);
    m_smtpPort->setValue(smtpPort);
    m_sender->setText(settings.notifySender);
    m_recipient->setText(settings.notifyRecipient);
    m_notifyEnded->setChecked(settings.notifyEnded != 0);
    m_notifyOutbid->setChecked(settings.notifyOutbid != 0);
    m_smtpUser = settings.smtpUser;
    m_smtpPassword = settings.smtpPassword;
    updateDependents();
}

void CMailPage::store(AppSettings& settings) const
{
    settings.useMC = m_use->isChecked() ? 1 : 0;
    settings.popServer = m_popServer->text().trimmed();
    settings.popPort = m_popPort->value();
    settings.popSecurity = m_popSecurity->currentData().toInt();
    settings.popLogin = m_popLogin->text().trimmed();
    settings.popPassword = m_popPassword->text();
    settings.commandEmail = m_email->text().trimmed();
    settings.mailCheckMinutes = m_time->value();
    settings.smtpServer = m_smtpServer->text().trimmed();
    settings.smtpPort = m_smtpPort->value();
    settings.smtpSecurity = m_smtpSecurity->currentData().toInt();
    settings.notifySender = m_sender->text().trimmed();
    settings.notifyRecipient = m_recipient->text().trimmed();
    settings.notifyEnded = m_notifyEnded->isChecked() ? 1 : 0;
    settings.notifyOutbid = m_notifyOutbid->isChecked() ? 1 : 0;
    settings.smtpUser = m_smtpUser;
    settings.smtpPassword = m_smtpPassword;
}

SmtpAccount CMailPage::smtpAccount() const
{
    SmtpAccount account;
    account.host = m_smtpServer->text().trimmed();
    account.port = m_smtpPort->value();
    account.user = m_smtpUser;
    account.password = m_smtpPassword;
    account.sender = m_sender->text().trimmed();
    account.recipient = m_recipient->text().trimmed();
    account.security = MailSecurity::fromSetting(m_smtpSecurity->currentData().toInt());
    account.security.extraCaFile = m_extraCaFile;
    return account;
}

void CMailPage::updateDependents()
{
    m_senderWarning->setVisible(m_email->text().trimmed().isEmpty());
    m_checkNow->setEnabled(bool(m_checkMailNow));
}

void CMailPage::editAuthentication()
{
    CMailAuthDlg dialog(m_smtpUser, m_smtpPassword, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_smtpUser = dialog.user();
    m_smtpPassword = dialog.password();
}

bool CMailPage::differsFromStoredPop() const
{
    AppSettings shown = app().settings();
    store(shown);
    const AppSettings& stored = app().settings();
    return shown.popServer != stored.popServer || shown.popPort != stored.popPort ||
           shown.popSecurity != stored.popSecurity || shown.popLogin != stored.popLogin ||
           shown.popPassword != stored.popPassword || shown.commandEmail != stored.commandEmail;
}

void CMailPage::checkMailNow()
{
    if (!m_checkMailNow)
        return;
    m_checkMailNow();
    QString text = tr("The mailbox is being checked; what the mails did appears in the "
                      "message list.");
    if (differsFromStoredPop())
        text += QLatin1Char(' ') + tr("The check uses the stored settings: press OK first "
                                      "to check with the values shown here.");
    m_status->setText(text);
}

void CMailPage::startTest()
{
    if (m_testThread)
        return;
    const SmtpAccount account = smtpAccount();
    m_test->setEnabled(false);
    m_status->setText(
        tr("Sending the test mail to %1 through %2...").arg(account.recipient, account.host));
    auto sender = std::make_unique<MailTestSender>(account, QCoreApplication::applicationName(),
                                                   &app().log());
    connect(sender.get(), &MailTestSender::finished, this, &CMailPage::testDone);
    m_testThread = std::make_unique<WorkerThread>(QStringLiteral("Test mail"));
    MailTestSender* running = m_testThread->start(std::move(sender));
    m_testThread->post([running] { running->run(); });
}

void CMailPage::testDone(const MailTestResult& result)
{
    m_testThread.reset();
    m_test->setEnabled(true);
    m_status->setText(result.summary);
    m_status->setToolTip(result.transcript.join(QLatin1Char('\n')));
    Q_EMIT testFinished(result);
}
