#include "ui/firststepscreen2.h"

#include "app/stringtable.h"
#include "ui/firststepwizard.h"

#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

CFirstStepScreen2::CFirstStepScreen2(QWidget* parent) : QWizardPage(parent)
{
    setTitle(StringTable::text(265));
    auto* column = new QVBoxLayout(this);
    auto* question = new QLabel(tr("Do you have an eBay® auction account already set up?"), this);
    question->setWordWrap(true);
    m_yes = new QRadioButton(tr("&Yes"), this);
    m_no = new QRadioButton(tr("&No"), this);
    column->addWidget(question);
    column->addWidget(m_yes);
    column->addWidget(m_no);
    column->addStretch();
}

void CFirstStepScreen2::initializePage()
{
    if (!m_no->isChecked())
        m_yes->setChecked(true);
}

int CFirstStepScreen2::nextId() const
{
    return m_no->isChecked() ? CFirstStepWizard::RegisterPage : CFirstStepWizard::AccountPage;
}
