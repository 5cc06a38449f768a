#include "model/itemcommands.h"

#include "app/appcontext.h"
#include "app/stringtable.h"
#include "model/bideditform.h"
#include "model/bidlistfile.h"
#include "model/bidsdoc.h"
#include "model/ibideffects.h"
#include "model/modelclock.h"

namespace {

constexpr qint64 kOneDay = 24 * 60 * 60;

} // namespace

AddItemStart ItemCommands::beginAdd(CBidFolder* selected) const
{
    AddItemStart start;
    const AppSettings& settings = m_doc.settings();
    if (settings.login.isEmpty() || settings.password.isEmpty()) {
        start.credentialsQuestion = StringTable::text(424);
        return start;
    }
    ItemsLockGuard guard(m_doc.itemsLock());
    CBidFolder* target = selected ? selected : m_doc.folderById(CBidFolder::OpenAuctionsId);
    if (CBidFolder::isClosedType(target))
        return start;
    start.target = target;
    for (const auto& folder : m_doc.folders()) {
        if (CBidFolder::isOpenType(folder.get()))
            start.folderChoices << folder->name();
    }
    start.folderChoices << StringTable::text(238);
    start.defaultEndTime = ModelClock::siteNow() + kOneDay;
    return start;
}

QString ItemCommands::addItem(std::unique_ptr<CBidItem> item, const QString& folderChoice,
                              CBidFolder* selected, CBidItem** added)
{
    ItemsLockGuard guard(m_doc.itemsLock());
    if (m_doc.openItemById(item->id()))
        return StringTable::text(168);
    CBidFolder* folder = nullptr;
    if (!folderChoice.isEmpty() && folderChoice != StringTable::text(238))
        folder = m_doc.folderByName(folderChoice);
    if (!folder && m_doc.containsFolder(selected))
        folder = selected;
    if (CBidFolder::isClosedType(folder))
        folder = m_doc.folderById(CBidFolder::OpenAuctionsId);
    CBidItem* appended = m_doc.appendItem(std::move(item), folder);
    if (added)
        *added = appended;
    if (folder)
        m_doc.setSelectedFolderId(folder->id());
    m_doc.changed();
    return QString();
}

void ItemCommands::applyEdit(CBidItem* item, const BidEditForm& form)
{
    ItemsLockGuard guard(m_doc.itemsLock());
    if (m_doc.indexOf(item) < 0)
        return;
    form.applyTo(*item);
    m_doc.changed();
}

QString ItemCommands::deleteConfirmation() const
{
    if (m_doc.settings().confirmDel == 0)
        return QString();
    return QStringLiteral("Do you want to delete selected item(s) from bids list?");
}

QString ItemCommands::retractQuestion()
{
    return QStringLiteral(
        "You are the high bidder of this item. Retract bids and delete item from the list?");
}

bool ItemCommands::leadsAuction(const CBidItem& item) const
{
    const QString user = m_doc.settings().login;
    return !user.isEmpty() && item.highBidders().startsWith(user, Qt::CaseInsensitive);
}

ItemCommands::DeleteOutcome ItemCommands::deleteItem(CBidItem* item, DeleteChoice choice)
{
    ItemsLockGuard guard(m_doc.itemsLock());
    // The item may have gone while the caller asked its questions.
    if (m_doc.indexOf(item) < 0 || item->isBusy() || choice == DeleteChoice::Cancel)
        return DeleteOutcome::Skipped;
    const bool mayRetract = leadsAuction(*item) && CBidFolder::isOpenType(item->folder());
    if (mayRetract && choice == DeleteChoice::Ask)
        return DeleteOutcome::NeedsChoice;
    if (mayRetract && choice == DeleteChoice::RetractAndDelete) {
        m_doc.effects().startRetraction(*item);
        item->setStatus(StatusRetracted);
        AppContext::logWrite(QString::asprintf("Bid #%s: retract all bids & deleted.",
                                               item->id().toUtf8().constData()));
        return DeleteOutcome::Retracting;
    }
    m_doc.deleteItem(item);
    return DeleteOutcome::Deleted;
}

void ItemCommands::finishDelete()
{
    m_doc.changed();
}

QByteArray ItemCommands::dragData(const std::vector<int>& rows) const
{
    ItemsLockGuard guard(m_doc.itemsLock());
    std::vector<const CBidItem*> items;
    for (int row : rows) {
        if (const CBidItem* item = m_doc.itemAt(row))
            items.push_back(item);
    }
    return BidListFile::writeTransfer(items);
}

bool ItemCommands::mayGoTo(const CBidItem& item, const CBidFolder* target)
{
    const quint32 status = item.status();
    if (CBidItem::isRunningStatus(status))
        return false;
    if (CBidItem::isFinishedStatus(status))
        return CBidFolder::isClosedType(target);
    return CBidFolder::isOpenType(target);
}

DropResult ItemCommands::drop(QByteArrayView data, CBidFolder* target)
{
    DropResult result;
    const BidListReadContext context = BidListReadContext::forList(m_doc);
    std::vector<std::unique_ptr<CBidItem>> records;
    if (!target || !BidListFile::readTransfer(data, records, context)) {
        result.refused = true;
        return result;
    }
    ItemsLockGuard guard(m_doc.itemsLock());
    bool privateDropped = false;
    for (const auto& record : records) {
        // The block stores running bids as active ones: the live item tells the truth.
        CBidItem* item = m_doc.itemById(record->id());
        if (!mayGoTo(item ? *item : *record, target)) {
            result.refused = true;
            break;
        }
        if (item) {
            item->setFolder(target);
            ++result.moved;
        }
        if (!context.privateKeyword.isEmpty() &&
            record->highBidders().contains(context.privateKeyword))
            privateDropped = true;
    }
    bool optionCleared = false;
    if (privateDropped && target->onlyOneItemWins() && CBidFolder::isOpenType(target) &&
        target->id() != CBidFolder::OpenAuctionsId) {
        target->setOnlyOneItemWins(false);
        result.message = StringTable::text(277);
        optionCleared = true;
    }
    if (result.moved > 0 || optionCleared)
        m_doc.changed();
    return result;
}
