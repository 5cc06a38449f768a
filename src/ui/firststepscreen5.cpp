#include "ui/firststepscreen5.h"

#include "app/stringtable.h"
#include "ui/firststepwizard.h"
#include "ui/userprompt.h"

#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

CFirstStepScreen5::CFirstStepScreen5(QWidget* parent) : QWizardPage(parent)
{
    setTitle(StringTable::text(267));
    auto* column = new QVBoxLayout(this);
    auto* label = new QLabel(tr("Notification email address"), this);
    m_address = new QLineEdit(this);
    label->setBuddy(m_address);
    column->addWidget(label);
    column->addWidget(m_address);
    column->addStretch();
}

QString CFirstStepScreen5::address() const
{
    return m_address->text().trimmed();
}

bool CFirstStepScreen5::validatePage()
{
    if (CFirstStepWizard::isValidEmail(m_address->text()))
        return true;
    UserPrompt::inform(this, StringTable::text(270), IMainWindow::Icon::Warning);
    m_address->setFocus();
    m_address->selectAll();
    return false;
}
