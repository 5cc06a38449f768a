#include "model/bideditform.h"

#include "app/appcontext.h"
#include "app/stringtable.h"
#include "model/biditem.h"
#include "sites/siteprice.h"

namespace {

bool allDigits(const QString& text)
{
    for (const QChar c : text) {
        if (c.unicode() < u'0' || c.unicode() > u'9')
            return false;
    }
    return !text.isEmpty();
}

} // namespace

BidEditForm BidEditForm::fromItem(const CBidItem& item)
{
    BidEditForm form;
    form.id = item.id();
    form.title = item.title();
    form.titleTyped = item.hasMarkedTitle();
    form.category = item.category();
    form.currency = item.currency();
    form.quantity = item.quantity();
    form.currentPrice = item.currentPrice();
    form.maxPriceText = QString::asprintf("%.2f", double(item.maxPrice()));
    form.endTime = item.endTime();
    form.seller = item.seller();
    form.shutdownWhenFinished = item.shutdownWhenFinished();
    const quint32 status = item.status();
    form.activate =
        status != StatusNotActive && status != StatusStopped && status != StatusRetracted;
    return form;
}

bool BidEditForm::isReadOnlyFor(const CBidItem& item)
{
    return CBidItem::isFinishedStatus(item.status());
}

float BidEditForm::maxPrice() const
{
    return ParseUserPrice(maxPriceText);
}

std::vector<EditCheck> BidEditForm::checks(const CBidItem& item, qint64 siteNow) const
{
    std::vector<EditCheck> steps;
    // Item numbers are compared as numbers, so anything but digits would make false
    // duplicates of unrelated items.
    const QString trimmedId = id.trimmed();
    if (trimmedId.size() != kIdLength || !allDigits(trimmedId)) {
        steps.push_back({EditCheck::Error, StringTable::text(153), EditCheck::IdField});
        return steps;
    }
    if (item.isMultiItem() || item.isBuyItNow()) {
        if (quantity <= 0) {
            steps.push_back({EditCheck::Error,
                             QStringLiteral("Number of items must be defined for Power auction."),
                             EditCheck::QuantityField});
            return steps;
        }
        if (quantity > item.availableQuantity()) {
            steps.push_back(
                {EditCheck::Error,
                 QString::asprintf(StringTable::text(425).toUtf8().constData(),
                                   trimmedId.toUtf8().constData(), int(item.availableQuantity())),
                 EditCheck::QuantityField});
            return steps;
        }
    }
    if (endTime < siteNow) {
        steps.push_back({EditCheck::Confirm, StringTable::text(260), EditCheck::NoField});
    } else if (item.isBuyItNow()) {
        steps.push_back({EditCheck::Confirm,
                         QStringLiteral("This item is \"Buy it now\" auction\nand will be "
                                        "immediately bought at the seller's price!"),
                         EditCheck::NoField});
    }
    const float price = item.isBuyItNow() ? currentPrice : maxPrice();
    if (!item.isBuyItNow() && !IsValidMaxPrice(price)) {
        steps.push_back({EditCheck::Error, StringTable::text(154), EditCheck::MaxPriceField});
        return steps;
    }
    // A Buy It Now price is the seller's price: it cannot be below the minimum bid.
    if (activate && !item.isBuyItNow() && !(price > currentPrice) &&
        price != item.highestSeenPrice())
        steps.push_back({EditCheck::Confirm, StringTable::text(134), EditCheck::MaxPriceField});
    const AppContext* app = AppContext::current();
    if (app && app->settings().warn != 0 && price > float(app->settings().warnPrice)) {
        steps.push_back({EditCheck::Confirm,
                         QString::asprintf(StringTable::text(428).toUtf8().constData(),
                                           double(price), unsigned(app->settings().warnPrice)),
                         EditCheck::MaxPriceField});
    }
    return steps;
}

void BidEditForm::applyTo(CBidItem& item) const
{
    item.setId(id.trimmed().left(kIdLength));
    item.setTitle(title);
    if (titleTyped)
        item.setMarkedTitle(true);
    item.setCategory(category);
    item.setCurrency(currency);
    item.setQuantity(quantity <= 0 ? -1 : quantity);
    item.setCurrentPrice(currentPrice);
    item.setMaxPrice(item.isBuyItNow() ? currentPrice : maxPrice());
    item.setEndTime(endTime);
    item.setSeller(seller);
    item.setShutdownWhenFinished(shutdownWhenFinished);
    const quint32 status = item.status();
    if (activate &&
        (status == StatusNotActive || status == StatusStopped || status == StatusRetracted))
        item.setStatus(StatusActive);
    else if (!activate &&
             (status == StatusActive || status == StatusActiveOutbid || status == StatusStopped))
        item.setStatus(StatusNotActive);
    // Changed by hand: the next refresh reads the page again.
    item.setRefreshed(false);
    AppContext::logWrite(
        QString::asprintf("Bid #%s added/changed...MP=%.2f, CP=%.2f, CNT=%d, STATUS=%d.",
                          item.id().toUtf8().constData(), double(item.maxPrice()),
                          double(item.currentPrice()), int(item.quantity()), int(item.status())),
        ProgramLog::Warning);
}
