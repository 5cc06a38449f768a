#include "ui/searchpage2.h"

#include "app/appcontext.h"
#include "app/stringtable.h"
#include "model/bidsdoc.h"
#include "search/founditems.h"
#include "search/searchprice.h"
#include "sites/siteprice.h"
#include "ui/userprompt.h"
#include "web/dutchhighbidder.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

constexpr int kRowRole = Qt::UserRole;      // index into the page's results
constexpr int kSortRole = Qt::UserRole + 1; // what the column sorts by, when not its text
constexpr int kMaxPriceLength = 10;
// What a failed start of the browser reports: the desktop gives no code of its own.
constexpr unsigned kBrowserFailure = 0x80004005;

// Sorts numbers as numbers: item numbers, prices, bid counts.
class SortItem : public QTableWidgetItem
{
public:
    using QTableWidgetItem::QTableWidgetItem;
    bool operator<(const QTableWidgetItem& other) const override
    {
        const QVariant mine = data(kSortRole);
        const QVariant theirs = other.data(kSortRole);
        if (mine.isValid() && theirs.isValid())
            return mine.toDouble() < theirs.toDouble();
        return QTableWidgetItem::operator<(other);
    }
};

QTableWidgetItem* cell(const QString& text, Qt::Alignment alignment,
                       const QVariant& sortKey = QVariant())
{
    auto* item = new SortItem(text);
    item->setTextAlignment(alignment | Qt::AlignVCenter);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    if (sortKey.isValid())
        item->setData(kSortRole, sortKey);
    return item;
}

} // namespace

CSearchPage2::CSearchPage2(AppContext& app, CBidsDoc& doc, QWidget* parent)
    : QWidget(parent), m_app(app), m_doc(doc),
      m_itemViewer([](const QUrl& url) { return QDesktopServices::openUrl(url); })
{
    buildLayout();
    fillFolders();
}

void CSearchPage2::buildLayout()
{
    auto* column = new QVBoxLayout(this);
    m_table = new QTableWidget(0, ColumnCount, this);
    const struct
    {
        int text;
        int width;
    } columns[] = {{250, 90}, {251, 210}, {252, 70}, {253, 40}, {254, 75}, {167, 70}};
    QStringList headers;
    for (const auto& c : columns)
        headers << StringTable::text(c.text);
    m_table->setHorizontalHeaderLabels(headers);
    for (int i = 0; i < ColumnCount; ++i)
        m_table->setColumnWidth(i, columns[i].width);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setShowGrid(true);
    m_table->verticalHeader()->hide();
    // One line a row, as a list of many results reads best.
    m_table->setWordWrap(false);
    m_table->verticalHeader()->setDefaultSectionSize(m_table->fontMetrics().height() + 8);
    m_table->horizontalHeader()->setStretchLastSection(false);
    // The site's own order until the user sorts by a column.
    m_table->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    m_table->setSortingEnabled(true);
    column->addWidget(m_table, 1);

    auto* priceRow = new QHBoxLayout;
    m_increment = new QRadioButton(tr("Max Price = Current Price + Min increment"), this);
    m_typed = new QRadioButton(tr("Max Price ="), this);
    m_price = new QLineEdit(QStringLiteral("0.0"), this);
    m_price->setMaxLength(kMaxPriceLength);
    m_price->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[0-9.,]{0,%1}").arg(kMaxPriceLength)), m_price));
    m_price->setMaximumWidth(m_price->fontMetrics().horizontalAdvance(QLatin1Char('0')) * 14);
    m_increment->setChecked(true);
    m_price->setEnabled(false);
    priceRow->addWidget(m_increment);
    priceRow->addSpacing(12);
    priceRow->addWidget(m_typed);
    priceRow->addWidget(m_price);
    priceRow->addStretch(1);
    column->addLayout(priceRow);

    auto* optionsRow = new QHBoxLayout;
    m_active = new QCheckBox(tr("Set found items as \"Active\""), this);
    optionsRow->addWidget(m_active);
    optionsRow->addStretch(1);
    auto* folderForm = new QFormLayout;
    m_folder = new QComboBox(this);
    m_folder->setMinimumContentsLength(16);
    folderForm->addRow(tr("Add to folder"), m_folder);
    optionsRow->addLayout(folderForm);
    column->addLayout(optionsRow);

    auto* buttons = new QHBoxLayout;
    m_add = new QPushButton(tr("Add checked items"), this);
    m_view = new QPushButton(tr("&View selected"), this);
    m_toggle = new QPushButton(tr("Check/Uncheck all items"), this);
    for (QPushButton* button : {m_add, m_view, m_toggle}) {
        button->setAutoDefault(false);
        buttons->addWidget(button);
    }
    buttons->addStretch(1);
    column->addLayout(buttons);

    connect(m_typed, &QRadioButton::toggled, m_price, &QWidget::setEnabled);
    connect(m_add, &QPushButton::clicked, this, &CSearchPage2::addCheckedItems);
    connect(m_view, &QPushButton::clicked, this, &CSearchPage2::viewSelected);
    connect(m_toggle, &QPushButton::clicked, this, &CSearchPage2::toggleAll);
}

void CSearchPage2::setSite(const QString& siteName, const SiteConventions& conventions,
                           const QString& viewItemUrl)
{
    m_siteName = siteName;
    m_conventions = conventions;
    m_viewItemUrl = viewItemUrl;
}

void CSearchPage2::fillFolders()
{
    const QStringList names = FoundItems::folderChoices(m_doc);
    m_folder->clear();
    m_folder->addItems(names);
    m_folder->setCurrentIndex(qMax(
        0, m_folder->findText(StringTable::text(430), Qt::MatchExactly | Qt::MatchCaseSensitive)));
}

void CSearchPage2::clearResults()
{
    m_table->setRowCount(0);
    m_results.clear();
}

void CSearchPage2::showResults(const QList<SearchResult>& results)
{
    m_table->setUpdatesEnabled(false);
    m_table->setSortingEnabled(false);
    m_table->setRowCount(0);
    m_results = results;
    m_table->setRowCount(static_cast<int>(results.size()));
    for (int row = 0; row < results.size(); ++row) {
        const SearchResult& r = results.at(row);
        QTableWidgetItem* id = cell(r.itemId, Qt::AlignHCenter, r.itemId.toDouble());
        id->setFlags(id->flags() | Qt::ItemIsUserCheckable);
        id->setCheckState(Qt::Unchecked);
        id->setData(kRowRole, row);
        m_table->setItem(row, ItemColumn, id);
        m_table->setItem(row, TitleColumn, cell(r.title, Qt::AlignLeft));
        const std::optional<float> price = SearchPrice::read(r.price, m_conventions);
        m_table->setItem(row, PriceColumn,
                         cell(r.price, Qt::AlignRight, price ? QVariant(*price) : QVariant(-1.0)));
        bool counted = false;
        const int bids = r.bids.toInt(&counted);
        m_table->setItem(row, BidsColumn,
                         cell(r.bidsText(), Qt::AlignHCenter, counted ? bids : -1));
        m_table->setItem(row, TimeLeftColumn, cell(r.timeLeft, Qt::AlignRight));
        m_table->setItem(row, ShippingColumn, cell(r.shipping, Qt::AlignRight));
    }
    m_table->setSortingEnabled(true);
    if (!results.isEmpty()) {
        for (int c : {ItemColumn, PriceColumn, TimeLeftColumn, ShippingColumn})
            m_table->resizeColumnToContents(c);
    }
    m_table->setUpdatesEnabled(true);
    fillFolders();
}

int CSearchPage2::rowCount() const
{
    return m_table->rowCount();
}

const SearchResult& CSearchPage2::resultAt(int row) const
{
    return m_results.at(m_table->item(row, ItemColumn)->data(kRowRole).toInt());
}

void CSearchPage2::setChecked(int row, bool checked)
{
    m_table->item(row, ItemColumn)->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
}

bool CSearchPage2::isChecked(int row) const
{
    return m_table->item(row, ItemColumn)->checkState() == Qt::Checked;
}

void CSearchPage2::toggleAll()
{
    for (int row = 0; row < rowCount(); ++row)
        setChecked(row, !isChecked(row));
}

void CSearchPage2::addCheckedItems()
{
    QList<SearchResult> checked;
    for (int row = 0; row < rowCount(); ++row) {
        if (isChecked(row))
            checked << resultAt(row);
    }
    if (checked.isEmpty())
        return;

    FoundItemsOptions options;
    options.setActive = m_active->isChecked();
    options.folderName = m_folder->currentText();
    if (m_typed->isChecked()) {
        options.maxPrice = FoundItemsOptions::MaxPrice::Typed;
        options.typedPrice = ParseUserPrice(m_price->text());
        if (!IsValidMaxPrice(options.typedPrice)) {
            UserPrompt::inform(this, StringTable::text(154), IMainWindow::Icon::Warning);
            m_price->setFocus();
            return;
        }
        const AppSettings& settings = m_app.settings();
        if (settings.warn != 0 && options.typedPrice > float(settings.warnPrice)) {
            const QString question =
                QString::asprintf(StringTable::text(428).toUtf8().constData(),
                                  double(options.typedPrice), unsigned(settings.warnPrice));
            if (!UserPrompt::confirm(this, question, IMainWindow::Icon::Warning)) {
                m_price->setFocus();
                return;
            }
        }
    }

    const FoundItemsOutcome outcome =
        FoundItems(m_doc, m_siteName, m_conventions).add(checked, options);
    if (outcome.duplicates > 0)
        UserPrompt::inform(this, StringTable::text(350), IMainWindow::Icon::Warning);
    if (outcome.added > 0 || outcome.folderCreated) {
        const QString chosen = m_folder->currentText();
        fillFolders();
        m_folder->setCurrentIndex(
            qMax(0, m_folder->findText(chosen, Qt::MatchExactly | Qt::MatchCaseSensitive)));
    }
    if (outcome.added > 0) {
        UserPrompt::inform(this, StringTable::text(284));
        Q_EMIT itemsAdded(outcome.added);
    }
}

void CSearchPage2::viewSelected()
{
    const QList<QTableWidgetSelectionRange> ranges = m_table->selectedRanges();
    int row = -1;
    for (const QTableWidgetSelectionRange& range : ranges)
        row = row < 0 ? range.topRow() : qMin(row, range.topRow());
    if (row < 0)
        return;
    const QUrl url(FormatUrlPattern(m_viewItemUrl, resultAt(row).itemId));
    if (m_itemViewer && m_itemViewer(url))
        return;
    const QString text =
        QString::asprintf(StringTable::text(516).toUtf8().constData(), kBrowserFailure);
    UserPrompt::inform(this, text, IMainWindow::Icon::Error);
    AppContext::logWrite(text + QStringLiteral(" SearchPage2::OnButtonView"), ProgramLog::Error);
}
