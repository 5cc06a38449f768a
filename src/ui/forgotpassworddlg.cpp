#include "ui/forgotpassworddlg.h"

#include "app/stringtable.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

CForgotPasswordDlg::CForgotPasswordDlg(const QString& login, const QString& password,
                                       const QString& accessPassword, QWidget* parent)
    : QDialog(parent), m_storedLogin(login), m_storedPassword(password),
      m_accessPassword(accessPassword)
{
    setWindowTitle(tr("Forgot Your Password?"));
    auto* column = new QVBoxLayout(this);
    auto* intro = new QLabel(
        tr("Enter your eBay® account information to display your access password."), this);
    intro->setWordWrap(true);
    column->addWidget(intro);

    auto* form = new QFormLayout;
    m_login = new QLineEdit(this);
    m_password = new QLineEdit(this);
    m_password->setEchoMode(QLineEdit::Password);
    form->addRow(tr("eBay® &user ID:"), m_login);
    form->addRow(tr("&Password:"), m_password);
    column->addLayout(form);

    m_status = new QLabel(this);
    m_status->setWordWrap(true);
    m_status->setTextFormat(Qt::PlainText);
    m_status->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_status->setMinimumWidth(360);
    column->addWidget(m_status);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_ok = buttons->button(QDialogButtonBox::Ok);
    m_cancel = buttons->button(QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &CForgotPasswordDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    column->addWidget(buttons);
}

void CForgotPasswordDlg::accept()
{
    if (m_shown) {
        QDialog::accept();
        return;
    }
    if (m_login->text() != m_storedLogin || m_password->text() != m_storedPassword) {
        m_status->setStyleSheet(QStringLiteral("color: #c62828;"));
        m_status->setText(StringTable::text(304));
        m_login->setFocus();
        m_login->selectAll();
        return;
    }
    m_status->setStyleSheet(QString());
    m_status->setText(StringTable::text(303).replace(QLatin1String("%s"), m_accessPassword));
    m_cancel->setEnabled(false);
    m_ok->setText(StringTable::text(283));
    m_shown = true;
}
