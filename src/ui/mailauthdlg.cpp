#include "ui/mailauthdlg.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>

CMailAuthDlg::CMailAuthDlg(const QString& user, const QString& password, QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(tr("Authentication"));
    auto* form = new QFormLayout(this);
    auto* note = new QLabel(tr("The SMTP server asks who sends (AUTH LOGIN). Leave the user "
                               "name empty when it does not."),
                            this);
    note->setWordWrap(true);
    form->addRow(note);
    m_user = new QLineEdit(user, this);
    m_password = new QLineEdit(password, this);
    m_password->setEchoMode(QLineEdit::Password);
    form->addRow(tr("&User name:"), m_user);
    form->addRow(tr("&Password:"), m_password);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    form->addRow(buttons);
}

QString CMailAuthDlg::user() const
{
    return m_user->text().trimmed();
}

QString CMailAuthDlg::password() const
{
    return m_password->text();
}
