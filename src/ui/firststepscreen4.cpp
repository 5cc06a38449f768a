#include "ui/firststepscreen4.h"

#include "app/stringtable.h"
#include "ui/userprompt.h"

#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>

namespace {

constexpr int kShortestPassword = 6;

} // namespace

CFirstStepScreen4::CFirstStepScreen4(QWidget* parent) : QWizardPage(parent)
{
    setTitle(StringTable::text(265));
    auto* form = new QFormLayout(this);
    m_userId = new QLineEdit(this);
    m_password = new QLineEdit(this);
    m_password->setEchoMode(QLineEdit::Password);
    m_confirm = new QLineEdit(this);
    m_confirm->setEchoMode(QLineEdit::Password);
    form->addRow(tr("eBay® User ID:"), m_userId);
    form->addRow(tr("eBay® Password:"), m_password);
    form->addRow(tr("Confirm Password:"), m_confirm);
}

QString CFirstStepScreen4::userId() const
{
    return m_userId->text().trimmed();
}

QString CFirstStepScreen4::password() const
{
    return m_password->text().trimmed();
}

bool CFirstStepScreen4::validatePage()
{
    for (QLineEdit* field : {m_userId, m_password, m_confirm})
        field->setText(field->text().trimmed());
    if (m_userId->text().isEmpty())
        return refuse(271, m_userId);
    if (m_password->text().size() < kShortestPassword)
        return refuse(272, m_password);
    if (m_confirm->text() != m_password->text())
        return refuse(221, m_password);
    return true;
}

bool CFirstStepScreen4::refuse(int stringId, QLineEdit* field)
{
    UserPrompt::inform(this, StringTable::text(stringId), IMainWindow::Icon::Warning);
    field->setFocus();
    field->selectAll();
    return false;
}
