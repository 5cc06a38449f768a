#include "ui/updatescreen4.h"

#include "ui/updatewizard.h"

#include <QCheckBox>
#include <QLabel>
#include <QVBoxLayout>

CUpdateScreen4::CUpdateScreen4(QWidget* parent) : QWizardPage(parent)
{
    setTitle(tr("Install the new version"));
    setSubTitle(tr("The new version has been downloaded."));
    auto* column = new QVBoxLayout(this);
    column->addWidget(new QLabel(tr("The new version was saved as:"), this));
    m_path = new QLabel(this);
    m_path->setWordWrap(true);
    m_path->setTextInteractionFlags(Qt::TextSelectableByMouse);
    column->addWidget(m_path);
    column->addSpacing(12);
    m_install = new QCheckBox(tr("&Stop bidding, save data and close Gavelin automatically to "
                                 "start the new update installation."),
                              this);
    column->addWidget(m_install);
    column->addStretch();
    setProperty("backEnabled", false);
}

void CUpdateScreen4::initializePage()
{
    if (auto* wizard = qobject_cast<CUpdateWizard*>(this->wizard())) {
        m_path->setText(wizard->downloadedFile());
        m_install->setChecked(wizard->installNow());
    }
}

bool CUpdateScreen4::validatePage()
{
    storeChoice();
    return true;
}

void CUpdateScreen4::cleanupPage()
{
    storeChoice();
}

void CUpdateScreen4::storeChoice()
{
    if (auto* wizard = qobject_cast<CUpdateWizard*>(this->wizard()))
        wizard->setInstallNow(m_install->isChecked());
}
