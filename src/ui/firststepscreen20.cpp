#include "ui/firststepscreen20.h"

#include "app/stringtable.h"
#include "sites/siteaccess.h"
#include "sites/sitehosts.h"
#include "sites/sitesettings.h"
#include "ui/uiicons.h"

#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

CFirstStepScreen20::CFirstStepScreen20(QWidget* parent) : QWizardPage(parent)
{
    setTitle(StringTable::text(265));
    auto* column = new QVBoxLayout(this);
    auto* label = new QLabel(tr("Select proper eBay® site:"), this);
    m_list = new QListWidget(this);
    label->setBuddy(m_list);
    column->addWidget(label);
    column->addWidget(m_list);
    connect(m_list, &QListWidget::currentRowChanged, this, &QWizardPage::completeChanged);
}

void CFirstStepScreen20::initializePage()
{
    m_list->clear();
    const SiteSettings* sites = SiteSettings::current();
    const QStringList names = sites ? sites->siteList() : SiteHosts::siteNames();
    const QString current = CurrentSiteName();
    for (const QString& name : names) {
        auto* item = new QListWidgetItem(UiIcons::siteFlag(SiteHosts::siteNumber(name)), name);
        m_list->addItem(item);
        if (name.compare(current, Qt::CaseInsensitive) == 0)
            m_list->setCurrentItem(item);
    }
    if (!m_list->currentItem() && m_list->count() > 0)
        m_list->setCurrentRow(0);
}

bool CFirstStepScreen20::isComplete() const
{
    return m_list->currentItem() != nullptr;
}

QString CFirstStepScreen20::site() const
{
    const QListWidgetItem* item = m_list->currentItem();
    return item ? item->text() : QString();
}
