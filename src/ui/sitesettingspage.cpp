#include "ui/sitesettingspage.h"

#include "app/appsettings.h"
#include "app/stringtable.h"
#include "sites/siteaccess.h"
#include "ui/sitevaluedlg.h"
#include "ui/uiicons.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>

CSiteSettingsPage::CSiteSettingsPage(AppContext& app, QWidget* parent)
    : COptionsPage(app, tr("Site settings"), parent)
{
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    m_sites = new QComboBox(this);
    m_sites->setIconSize(QSize(24, 16));
    m_sites->setMinimumContentsLength(24);
    m_add = new QPushButton(tr("+"), this);
    m_add->setToolTip(StringTable::text(225));
    m_add->setEnabled(false);
    m_add->setFixedWidth(m_add->sizeHint().height() + 8);
    auto* siteLabel = new QLabel(tr("&Site:"), this);
    siteLabel->setBuddy(m_sites);
    grid->addWidget(siteLabel, 0, 0);
    grid->addWidget(m_sites, 0, 1);
    grid->addWidget(m_add, 0, 2);
    grid->setColumnStretch(3, 1);

    m_list = new QTreeWidget(this);
    m_list->setHeaderLabels({tr("Name"), tr("Data")});
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->setAlternatingRowColors(true);
    m_list->header()->resizeSection(0, 200);
    m_list->header()->resizeSection(1, 400);
    m_list->header()->setStretchLastSection(true);
    grid->addWidget(m_list, 1, 0, 1, 5);

    m_edit = new QPushButton(tr("&Edit..."), this);
    grid->addWidget(m_edit, 0, 4, Qt::AlignRight);

    auto* warning =
        newNote(tr("WARNING: Changing these parameters may affect expected bidding results."));
    warning->setStyleSheet(QStringLiteral("color: #b71c1c; font-weight: bold;"));
    grid->addWidget(warning, 2, 0, 1, 5);

    connect(m_edit, &QPushButton::clicked, this, &CSiteSettingsPage::editSelected);
    connect(m_list, &QTreeWidget::itemDoubleClicked, this, &CSiteSettingsPage::editSelected);
    connect(m_sites, &QComboBox::currentIndexChanged, this, [this] {
        keepRows();
        showSite(m_sites->currentData().toString());
    });
}

void CSiteSettingsPage::load(const AppSettings& settings)
{
    m_working.clear();
    m_changed = false;
    m_shownSite.clear();
    QStringList sites;
    if (const SiteSettings* cache = SiteSettings::current())
        sites = cache->siteList();
    if (!sites.isEmpty() && !sites.contains(settings.currentSite))
        sites << settings.currentSite;
    QSignalBlocker block(m_sites);
    m_sites->clear();
    for (const QString& site : sites)
        m_sites->addItem(UiIcons::siteFlag(SiteNumber(site)), site, site);
    m_sites->setCurrentIndex(qMax(0, m_sites->findData(settings.currentSite)));
    showSite(m_sites->currentData().toString());
}

void CSiteSettingsPage::store(AppSettings& settings) const
{
    Q_UNUSED(settings);
}

void CSiteSettingsPage::showSite(const QString& site)
{
    m_shownSite = site;
    m_list->clear();
    SiteSettings::Entries rows;
    if (m_working.contains(site))
        rows = m_working.value(site);
    else if (const SiteSettings* cache = SiteSettings::current())
        rows = cache->siteEntries(site);
    QList<QTreeWidgetItem*> items;
    for (const auto& [name, value] : rows)
        items << new QTreeWidgetItem(QStringList{name, value});
    m_list->addTopLevelItems(items);
    if (!items.isEmpty())
        m_list->setCurrentItem(items.first());
    m_edit->setEnabled(!items.isEmpty());
}

void CSiteSettingsPage::keepRows()
{
    if (m_shownSite.isEmpty() || !m_changed)
        return;
    SiteSettings::Entries rows;
    for (int i = 0; i < m_list->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = m_list->topLevelItem(i);
        rows.emplace_back(item->text(0), item->text(1));
    }
    m_working.insert(m_shownSite, rows);
}

void CSiteSettingsPage::editSelected()
{
    QTreeWidgetItem* item = m_list->currentItem();
    if (!item)
        return;
    QString value = item->text(1);
    bool accepted;
    if (m_editor) {
        accepted = m_editor(item->text(0), &value);
    } else {
        CSiteValueDlg dialog(item->text(0), value, this);
        accepted = dialog.exec() == QDialog::Accepted;
        value = dialog.value();
    }
    if (!accepted || value == item->text(1))
        return;
    item->setText(1, value);
    m_changed = true;
    keepRows();
}

void CSiteSettingsPage::commitToCache() const
{
    SiteSettings* cache = SiteSettings::current();
    if (!cache)
        return;
    for (auto it = m_working.cbegin(); it != m_working.cend(); ++it) {
        for (const auto& [name, value] : it.value()) {
            const QString key = it.key() + QLatin1Char('_') + name;
            if (cache->value(key) != value)
                cache->setValue(key, value);
        }
    }
}
