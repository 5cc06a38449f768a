#include "model/bidlistfile.h"

#include "app/appcontext.h"
#include "model/archivereader.h"
#include "model/archivewriter.h"
#include "model/bidsdoc.h"
#include "model/modelclock.h"
#include "sites/siteaccess.h"

#include <QHash>

namespace {

// The smallest possible entries: numbers and empty strings only.
constexpr qsizetype kMinFolderEntry = 4 + 4 + 1 + 4;
constexpr qsizetype kMinItemEntry = 4 + 1 + 4 + 1 + 4 + 4 + 4 + 4 + 1 + 1;
constexpr qsizetype kFolderIdSize = 4;

enum class Version
{
    Old,
    Ver1, // "$$$": end time
    Ver2, // "$$$#": currency, category
    Ver3, // "$$$##": seller ratings
    Ver4, // "_VER3": shutdown when finished
    Ver5, // "_VER4": bids, shipping costs
};

// Tested in this order; the tag found is stripped from the seller.
struct Tag
{
    QLatin1StringView text;
    Version version;
};
constexpr Tag kTags[] = {
    {QLatin1StringView("_VER4"), Version::Ver5}, {QLatin1StringView("_VER3"), Version::Ver4},
    {QLatin1StringView("$$$##"), Version::Ver3}, {QLatin1StringView("$$$#"), Version::Ver2},
    {QLatin1StringView("$$$"), Version::Ver1},
};

Version takeVersionTag(QString& seller)
{
    for (const Tag& tag : kTags) {
        if (seller.endsWith(tag.text)) {
            seller.chop(tag.text.size());
            return tag.version;
        }
    }
    return Version::Old;
}

quint32 storedStatus(quint32 status)
{
    // No bid thread survives a save: running bids come back ready to start again.
    if (status == StatusRunning)
        return StatusActive;
    if (status == StatusRunningOutbid)
        return StatusActiveOutbid;
    return status;
}

} // namespace

// What the items of one read share: whether an old entry came by, and the last value of
// each field that tends to repeat.
struct ItemReadState
{
    bool oldFormat = false;
    ArchiveReader::Recent seller;
    ArchiveReader::Recent highBidders;
    ArchiveReader::Recent currency;
    ArchiveReader::Recent category;
    ArchiveReader::Recent rating1;
    ArchiveReader::Recent rating2;
    ArchiveReader::Recent bids;
    ArchiveReader::Recent shipping;
};

BidListReadContext BidListReadContext::forList(const CBidsDoc& doc)
{
    BidListReadContext context;
    context.now = ModelClock::localNow();
    context.privateKeyword = LookupSiteKey(QStringLiteral("%s_KeyWord_Private"));
    context.refreshEveryMinutes = doc.settings().refreshEvery;
    return context;
}

bool BidListFile::readCount(ArchiveReader& in, qsizetype minimumEntrySize, quint32& count)
{
    if (!in.readUInt32(count))
        return false;
    // Each entry takes some bytes: a count the rest of the data cannot hold is no list,
    // and nothing is allocated for it.
    if (count > static_cast<quint64>(in.remaining() / minimumEntrySize)) {
        in.fail(QStringLiteral("it is not a bid list (an entry count of %1 at byte %2 does not "
                               "fit in the file)")
                    .arg(count)
                    .arg(in.position() - 4));
        return false;
    }
    return true;
}

bool BidListFile::read(QByteArrayView data, CBidsDoc& doc, const BidListReadContext& context,
                       QString* error)
{
    ItemsLockGuard guard(doc.itemsLock());
    doc.clear();
    if (data.isEmpty())
        return true;
    ArchiveReader in(data);
    if (readFolders(in, doc) && readItems(in, doc, context) && !in.atEnd()) {
        in.fail(QStringLiteral("it is not a bid list (%1 bytes follow the last item)")
                    .arg(in.remaining()));
    }
    if (in.hasError()) {
        doc.clear();
        if (error)
            *error = in.error();
        return false;
    }
    return true;
}

bool BidListFile::readFolders(ArchiveReader& in, CBidsDoc& doc)
{
    quint32 count = 0;
    if (!readCount(in, kMinFolderEntry, count))
        return false;
    for (quint32 i = 0; i < count; ++i) {
        qint32 parentId = 0;
        qint32 id = 0;
        QString name;
        quint32 onlyOneWins = 0;
        if (!in.readInt32(parentId) || !in.readInt32(id) || !in.readString(name) ||
            !in.readUInt32(onlyOneWins))
            return false;
        if (name.compare(QLatin1String("Found items"), Qt::CaseInsensitive) == 0)
            id = CBidFolder::FoundItemsId;
        doc.appendFolder(std::make_unique<CBidFolder>(id, parentId, name, onlyOneWins != 0));
    }
    doc.linkParents();
    return true;
}

bool BidListFile::readItems(ArchiveReader& in, CBidsDoc& doc, const BidListReadContext& context)
{
    quint32 count = 0;
    if (!readCount(in, kFolderIdSize + kMinItemEntry, count))
        return false;
    // The first folder with each id, as the items name them.
    QHash<qint32, CBidFolder*> folders;
    for (auto it = doc.folders().rbegin(); it != doc.folders().rend(); ++it)
        folders.insert((*it)->id(), it->get());
    ItemReadState state;
    for (quint32 i = 0; i < count; ++i) {
        qint32 folderId = 0;
        if (!in.readInt32(folderId))
            return false;
        auto item = std::make_unique<CBidItem>();
        if (!readItemEntry(in, *item, context, state))
            return false;
        finishItem(*item, context);
        doc.appendItem(std::move(item), folders.value(folderId));
    }
    if (state.oldFormat)
        AppContext::logWrite(QStringLiteral("-> Old file format loaded!"));
    return true;
}

bool BidListFile::readItemEntry(ArchiveReader& in, CBidItem& item,
                                const BidListReadContext& context, ItemReadState& state)
{
    quint32 multiItem = 0;
    QString id;
    quint32 status = 0;
    QString title;
    qint32 quantity = 0;
    float currentPrice = 0;
    float maxPrice = 0;
    quint32 unused = 0;
    QString seller;
    QString highBidders;
    if (!in.readUInt32(multiItem) || !in.readString(id) || !in.readUInt32(status) ||
        !in.readString(title) || !in.readInt32(quantity) || !in.readFloat(currentPrice) ||
        !in.readFloat(maxPrice) || !in.readUInt32(unused) || !in.readString(seller, state.seller) ||
        !in.readString(highBidders, state.highBidders))
        return false;
    if (status > CBidItem::kLastStatus) {
        in.fail(QStringLiteral("it is not a bid list (item #%1 has the status %2)")
                    .arg(id.left(20))
                    .arg(status));
        return false;
    }
    item.setMultiItem(multiItem != 0);
    item.setId(id);
    item.setStatus(storedStatus(status));
    item.setTitle(title);
    item.setQuantity(quantity);
    item.setCurrentPrice(currentPrice);
    item.setMaxPrice(maxPrice);
    const Version version = takeVersionTag(seller);
    item.setSeller(seller);
    item.setHighBidders(highBidders);

    if (version == Version::Old) {
        state.oldFormat = true;
        item.setEndTime(context.now);
        return true;
    }
    qint64 endTime = 0;
    if (!in.readInt64(endTime))
        return false;
    item.setEndTime(endTime);
    if (version >= Version::Ver2) {
        QString currency;
        QString category;
        if (!in.readString(currency, state.currency) || !in.readString(category, state.category))
            return false;
        item.setCurrency(currency);
        item.setCategory(category);
    }
    if (version >= Version::Ver3) {
        QString rating1;
        QString rating2;
        if (!in.readString(rating1, state.rating1) || !in.readString(rating2, state.rating2))
            return false;
        item.setSellerRating1(rating1);
        item.setSellerRating2(rating2);
    }
    if (version >= Version::Ver4) {
        quint32 shutdown = 0;
        if (!in.readUInt32(shutdown))
            return false;
        item.setShutdownWhenFinished(shutdown != 0);
    }
    if (version >= Version::Ver5) {
        QString bids;
        QString shipping;
        if (!in.readString(bids, state.bids) || !in.readString(shipping, state.shipping))
            return false;
        item.setBids(bids);
        item.setShippingCosts(shipping);
    }
    return true;
}

void BidListFile::finishItem(CBidItem& item, const BidListReadContext& context)
{
    const QLatin1StringView marker(kTitleMarker);
    if (item.title().endsWith(marker)) {
        item.setTitle(item.title().chopped(marker.size()));
        item.setMarkedTitle(true);
    }
    if (!context.privateKeyword.isEmpty() &&
        item.highBidders().compare(context.privateKeyword, Qt::CaseInsensitive) == 0)
        item.setPrivate(true);
    item.setLastRefreshTime(context.now - qint64(context.refreshEveryMinutes) * 60);
    if (CBidItem::isFinishedStatus(item.status())) {
        item.setEnded(true);
        item.setRefreshed(true);
    }
}

QByteArray BidListFile::write(CBidsDoc& doc)
{
    ItemsLockGuard guard(doc.itemsLock());
    ArchiveWriter out;
    out.reserve(64 + doc.itemCount() * 160);
    out.writeUInt32(static_cast<quint32>(doc.folders().size()));
    for (const auto& folder : doc.folders()) {
        out.writeInt32(folder->parent() ? folder->parent()->id() : 0);
        out.writeInt32(folder->id());
        out.writeString(folder->name());
        out.writeUInt32(folder->onlyOneItemWins() ? 1 : 0);
    }
    out.writeUInt32(static_cast<quint32>(doc.itemCount()));
    CBidFolder* const openFolder = doc.folderById(CBidFolder::OpenAuctionsId);
    for (const auto& item : doc.items()) {
        if (!item->folder())
            item->setFolder(openFolder);
        out.writeInt32(item->folder() ? item->folder()->id() : CBidFolder::OpenAuctionsId);
        writeItemEntry(out, *item);
    }
    return out.take();
}

void BidListFile::writeItemEntry(ArchiveWriter& out, const CBidItem& item)
{
    out.writeUInt32(item.isMultiItem() ? 1 : 0);
    out.writeString(item.id());
    out.writeUInt32(storedStatus(item.status()));
    out.writeString(item.hasMarkedTitle() ? item.title() + QLatin1StringView(kTitleMarker)
                                          : item.title());
    out.writeInt32(item.quantity());
    out.writeFloat(item.currentPrice());
    out.writeFloat(item.maxPrice());
    out.writeUInt32(0);
    out.writeString(item.seller() + QLatin1StringView(kVersionTag));
    out.writeString(item.highBidders());
    out.writeInt64(item.endTime());
    out.writeString(item.currency());
    out.writeString(item.category());
    out.writeString(item.sellerRating1());
    out.writeString(item.sellerRating2());
    out.writeUInt32(item.shutdownWhenFinished() ? 1 : 0);
    out.writeString(item.bids());
    out.writeString(item.shippingCosts());
}

QByteArray BidListFile::writeTransfer(const std::vector<const CBidItem*>& items)
{
    ArchiveWriter out;
    out.writeUInt32(static_cast<quint32>(items.size()));
    for (const CBidItem* item : items)
        writeItemEntry(out, *item);
    return out.take();
}

bool BidListFile::readTransfer(QByteArrayView data, std::vector<std::unique_ptr<CBidItem>>& items,
                               const BidListReadContext& context, QString* error)
{
    items.clear();
    ArchiveReader in(data);
    quint32 count = 0;
    ItemReadState state;
    if (readCount(in, kMinItemEntry, count)) {
        for (quint32 i = 0; i < count; ++i) {
            auto item = std::make_unique<CBidItem>();
            if (!readItemEntry(in, *item, context, state))
                break;
            finishItem(*item, context);
            items.push_back(std::move(item));
        }
    }
    if (!in.hasError() && !in.atEnd())
        in.fail(QStringLiteral("%1 bytes follow the last item").arg(in.remaining()));
    if (in.hasError()) {
        items.clear();
        if (error)
            *error = in.error();
        return false;
    }
    return true;
}
