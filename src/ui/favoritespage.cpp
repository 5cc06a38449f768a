#include "ui/favoritespage.h"

#include "app/appcontext.h"
#include "app/stringtable.h"
#include "ui/userprompt.h"

#include <QAbstractItemView>
#include <QGridLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableWidget>

CFavoritesPage::CFavoritesPage(AppContext& app, QWidget* parent)
    : COptionsPage(app, tr("Favorites"), parent), m_favorites(app.userRegistry())
{
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    m_list = new QTableWidget(0, 1, this);
    m_list->horizontalHeader()->hide();
    m_list->horizontalHeader()->setStretchLastSection(true);
    m_list->verticalHeader()->hide();
    m_list->setShowGrid(true);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setWordWrap(false);
    grid->addWidget(m_list, 0, 0, 4, 2);

    m_up = new QPushButton(tr("&Up"), this);
    m_down = new QPushButton(tr("&Down"), this);
    m_delete = new QPushButton(tr("De&lete"), this);
    grid->addWidget(m_up, 0, 2);
    grid->addWidget(m_down, 1, 2);
    grid->addWidget(m_delete, 2, 2);
    grid->setRowStretch(3, 1);

    m_title = new QLineEdit(this);
    m_url = new QLineEdit(this);
    m_save = new QPushButton(tr("&Save"), this);
    m_save->setEnabled(false);
    auto* titleLabel = new QLabel(tr("Title"), this);
    auto* urlLabel = new QLabel(tr("Url"), this);
    titleLabel->setBuddy(m_title);
    urlLabel->setBuddy(m_url);
    grid->addWidget(titleLabel, 4, 0);
    grid->addWidget(m_title, 4, 1);
    grid->addWidget(urlLabel, 5, 0);
    grid->addWidget(m_url, 5, 1);
    grid->addWidget(m_save, 5, 2);
    grid->addWidget(newNote(tr("Category pages are added to the favorites from the internal "
                               "browser.")),
                    6, 0, 1, 3);
    grid->setColumnStretch(1, 1);

    connect(m_list, &QTableWidget::itemSelectionChanged, this, &CFavoritesPage::showSelected);
    connect(m_up, &QPushButton::clicked, this, &CFavoritesPage::moveUp);
    connect(m_down, &QPushButton::clicked, this, &CFavoritesPage::moveDown);
    connect(m_delete, &QPushButton::clicked, this, &CFavoritesPage::deleteSelected);
    connect(m_save, &QPushButton::clicked, this, &CFavoritesPage::saveSelected);
    // Only the user's typing makes something to save, not the fields filled from the list.
    const auto edited = [this] { m_save->setEnabled(selectedIndex() >= 0); };
    connect(m_title, &QLineEdit::textEdited, this, edited);
    connect(m_url, &QLineEdit::textEdited, this, edited);
}

void CFavoritesPage::load(const AppSettings& settings)
{
    Q_UNUSED(settings);
    refill(0);
}

void CFavoritesPage::store(AppSettings& settings) const
{
    Q_UNUSED(settings);
}

int CFavoritesPage::selectedIndex() const
{
    const QModelIndexList rows = m_list->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void CFavoritesPage::refill(int select)
{
    {
        const QSignalBlocker blocker(m_list);
        const QList<FavoriteCategories::Entry> entries = m_favorites.entries();
        m_list->clearContents();
        m_list->setRowCount(static_cast<int>(entries.size()));
        for (int i = 0; i < entries.size(); ++i)
            m_list->setItem(i, 0, new QTableWidgetItem(entries.at(i).text));
        if (select >= 0 && select < entries.size())
            m_list->selectRow(select);
        else
            m_list->clearSelection();
    }
    showSelected();
}

void CFavoritesPage::showSelected()
{
    const int selected = selectedIndex();
    const FavoriteCategories::Entry entry = m_favorites.entry(selected);
    m_title->setText(entry.text);
    m_url->setText(entry.url);
    const int count = m_list->rowCount();
    m_up->setEnabled(selected > 0);
    m_down->setEnabled(selected >= 0 && selected < count - 1);
    m_delete->setEnabled(selected >= 0);
    m_save->setEnabled(false);
}

void CFavoritesPage::moveUp()
{
    const int selected = selectedIndex();
    if (m_favorites.moveUp(selected))
        refill(selected - 1);
}

void CFavoritesPage::moveDown()
{
    const int selected = selectedIndex();
    if (m_favorites.moveDown(selected))
        refill(selected + 1);
}

void CFavoritesPage::deleteSelected()
{
    const int selected = selectedIndex();
    if (selected < 0)
        return;
    const QString title = m_favorites.entry(selected).text;
    const QString question = StringTable::text(285).replace(QLatin1String("%s"), title);
    if (!UserPrompt::confirm(this, question, IMainWindow::Icon::Question))
        return;
    if (m_favorites.remove(selected))
        refill(qMax(0, selected - 1));
}

void CFavoritesPage::saveSelected()
{
    const int selected = selectedIndex();
    if (m_favorites.save(selected, m_title->text(), m_url->text()))
        refill(selected);
}
