#include "search/founditems.h"

#include "app/appcontext.h"
#include "app/itemslock.h"
#include "app/stringtable.h"
#include "model/bidsdoc.h"
#include "search/searchprice.h"
#include "sites/bidincrement.h"

#include <memory>

FoundItems::FoundItems(CBidsDoc& doc, QString siteName, SiteConventions conventions)
    : m_doc(doc), m_siteName(std::move(siteName)), m_conventions(std::move(conventions))
{
}

QStringList FoundItems::folderChoices(const CBidsDoc& doc)
{
    ItemsLockGuard guard(doc.itemsLock());
    QStringList names;
    const QString found = StringTable::text(430);
    if (!doc.folderByName(found))
        names << found;
    for (const auto& folder : doc.folders())
        names << folder->name();
    return names;
}

std::optional<float> FoundItems::maxPriceFor(const SearchResult& row,
                                             const FoundItemsOptions& options) const
{
    if (options.maxPrice == FoundItemsOptions::MaxPrice::Typed && !row.noBids)
        return options.typedPrice;
    const std::optional<float> price = SearchPrice::read(row.price, m_conventions);
    if (!price)
        return std::nullopt;
    if (options.maxPrice == FoundItemsOptions::MaxPrice::Typed || row.noBids)
        return *price;
    return *price + BidIncrement(*price, m_siteName);
}

CBidFolder* FoundItems::targetFolder(const QString& name, bool* created)
{
    *created = false;
    CBidFolder* folder = m_doc.folderByName(name);
    const QString found = StringTable::text(430);
    if (!folder)
        folder = m_doc.folderByName(found);
    if (folder)
        return folder;
    // A "Found items" folder the user renamed keeps its id: a second folder with that id
    // would make the tree ambiguous.
    const qint32 id = m_doc.folderById(CBidFolder::FoundItemsId) ? m_doc.nextFolderId()
                                                                 : qint32(CBidFolder::FoundItemsId);
    folder = m_doc.appendFolder(
        std::make_unique<CBidFolder>(id, qint32(CBidFolder::OpenAuctionsId), found));
    m_doc.linkParents();
    m_doc.setModified(true);
    *created = true;
    AppContext::logWrite(
        QString::asprintf(StringTable::text(487).toUtf8().constData(), found.toUtf8().constData()));
    return folder;
}

FoundItemsOutcome FoundItems::add(const QList<SearchResult>& checked,
                                  const FoundItemsOptions& options)
{
    FoundItemsOutcome outcome;
    if (checked.isEmpty())
        return outcome;
    {
        ItemsLockGuard guard(m_doc.itemsLock());
        if (!guard.isHeld()) {
            outcome.lockTimedOut = true;
            return outcome;
        }
        outcome.folder = targetFolder(options.folderName, &outcome.folderCreated);
    }

    for (const SearchResult& row : checked) {
        ItemsLockGuard guard(m_doc.itemsLock());
        if (!guard.isHeld()) {
            outcome.lockTimedOut = true;
            break;
        }
        if (m_doc.openItemById(row.itemId)) {
            ++outcome.duplicates;
            AppContext::logMessage(StringTable::text(168) +
                                       QStringLiteral(" (#%1)").arg(row.itemId),
                                   ProgramLog::Warning);
            continue;
        }
        const std::optional<float> maxPrice = maxPriceFor(row, options);
        if (!maxPrice) {
            ++outcome.unreadable;
            AppContext::logMessage(QStringLiteral("Search Service: the price \"%1\" of #%2 could "
                                                  "not be read; the item was not added.")
                                       .arg(row.price.left(40), row.itemId),
                                   ProgramLog::Warning);
            continue;
        }
        auto item = std::make_unique<CBidItem>();
        item->setId(row.itemId);
        // The page read by the next refresh replaces what the result row said.
        item->setTitle(row.title);
        if (const std::optional<float> price = SearchPrice::read(row.price, m_conventions))
            item->setCurrentPrice(*price);
        item->setBids(row.noBids ? QString() : row.bids);
        item->setStatus(options.setActive && !row.noBids ? StatusActive : StatusNotActive);
        item->setQuantity(1);
        item->setShippingCosts(row.shipping);
        item->setMaxPrice(*maxPrice);
        m_doc.appendItem(std::move(item), outcome.folder);
        ++outcome.added;
    }

    if (outcome.added > 0 || outcome.folderCreated) {
        ItemsLockGuard guard(m_doc.itemsLock());
        if (guard.isHeld()) {
            if (outcome.added > 0 && m_doc.containsFolder(outcome.folder))
                m_doc.setSelectedFolderId(outcome.folder->id());
            m_doc.changed();
        }
    }
    if (outcome.duplicates > 0)
        AppContext::logWrite(StringTable::text(350), ProgramLog::Warning);
    if (outcome.lockTimedOut)
        AppContext::logMessage(QStringLiteral("Search Service: the bids list stayed locked; "
                                              "not every checked item was added."),
                               ProgramLog::Error);
    return outcome;
}
