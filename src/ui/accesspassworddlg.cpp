#include "ui/accesspassworddlg.h"

#include "app/stringtable.h"
#include "ui/forgotpassworddlg.h"
#include "ui/userprompt.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

CAccessPasswordDlg::CAccessPasswordDlg(const QString& storedPassword, const QString& login,
                                       const QString& sitePassword, QWidget* parent)
    : QDialog(parent), m_stored(storedPassword), m_login(login), m_sitePassword(sitePassword)
{
    setWindowTitle(tr("Access Password"));
    auto* column = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    m_old = new QLineEdit(this);
    m_new = new QLineEdit(this);
    m_confirm = new QLineEdit(this);
    for (QLineEdit* field : {m_old, m_new, m_confirm}) {
        field->setEchoMode(QLineEdit::Password);
        field->setMinimumWidth(220);
    }
    // With no password yet there is no old one to prove.
    m_old->setEnabled(!m_stored.isEmpty());
    form->addRow(tr("&Old password:"), m_old);
    form->addRow(tr("&New password:"), m_new);
    form->addRow(tr("&Confirm new password:"), m_confirm);
    column->addLayout(form);

    m_forgot = new QPushButton(tr("Forgot Your Password?"), this);
    m_forgot->setFlat(true);
    m_forgot->setCursor(Qt::PointingHandCursor);
    m_forgot->setStyleSheet(QStringLiteral("color: palette(link); text-decoration: underline;"));
    m_forgot->setEnabled(!m_stored.isEmpty());
    column->addWidget(m_forgot, 0, Qt::AlignLeft);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CAccessPasswordDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_forgot, &QPushButton::clicked, this, &CAccessPasswordDlg::showForgotPassword);
    column->addWidget(buttons);
    (m_stored.isEmpty() ? m_new : m_old)->setFocus();
}

QString CAccessPasswordDlg::emptyText()
{
    return tr("The password is empty. Please, enter a new password.");
}

QString CAccessPasswordDlg::wrongOldText()
{
    return tr("The old password is incorrect. Letters in password must be typed using the "
              "correct case. Make sure that Caps Lock in not accidentally on.");
}

QString CAccessPasswordDlg::mismatchText()
{
    return StringTable::text(221);
}

void CAccessPasswordDlg::accept()
{
    if (m_new->text().isEmpty()) {
        refuse(emptyText(), m_new);
        return;
    }
    if (m_old->text() != m_stored) {
        refuse(wrongOldText(), m_old);
        return;
    }
    if (m_new->text() != m_confirm->text()) {
        refuse(mismatchText(), m_confirm);
        return;
    }
    QDialog::accept();
}

QString CAccessPasswordDlg::newPassword() const
{
    return m_new->text();
}

void CAccessPasswordDlg::refuse(const QString& text, QLineEdit* field)
{
    UserPrompt::inform(this, text, IMainWindow::Icon::Warning);
    field->setFocus();
    field->selectAll();
}

void CAccessPasswordDlg::showForgotPassword()
{
    CForgotPasswordDlg dialog(m_login, m_sitePassword, m_stored, this);
    dialog.exec();
}
