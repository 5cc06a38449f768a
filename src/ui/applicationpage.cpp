#include "ui/applicationpage.h"

#include "app/appsettings.h"
#include "sites/siteaccess.h"
#include "sites/sitehosts.h"
#include "ui/sitemenu.h"
#include "ui/uiicons.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

CApplicationPage::CApplicationPage(AppContext& app, QWidget* parent)
    : COptionsPage(app, tr("Application"), parent)
{
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);

    auto* siteGroup = new QGroupBox(tr("Auction site"), this);
    auto* siteGrid = new QGridLayout(siteGroup);
    m_site = new QComboBox(siteGroup);
    m_site->setIconSize(QSize(24, 16));
    for (int site = 1; site <= SiteHosts::kSiteCount; ++site) {
        const QString name = SiteHosts::siteName(site);
        m_site->addItem(UiIcons::siteFlag(site),
                        tr("%1  (%2)").arg(CSiteMenu::countryName(site), name), name);
    }
    auto* siteLabel = new QLabel(tr("Current &site:"), siteGroup);
    siteLabel->setBuddy(m_site);
    siteGrid->addWidget(siteLabel, 0, 0);
    siteGrid->addWidget(m_site, 0, 1);
    siteGrid->addWidget(newNote(tr("New items, searches and the time synchronization use the "
                                   "current site.")),
                        1, 1);
    siteGrid->setColumnStretch(1, 1);
    column->addWidget(siteGroup);

    auto* account = new QGroupBox(tr("eBay® account"), this);
    auto* accountForm = new QFormLayout(account);
    m_login = new QLineEdit(account);
    m_password = new QLineEdit(account);
    m_password->setEchoMode(QLineEdit::Password);
    accountForm->addRow(tr("eBay® user ID:"), m_login);
    accountForm->addRow(tr("Password:"), m_password);
    column->addWidget(account);
    finishLayout();
}

void CApplicationPage::load(const AppSettings& settings)
{
    int index = m_site->findData(settings.currentSite, Qt::UserRole, Qt::MatchFixedString);
    if (index < 0) {
        // A site outside the built-in ten stays selectable under its own name.
        m_site->addItem(UiIcons::siteFlag(SiteNumber(settings.currentSite)), settings.currentSite,
                        settings.currentSite);
        index = m_site->count() - 1;
    }
    m_site->setCurrentIndex(index);
    m_login->setText(settings.login);
    m_password->setText(settings.password);
}

void CApplicationPage::store(AppSettings& settings) const
{
    settings.currentSite = m_site->currentData().toString();
    settings.login = m_login->text().trimmed();
    settings.password = m_password->text();
}
