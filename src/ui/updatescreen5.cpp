#include "ui/updatescreen5.h"

#include "app/appcontext.h"
#include "app/appsettings.h"

#include <QCheckBox>
#include <QLabel>
#include <QVBoxLayout>

CUpdateScreen5::CUpdateScreen5(AppContext& app, QWidget* parent) : QWizardPage(parent), m_app(app)
{
    setTitle(tr("Completing the Update Wizard"));
    setSubTitle(tr("Click Finish to close the wizard."));
    setFinalPage(true);
    auto* column = new QVBoxLayout(this);
    auto* text = new QLabel(tr("You can run this wizard again at any time from the \"Tools\" menu "
                               "or the tray icon's menu."),
                            this);
    text->setWordWrap(true);
    column->addWidget(text);
    column->addSpacing(12);
    m_automatic = new QCheckBox(tr("Check new version and settings automatically"), this);
    column->addWidget(m_automatic);
    column->addStretch();
    // Only Finish: the wizard has nothing left to cancel.
    setProperty("backEnabled", false);
    setProperty("cancelEnabled", false);
}

void CUpdateScreen5::initializePage()
{
    m_automatic->setChecked(m_app.settings().updateEvery != 0);
}

void CUpdateScreen5::storeChoice()
{
    AppSettings& settings = m_app.settings();
    settings.updateEvery = m_automatic->isChecked() ? 1 : 0;
    settings.writeKey(m_app.userRegistry(), &AppSettings::updateEvery);
    m_app.publishSettings();
}
