#include "ui/advancedpage.h"

#include "app/appsettings.h"
#include "ui/browserinstall.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QVBoxLayout>

CAdvancedPage::CAdvancedPage(AppContext& app, QWidget* parent)
    : COptionsPage(app, tr("Advanced"), parent)
{
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);

    auto* startup = new QGroupBox(tr("Program start"), this);
    auto* startupColumn = new QVBoxLayout(startup);
    m_autoStartup = new QCheckBox(tr("Autorun &when I log in"), startup);
    m_noSplash = new QCheckBox(tr("Disable splash screen on start program"), startup);
    startupColumn->addWidget(m_autoStartup);
    startupColumn->addWidget(m_noSplash);
    column->addWidget(startup);

    auto* list = new QGroupBox(tr("Bids list"), this);
    auto* listColumn = new QVBoxLayout(list);
    m_background = new QCheckBox(tr("View background image in auctions list"), list);
    m_confirmDelete = new QCheckBox(tr("Show confirmation dialog when you delete an item"), list);
    m_autoSaveList = new QCheckBox(tr("Automatically save bids list on program exit"), list);
    m_sortFolders =
        new QCheckBox(tr("Alphabetically sort &the child items of the folders tree"), list);
    for (QCheckBox* box : {m_background, m_confirmDelete, m_autoSaveList, m_sortFolders})
        listColumn->addWidget(box);
    column->addWidget(list);

    auto* browser = new QGroupBox(tr("Browser"), this);
    auto* browserColumn = new QVBoxLayout(browser);
    m_silentBrowser = new QCheckBox(tr("Block unwanted browser messages"), browser);
    browserColumn->addWidget(m_silentBrowser);
    m_showBidPages = new QCheckBox(tr("Show the pages of running bids in the browser"), browser);
    // Without the internal browser there is nowhere to show them.
    m_showBidPages->setEnabled(BrowserInstall::isBuiltIn());
    browserColumn->addWidget(m_showBidPages);
    column->addWidget(browser);
    finishLayout();
}

void CAdvancedPage::load(const AppSettings& settings)
{
    m_autoStartup->setChecked(settings.autoStartup != 0);
    m_background->setChecked(settings.listBackground != 0);
    m_noSplash->setChecked(settings.showSplash == 0);
    m_confirmDelete->setChecked(settings.confirmDel != 0);
    m_silentBrowser->setChecked(settings.silentBrowser != 0);
    m_showBidPages->setChecked(settings.showIE != 0);
    m_autoSaveList->setChecked(settings.autoSaveList != 0);
    m_sortFolders->setChecked(settings.sortFolders != 0);
}

void CAdvancedPage::store(AppSettings& settings) const
{
    settings.autoStartup = m_autoStartup->isChecked() ? 1 : 0;
    settings.listBackground = m_background->isChecked() ? 1 : 0;
    settings.showSplash = m_noSplash->isChecked() ? 0 : 1;
    settings.confirmDel = m_confirmDelete->isChecked() ? 1 : 0;
    settings.silentBrowser = m_silentBrowser->isChecked() ? 1 : 0;
    settings.showIE = m_showBidPages->isChecked() ? 1 : 0;
    settings.autoSaveList = m_autoSaveList->isChecked() ? 1 : 0;
    settings.sortFolders = m_sortFolders->isChecked() ? 1 : 0;
}
