#include "ui/searchpage1.h"

#include "app/stringtable.h"
#include "search/savedsearches.h"
#include "ui/userprompt.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

constexpr int kMaxPriceBound = 99999999;
constexpr int kMaxItemCount = 9999;

QSpinBox* newSpin(int maximum, QWidget* parent)
{
    auto* box = new QSpinBox(parent);
    box->setRange(0, maximum);
    return box;
}

// A label for a row whose field is a layout: its mnemonic goes to `buddy`.
QLabel* labelFor(const QString& text, QWidget* buddy)
{
    auto* label = new QLabel(text, buddy->parentWidget());
    label->setBuddy(buddy);
    return label;
}

void fillList(QComboBox* box, const SiteChoiceList& list)
{
    box->clear();
    box->addItems(list.texts);
    box->setEnabled(true);
}

} // namespace

CSearchPage1::CSearchPage1(Registry& user, QWidget* parent) : QWidget(parent), m_user(user)
{
    buildLayout();
    for (QComboBox* box : {m_category, m_locationIn, m_locationTo}) {
        // The site's names decide the width, within reason.
        box->setSizeAdjustPolicy(QComboBox::AdjustToContents);
        box->setMaximumWidth(fontMetrics().averageCharWidth() * 60);
        box->addItem(tr("Loading..."));
        box->setEnabled(false);
    }
    reset();
}

void CSearchPage1::buildLayout()
{
    auto* column = new QVBoxLayout(this);

    auto* searchGroup = new QGroupBox(tr("Search"), this);
    auto* form = new QFormLayout(searchGroup);
    form->setFieldGrowthPolicy(QFormLayout::ExpandingFieldsGrow);
    m_keywords = new QLineEdit(searchGroup);
    m_keywords->setMaxLength(SearchCriteria::kMaxWordsLength);
    m_wordOption = new QComboBox(searchGroup);
    m_wordOption->addItems(
        {tr("All of these words"), tr("Any of these words"), tr("Exact Phrase")});
    auto* keywordRow = new QHBoxLayout;
    keywordRow->addWidget(m_keywords, 1);
    keywordRow->addWidget(m_wordOption);
    form->addRow(labelFor(tr("Search &keywords or item number (required)"), m_keywords),
                 keywordRow);
    m_exclude = new QLineEdit(searchGroup);
    m_exclude->setMaxLength(SearchCriteria::kMaxWordsLength);
    form->addRow(tr("Words to &Exclude"), m_exclude);
    m_seller = new QLineEdit(searchGroup);
    form->addRow(tr("&From specific seller"), m_seller);

    m_rangeMin = newSpin(kMaxPriceBound, searchGroup);
    m_rangeMax = newSpin(kMaxPriceBound, searchGroup);
    auto* rangeRow = new QHBoxLayout;
    rangeRow->addWidget(m_rangeMin);
    rangeRow->addWidget(new QLabel(tr("and"), searchGroup));
    rangeRow->addWidget(m_rangeMax);
    rangeRow->addStretch(1);
    form->addRow(labelFor(tr("&Price Range Between"), m_rangeMin), rangeRow);
    m_itemCount = newSpin(kMaxItemCount, searchGroup);
    auto* countRow = new QHBoxLayout;
    countRow->addWidget(m_itemCount);
    countRow->addWidget(new QLabel(tr("items (30-50 recommended)"), searchGroup));
    countRow->addStretch(1);
    form->addRow(labelFor(tr("F&ind"), m_itemCount), countRow);
    m_titleAndDescription =
        new QCheckBox(tr("Search ti&tle and description (to find more items!)"), searchGroup);
    form->addRow(m_titleAndDescription);
    m_buyItNow = new QCheckBox(tr("B&uy It Now Items only"), searchGroup);
    form->addRow(m_buyItNow);
    m_category = new QComboBox(searchGroup);
    form->addRow(tr("Search in &Categories"), m_category);
    m_locationIn = new QComboBox(searchGroup);
    form->addRow(tr("Items located i&n"), m_locationIn);
    m_locationTo = new QComboBox(searchGroup);
    form->addRow(tr("Items available t&o"), m_locationTo);
    m_sort = new QComboBox(searchGroup);
    m_sort->addItems({tr("Time: ending soonest"), tr("Time: newly listed"),
                      tr("Price: lowest first"), tr("Price: highest first")});
    form->addRow(tr("Sort &by"), m_sort);
    m_inform =
        new QCheckBox(tr("Infor&m about search results while starting the program"), searchGroup);
    form->addRow(m_inform);
    column->addWidget(searchGroup);

    auto* savedGroup = new QGroupBox(tr("Saved searches"), this);
    auto* savedGrid = new QFormLayout(savedGroup);
    savedGrid->setFieldGrowthPolicy(QFormLayout::ExpandingFieldsGrow);
    m_name = new QLineEdit(savedGroup);
    auto* save = new QPushButton(tr("Sa&ve search"), savedGroup);
    save->setAutoDefault(false);
    auto* saveRow = new QHBoxLayout;
    saveRow->addWidget(m_name, 1);
    saveRow->addWidget(save);
    savedGrid->addRow(labelFor(tr("Save current data search &as"), m_name), saveRow);
    m_saved = new QComboBox(savedGroup);
    auto* remove = new QPushButton(tr("&Delete"), savedGroup);
    remove->setAutoDefault(false);
    auto* loadRow = new QHBoxLayout;
    loadRow->addWidget(m_saved, 1);
    loadRow->addWidget(remove);
    savedGrid->addRow(labelFor(tr("&Load search"), m_saved), loadRow);
    column->addWidget(savedGroup);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    m_search = new QPushButton(tr("&Search"), this);
    // Enter in the form searches: the dialog presses its visible default button.
    m_search->setDefault(true);
    auto* reset = new QPushButton(tr("&Reset"), this);
    reset->setAutoDefault(false);
    buttons->addWidget(m_search);
    buttons->addWidget(reset);
    column->addLayout(buttons);
    column->addStretch(1);

    connect(m_search, &QPushButton::clicked, this, &CSearchPage1::searchRequested);
    connect(reset, &QPushButton::clicked, this, &CSearchPage1::reset);
    connect(save, &QPushButton::clicked, this, &CSearchPage1::saveSearch);
    connect(remove, &QPushButton::clicked, this, &CSearchPage1::deleteSearch);
    connect(m_saved, &QComboBox::activated, this, &CSearchPage1::loadSearch);
}

void CSearchPage1::reset()
{
    m_keywords->clear();
    m_name->clear();
    m_exclude->clear();
    m_seller->clear();
    m_rangeMin->setValue(0);
    m_rangeMax->setValue(0);
    m_itemCount->setValue(SearchCriteria::kDefaultItemCount);
    m_titleAndDescription->setChecked(false);
    m_buyItNow->setChecked(false);
    m_inform->setChecked(false);
    m_wordOption->setCurrentIndex(0);
    m_sort->setCurrentIndex(0);
    m_pendingCategory.clear();
    m_pendingLocationIn = QLatin1String(SiteChoices::kLocationInDefault);
    m_pendingLocationTo = QLatin1String(SiteChoices::kLocationToDefault);
    selectValue(m_category, m_choices.categories, QString(), &m_pendingCategory);
    selectValue(m_locationIn, m_choices.locationIn, m_pendingLocationIn, &m_pendingLocationIn);
    selectValue(m_locationTo, m_choices.locationTo, m_pendingLocationTo, &m_pendingLocationTo);
    fillSavedSearches();
}

void CSearchPage1::setSiteChoices(const SiteChoices& choices)
{
    m_choices = choices;
    fillList(m_category, choices.categories);
    fillList(m_locationIn, choices.locationIn);
    fillList(m_locationTo, choices.locationTo);
    // What a loaded saved search or the defaults asked for while the lists were loading.
    const QString category = m_pendingCategory;
    const QString locationIn = m_pendingLocationIn;
    const QString locationTo = m_pendingLocationTo;
    selectValue(m_category, m_choices.categories, category, &m_pendingCategory);
    selectValue(m_locationIn, m_choices.locationIn, locationIn, &m_pendingLocationIn);
    selectValue(m_locationTo, m_choices.locationTo, locationTo, &m_pendingLocationTo);
}

void CSearchPage1::selectValue(QComboBox* box, const SiteChoiceList& list, const QString& value,
                               QString* pending)
{
    if (list.values.isEmpty()) {
        *pending = value;
        return;
    }
    box->setCurrentIndex(list.indexOfValue(value));
    pending->clear();
}

QString CSearchPage1::listValue(const QComboBox* box, const SiteChoiceList& list,
                                const QString& pending) const
{
    const int index = box->currentIndex();
    if (list.values.isEmpty() || index < 0 || index >= list.values.size())
        return pending;
    return list.values.at(index);
}

void CSearchPage1::setSearchEnabled(bool enabled)
{
    m_search->setEnabled(enabled);
}

SearchCriteria CSearchPage1::criteria() const
{
    SearchCriteria c;
    c.keywords = m_keywords->text();
    c.exclude = m_exclude->text();
    c.seller = m_seller->text();
    c.rangeMin = m_rangeMin->value();
    c.rangeMax = m_rangeMax->value();
    c.findItems = m_itemCount->value();
    c.titleAndDescription = m_titleAndDescription->isChecked();
    c.buyItNowOnly = m_buyItNow->isChecked();
    c.category = listValue(m_category, m_choices.categories, m_pendingCategory);
    c.locationIn = listValue(m_locationIn, m_choices.locationIn, m_pendingLocationIn);
    c.locationTo = listValue(m_locationTo, m_choices.locationTo, m_pendingLocationTo);
    c.sort = m_sort->currentIndex();
    c.wordOption = m_wordOption->currentIndex();
    c.informAtStart = m_inform->isChecked();
    return c;
}

void CSearchPage1::setCriteria(const SearchCriteria& c)
{
    m_keywords->setText(c.keywords);
    m_exclude->setText(c.exclude);
    m_seller->setText(c.seller);
    m_rangeMin->setValue(c.rangeMin);
    m_rangeMax->setValue(c.rangeMax);
    m_itemCount->setValue(c.findItems);
    m_titleAndDescription->setChecked(c.titleAndDescription);
    m_buyItNow->setChecked(c.buyItNowOnly);
    selectValue(m_category, m_choices.categories, c.category, &m_pendingCategory);
    selectValue(m_locationIn, m_choices.locationIn, c.locationIn, &m_pendingLocationIn);
    selectValue(m_locationTo, m_choices.locationTo, c.locationTo, &m_pendingLocationTo);
    m_sort->setCurrentIndex(c.sort);
    m_wordOption->setCurrentIndex(c.wordOption);
    m_inform->setChecked(c.informAtStart);
}

SearchAddress::ListChoices CSearchPage1::listChoices() const
{
    const auto offers = [](const QComboBox* box, const SiteChoiceList& list) {
        return list.values.size() > 1 && box->currentIndex() >= 0;
    };
    SearchAddress::ListChoices choices;
    choices.category = offers(m_category, m_choices.categories);
    choices.locationIn = offers(m_locationIn, m_choices.locationIn);
    choices.locationTo = offers(m_locationTo, m_choices.locationTo);
    return choices;
}

void CSearchPage1::fillSavedSearches(const QString& select)
{
    const SavedSearches saved(m_user);
    m_saved->clear();
    m_saved->addItems(saved.names());
    m_saved->setCurrentIndex(select.isEmpty() ? -1 : saved.indexOf(select));
}

void CSearchPage1::saveSearch()
{
    const QString name = m_name->text();
    const QString problem = SavedSearches::nameProblem(name);
    if (!problem.isEmpty()) {
        UserPrompt::inform(this, problem, IMainWindow::Icon::Warning);
        m_name->setFocus();
        return;
    }
    if (m_saved->findText(name, Qt::MatchExactly | Qt::MatchCaseSensitive) >= 0 &&
        !UserPrompt::askYesNo(this, StringTable::text(363))) {
        m_name->setFocus();
        return;
    }
    SavedSearches(m_user).save(name, criteria());
    fillSavedSearches(name);
}

void CSearchPage1::loadSearch(int index)
{
    const QString name = m_saved->itemText(index);
    const std::optional<SearchCriteria> saved = SavedSearches(m_user).load(name);
    if (!saved) {
        // Gone from the settings since the list was filled.
        fillSavedSearches();
        return;
    }
    setCriteria(*saved);
    m_name->setText(name);
}

void CSearchPage1::deleteSearch()
{
    if (m_saved->currentIndex() < 0) {
        UserPrompt::inform(this, StringTable::text(361), IMainWindow::Icon::Warning);
        return;
    }
    SavedSearches saved(m_user);
    saved.remove(saved.indexOf(m_saved->currentText()));
    reset();
}
