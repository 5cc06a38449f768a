#include "ui/favoritespage.h"

#include "app/appcontext.h"

#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

namespace {

constexpr int kUrlRole = Qt::UserRole + 1;

} // namespace

CFavoritesPage::CFavoritesPage(AppContext& app, QWidget* parent)
    : COptionsPage(app, tr("Favorites"), parent)
{
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    m_list = new QTreeWidget(this);
    m_list->setHeaderHidden(true);
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->header()->setStretchLastSection(true);
    grid->addWidget(m_list, 0, 0, 4, 2);

    // Reordering, deleting and saving come with the internal browser's favourites.
    int row = 0;
    for (const QString& text : {tr("&Up"), tr("&Down"), tr("De&lete")}) {
        auto* button = new QPushButton(text, this);
        button->setEnabled(false);
        grid->addWidget(button, row++, 2);
    }
    grid->setRowStretch(3, 1);

    m_title = new QLineEdit(this);
    m_url = new QLineEdit(this);
    m_title->setReadOnly(true);
    m_url->setReadOnly(true);
    auto* save = new QPushButton(tr("&Save"), this);
    save->setEnabled(false);
    grid->addWidget(new QLabel(tr("Title"), this), 4, 0);
    grid->addWidget(m_title, 4, 1);
    grid->addWidget(new QLabel(tr("Url"), this), 5, 0);
    grid->addWidget(m_url, 5, 1);
    grid->addWidget(save, 5, 2);
    grid->addWidget(newNote(tr("Category pages are added to the favorites from the internal "
                               "browser.")),
                    6, 0, 1, 3);
    grid->setColumnStretch(1, 1);

    connect(m_list, &QTreeWidget::currentItemChanged, this, &CFavoritesPage::showSelected);
}

void CFavoritesPage::load(const AppSettings& settings)
{
    Q_UNUSED(settings);
    m_list->clear();
    const Registry& registry = app().userRegistry();
    const QString section = QStringLiteral("Favorites");
    const int stored = registry.readInt(section, QStringLiteral("count"), 0);
    const int count = qBound(0, stored, kMaxFavorites);
    if (count != stored)
        app().log().message(tr("Favorites: the stored count %1 is outside 0 to %2; %3 are shown.")
                                .arg(stored)
                                .arg(kMaxFavorites)
                                .arg(count),
                            ProgramLog::Warning);
    for (int i = 0; i < count; ++i) {
        const QString entry = section + QStringLiteral("\\%1").arg(i);
        const QString text = registry.readStr(entry, QStringLiteral("text"), tr("Unknown"));
        auto* item = new QTreeWidgetItem(m_list, QStringList{text});
        item->setData(0, kUrlRole, registry.readStr(entry, QStringLiteral("url")));
    }
    if (m_list->topLevelItemCount() > 0)
        m_list->setCurrentItem(m_list->topLevelItem(0));
    showSelected();
}

void CFavoritesPage::store(AppSettings& settings) const
{
    Q_UNUSED(settings);
}

void CFavoritesPage::showSelected()
{
    const QTreeWidgetItem* item = m_list->currentItem();
    m_title->setText(item ? item->text(0) : QString());
    m_url->setText(item ? item->data(0, kUrlRole).toString() : QString());
}
