#include "ui/accesspromptdlg.h"

#include "app/appcontext.h"
#include "model/accesslock.h"
#include "ui/forgotpassworddlg.h"
#include "ui/userprompt.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <optional>

namespace {

CAccessPromptDlg::Responder& responder()
{
    static CAccessPromptDlg::Responder instance;
    return instance;
}

} // namespace

CAccessPromptDlg::CAccessPromptDlg(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Access Password"));
    auto* layout = new QVBoxLayout(this);
    auto* intro = new QLabel(
        QStringLiteral("The bid list is protected. Enter the access password to go on."), this);
    intro->setWordWrap(true);
    layout->addWidget(intro);

    auto* form = new QFormLayout;
    m_password = new QLineEdit(this);
    m_password->setEchoMode(QLineEdit::Password);
    m_password->setMinimumWidth(220);
    form->addRow(QStringLiteral("&Access password:"), m_password);
    layout->addLayout(form);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_forgot =
        buttons->addButton(QStringLiteral("Forgot Your Password?"), QDialogButtonBox::ActionRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_forgot, &QPushButton::clicked, this, &CAccessPromptDlg::showForgotPassword);
    layout->addWidget(buttons);
}

QString CAccessPromptDlg::password() const
{
    return m_password->text();
}

void CAccessPromptDlg::showForgotPassword()
{
    const AppContext* app = AppContext::current();
    if (!app)
        return;
    const AppSettings& settings = app->settings();
    CForgotPasswordDlg dialog(settings.login, settings.password, settings.lockPassword, this);
    dialog.exec();
}

bool CAccessPromptDlg::pass(QWidget* parent, AccessLock& lock)
{
    if (!lock.isRequired())
        return true;
    std::optional<QString> entered;
    if (responder()) {
        entered = responder()();
    } else {
        CAccessPromptDlg dialog(parent);
        if (dialog.exec() == QDialog::Accepted)
            entered = dialog.password();
    }
    if (!entered)
        return false;
    if (!lock.unlock(*entered)) {
        UserPrompt::inform(parent, AccessLock::deniedText(), IMainWindow::Icon::Error);
        return false;
    }
    // The idle period starts now, not at the last click before the list locked.
    if (AppContext* app = AppContext::current())
        lock.noteActivity(app->clock().localNow());
    return true;
}

void CAccessPromptDlg::setResponder(Responder responder_)
{
    responder() = std::move(responder_);
}
