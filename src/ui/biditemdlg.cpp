#include "ui/biditemdlg.h"

#include "app/appcontext.h"
#include "app/itemslock.h"
#include "app/stringtable.h"
#include "app/workerthread.h"
#include "model/modelclock.h"
#include "sites/siteaccess.h"
#include "sites/siteprice.h"
#include "ui/userprompt.h"
#include "web/itempagereader.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QThread>
#include <QVBoxLayout>
#include <memory>

namespace {

constexpr int kMaxQuantity = 999999;

// The end time as the bids list shows it.
const QString kEndTimeFormat = QStringLiteral("MMM dd, yyyy, HH:mm:ss");

} // namespace

// Reads an item page on the dialog's fetch thread into an item of its own, so that the
// dialog's fields are touched on the window's thread only.
class ItemFetcher : public QObject
{
    Q_OBJECT
public:
    void fetch(const ItemPageReader& reader, const std::shared_ptr<CBidItem>& item,
               const QString& id, ItemsLock* lock);

Q_SIGNALS:
    void fetched(const std::shared_ptr<CBidItem>& item, const ItemPageResult& result);
};

void ItemFetcher::fetch(const ItemPageReader& reader, const std::shared_ptr<CBidItem>& item,
                        const QString& id, ItemsLock* lock)
{
    Q_ASSERT(QThread::currentThread() == thread());
    QString url;
    const QString text = reader.download(id, &url);
    // The dialog was closed during the download: nobody waits for the page, so the items
    // lock (and the list it guards) is not touched.
    if (QThread::currentThread()->isInterruptionRequested())
        return;
    Q_EMIT fetched(item, reader.parse(*item, url, text, lock, ItemsLock::kDefaultWaitMs));
}

CBidItemDlg::CBidItemDlg(Mode mode, const CBidItem& item, ItemsLock* lock, QWidget* parent)
    : QDialog(parent), m_mode(mode), m_pageItem(item), m_lock(lock)
{
    setWindowTitle(tr("Edit bid properties"));
    buildLayout();
    fillFrom(item);
    m_titleTyped = item.hasMarkedTitle();
    const BidEditForm values = BidEditForm::fromItem(item);
    m_id->setText(values.id);
    m_quantity->setValue(qMax(0, values.quantity));
    // A new bid has no limit yet: the field waits empty for the user's amount.
    m_maxPrice->setText(mode == Mode::Add && item.maxPrice() == 0.0f ? QString()
                                                                     : priceText(item.maxPrice()));
    m_activate->setChecked(values.activate);
    m_shutdown->setChecked(values.shutdownWhenFinished);
    if (mode != Mode::Add)
        m_status->setText(tr("Status: %1").arg(CBidItem::statusText(item.status())));
    if (mode == Mode::ReadOnly)
        makeReadOnly();
    (mode == Mode::Add && values.id.isEmpty() ? m_id : m_maxPrice)->setFocus();
}

CBidItemDlg::~CBidItemDlg()
{
    // Closed while a page was read: the download cannot be cut short, so the thread ends on
    // its own and its result goes nowhere; the cursor comes back now.
    if (m_fetching) {
        QApplication::restoreOverrideCursor();
        m_fetchThread->detach();
    }
}

void CBidItemDlg::buildLayout()
{
    auto* column = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    form->setFieldGrowthPolicy(QFormLayout::ExpandingFieldsGrow);
    form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);

    m_id = new QLineEdit(this);
    m_id->setMaxLength(BidEditForm::kIdLength);
    m_id->setPlaceholderText(tr("10 digits"));
    m_id->setMinimumWidth(m_id->fontMetrics().horizontalAdvance(QStringLiteral("0000000000000")));
    m_fetch = new QPushButton(tr("&Fetch"), this);
    m_fetch->setToolTip(tr("Read title, price, end time and seller from the item's page"));
    m_fetch->setAutoDefault(false);
    auto* idRow = new QHBoxLayout;
    idRow->addWidget(m_id);
    idRow->addWidget(m_fetch);
    idRow->addStretch(1);
    auto* idLabel = new QLabel(tr("Item &number:"), this);
    idLabel->setBuddy(m_id);
    form->addRow(idLabel, idRow);

    m_title = new QLineEdit(this);
    m_title->setMinimumWidth(m_title->fontMetrics().averageCharWidth() * 48);
    // A title the user typed survives the page reads.
    connect(m_title, &QLineEdit::textEdited, this, [this] { m_titleTyped = true; });
    form->addRow(tr("&Title:"), m_title);
    m_category = new QLineEdit(this);
    form->addRow(tr("&Category:"), m_category);
    m_seller = new QLineEdit(this);
    form->addRow(tr("&Seller:"), m_seller);

    m_endTime = new QDateTimeEdit(this);
    m_endTime->setDisplayFormat(kEndTimeFormat);
    m_endTime->setCalendarPopup(true);
    form->addRow(tr("&End time:"), m_endTime);

    m_currency = new QLineEdit(this);
    m_currency->setMaximumWidth(m_currency->fontMetrics().averageCharWidth() * 10);
    m_currentPrice = new QLineEdit(this);
    m_currentPrice->setAlignment(Qt::AlignRight);
    auto* priceRow = new QHBoxLayout;
    priceRow->addWidget(m_currency);
    priceRow->addWidget(m_currentPrice, 1);
    auto* currencyLabel = new QLabel(tr("C&urrency and current price:"), this);
    currencyLabel->setBuddy(m_currency);
    form->addRow(currencyLabel, priceRow);

    m_maxPrice = new QLineEdit(this);
    m_maxPrice->setAlignment(Qt::AlignRight);
    form->addRow(tr("&Maximum price:"), m_maxPrice);
    m_quantity = new QSpinBox(this);
    m_quantity->setRange(0, kMaxQuantity);
    // 0 is "not set": single-item auctions need no count.
    m_quantity->setSpecialValueText(tr("-"));
    m_quantity->setToolTip(tr("Number of items wanted in a multi-item auction"));
    form->addRow(tr("&Quantity:"), m_quantity);

    m_folder = new QComboBox(this);
    // Alt+F is Fetch's.
    m_folderLabel = new QLabel(tr("F&older:"), this);
    m_folderLabel->setBuddy(m_folder);
    form->addRow(m_folderLabel, m_folder);
    if (m_mode != Mode::Add) {
        m_folderLabel->hide();
        m_folder->hide();
    }

    m_activate = new QCheckBox(tr("&Activate auction"), this);
    m_shutdown = new QCheckBox(tr("Shutdown &PC when finished"), this);
    auto* checks = new QVBoxLayout;
    checks->addWidget(m_activate);
    checks->addWidget(m_shutdown);
    form->addRow(QString(), checks);
    column->addLayout(form);

    m_status = new QLabel(this);
    m_status->setWordWrap(true);
    m_status->setFrameShape(QFrame::StyledPanel);
    m_status->setFrameShadow(QFrame::Sunken);
    m_status->setMargin(4);
    m_status->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_status->setMinimumHeight(m_status->fontMetrics().lineSpacing() * 2 + 12);
    column->addWidget(m_status);

    m_buttons = new QDialogButtonBox(this);
    if (m_mode == Mode::ReadOnly) {
        m_buttons->addButton(QDialogButtonBox::Close);
        connect(m_buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    } else {
        m_buttons->setStandardButtons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
        connect(m_buttons, &QDialogButtonBox::accepted, this, &CBidItemDlg::accept);
        connect(m_buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    }
    column->addWidget(m_buttons);
    connect(m_fetch, &QPushButton::clicked, this, &CBidItemDlg::fetch);
    // Enter after typing a number reads its page rather than closing a half-filled dialog.
    m_id->installEventFilter(this);
    connect(m_maxPrice, &QLineEdit::textEdited, this, &CBidItemDlg::noteSellerPrice);
}

bool CBidItemDlg::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_id && event->type() == QEvent::KeyPress && m_mode != Mode::ReadOnly) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            fetch();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void CBidItemDlg::noteSellerPrice()
{
    // OK takes the seller's price of a Buy It Now item, whatever was typed.
    if (m_pageItem.isBuyItNow())
        m_status->setText(m_fetchedStatus + QLatin1Char('\n') +
                          sellerPriceText(m_maxPrice->text(), priceText(m_pageItem.maxPrice())));
}

QString CBidItemDlg::sellerPriceText(const QString& typed, const QString& price)
{
    return tr("A Buy It Now item is bought at the seller's price: the maximum price %1 you "
              "typed becomes %2.")
        .arg(typed, price);
}

QPushButton* CBidItemDlg::okButton() const
{
    return m_buttons->button(QDialogButtonBox::Ok);
}

QString CBidItemDlg::priceText(float price) const
{
    return FormatPlainPrice(price, BuildSiteConventions());
}

void CBidItemDlg::fillFrom(const CBidItem& item)
{
    m_title->setText(item.title());
    m_category->setText(item.category());
    m_currency->setText(item.currency());
    m_currentPrice->setText(priceText(item.currentPrice()));
    m_endTime->setDateTime(QDateTime::fromSecsSinceEpoch(item.endTime()));
    m_seller->setText(item.seller());
    // Long titles read from their start.
    for (QLineEdit* edit : {m_title, m_category, m_seller})
        edit->setCursorPosition(0);
}

void CBidItemDlg::makeReadOnly()
{
    for (QLineEdit* edit :
         {m_id, m_title, m_category, m_currency, m_currentPrice, m_maxPrice, m_seller})
        edit->setReadOnly(true);
    m_quantity->setReadOnly(true);
    m_endTime->setReadOnly(true);
    m_endTime->setCalendarPopup(false);
    m_activate->setEnabled(false);
    m_shutdown->setEnabled(false);
    m_fetch->setEnabled(false);
}

void CBidItemDlg::setFolderChoices(const QStringList& choices)
{
    m_folder->clear();
    m_folder->addItems(choices);
    m_folder->setCurrentIndex(choices.isEmpty() ? -1 : int(choices.size()) - 1);
}

BidEditForm CBidItemDlg::form() const
{
    BidEditForm form;
    form.id = m_id->text();
    form.title = m_title->text();
    form.titleTyped = m_titleTyped;
    form.category = m_category->text();
    form.currency = m_currency->text();
    form.quantity = m_quantity->value();
    form.currentPrice = ParseUserPrice(m_currentPrice->text());
    form.maxPriceText = m_maxPrice->text();
    form.endTime = m_endTime->dateTime().toSecsSinceEpoch();
    form.seller = m_seller->text();
    form.shutdownWhenFinished = m_shutdown->isChecked();
    form.activate = m_activate->isChecked();
    if (m_mode == Mode::Add)
        form.folderChoice = m_folder->currentText();
    return form;
}

QWidget* CBidItemDlg::fieldWidget(EditCheck::Field field) const
{
    switch (field) {
    case EditCheck::IdField:
        return m_id;
    case EditCheck::QuantityField:
        return m_quantity;
    case EditCheck::MaxPriceField:
        return m_maxPrice;
    default:
        return nullptr;
    }
}

void CBidItemDlg::accept()
{
    if (m_mode == Mode::ReadOnly) {
        QDialog::accept();
        return;
    }
    if (m_fetching)
        return;
    for (const EditCheck& check : form().checks(m_pageItem, ModelClock::siteNow())) {
        bool keepOpen = true;
        if (check.kind == EditCheck::Error)
            UserPrompt::inform(this, check.text, IMainWindow::Icon::Warning);
        else
            // Each is a statement to accept (OK goes on) or to go back from (Cancel).
            keepOpen = !UserPrompt::confirm(this, check.text, IMainWindow::Icon::Warning);
        if (!keepOpen)
            continue;
        if (QWidget* field = fieldWidget(check.field)) {
            field->setFocus();
            if (auto* edit = qobject_cast<QLineEdit*>(field))
                edit->selectAll();
            else if (auto* spin = qobject_cast<QSpinBox*>(field))
                spin->selectAll();
        }
        return;
    }
    QDialog::accept();
}

void CBidItemDlg::setFetching(bool on)
{
    if (on == m_fetching)
        return;
    m_fetching = on;
    m_fetch->setEnabled(!on);
    // OK would take the values while the page may still change them.
    if (QPushButton* ok = okButton())
        ok->setEnabled(!on);
    if (on)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

void CBidItemDlg::fetch()
{
    if (m_fetching || m_mode == Mode::ReadOnly)
        return;
    const QString id = m_id->text().trimmed();
    if (id.size() < BidEditForm::kIdLength) {
        UserPrompt::inform(this, StringTable::text(153), IMainWindow::Icon::Error);
        m_id->setFocus();
        return;
    }
    // A new item, so nothing of an earlier read lingers. It starts with the dialog's end
    // time: a Buy It Now page without one keeps it. A typed title stays.
    auto item = std::make_shared<CBidItem>();
    item->setId(id);
    item->setEndTime(m_endTime->dateTime().toSecsSinceEpoch());
    if (m_titleTyped) {
        item->setTitle(m_title->text());
        item->setMarkedTitle(true);
    }
    // The site's profile is taken here, on the window's thread.
    const ItemPageReader reader;
    ItemsLock* lock = m_lock;
    // The download runs on a thread of its own so the window keeps painting.
    if (!m_fetchThread) {
        auto fetcher = std::make_unique<ItemFetcher>();
        connect(
            fetcher.get(), &ItemFetcher::fetched, this,
            [this](const std::shared_ptr<CBidItem>& fetched, const ItemPageResult& result) {
                setFetching(false);
                showFetched(*fetched, result);
            },
            Qt::QueuedConnection);
        m_fetchThread = std::make_unique<WorkerThread>(QStringLiteral("item fetch"));
        m_fetcher = m_fetchThread->start(std::move(fetcher));
    }
    setFetching(true);
    ItemFetcher* fetcher = m_fetcher;
    m_fetchThread->post(
        [fetcher, reader, item, id, lock] { fetcher->fetch(reader, item, id, lock); });
}

QString CBidItemDlg::fetchedStatusText(const CBidItem& item, float minBid, qint64 siteNow)
{
    QString text;
    if (item.endTime() < siteNow)
        text = StringTable::text(260);
    else if (item.isBuyItNow())
        text = StringTable::text(261);
    else
        text = QString::asprintf(StringTable::text(305).toUtf8().constData(),
                                 item.currency().toUtf8().constData(), double(minBid));
    if (item.isPrivate())
        text += QLatin1Char(' ') + StringTable::text(259);
    return text;
}

void CBidItemDlg::showFetched(const CBidItem& item, const ItemPageResult& result)
{
    if (!result.success) {
        const QString message = result.message();
        AppContext::logWrite(message, ProgramLog::Error);
        UserPrompt::inform(this, message, IMainWindow::Icon::Error);
        Q_EMIT fetchFinished(false);
        return;
    }
    m_pageItem = item;
    fillFrom(item);
    m_fetchedStatus = fetchedStatusText(item, result.minBid, ModelClock::siteNow());
    QString status = m_fetchedStatus;
    // The seller's price is the price to pay; a different amount the user typed is
    // replaced, and the user is told so.
    if (item.isBuyItNow()) {
        const QString typed = m_maxPrice->text().trimmed();
        const QString price = priceText(item.maxPrice());
        m_maxPrice->setText(price);
        if (!typed.isEmpty() && ParseUserPrice(typed) != item.maxPrice())
            status += QLatin1Char('\n') + sellerPriceText(typed, price);
    }
    m_status->setText(status);
    // The number is known now: the limit is what is left to enter.
    m_maxPrice->setFocus(Qt::OtherFocusReason);
    m_maxPrice->selectAll();
    Q_EMIT fetchFinished(true);
}

#include "biditemdlg.moc"

std::unique_ptr<CBidItem> CBidItemDlg::newBid(const BidEditForm& form) const
{
    auto item = std::make_unique<CBidItem>(m_pageItem);
    item->setFolder(nullptr);
    item->setBidThread(nullptr);
    form.applyTo(*item);
    return item;
}
