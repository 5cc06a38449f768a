#include "model/bidsrebuild.h"

#include "app/appcontext.h"
#include "app/stringtable.h"
#include "model/bidsdoc.h"
#include "model/ibideffects.h"
#include "model/ibidworker.h"
#include "model/idocumentevents.h"

#include <unordered_map>
#include <vector>

namespace {

bool mailEnabled(const AppSettings& settings, int AppSettings::*which)
{
    return settings.useMC != 0 && settings.*which != 0;
}

QByteArray utf8(const QString& text)
{
    return text.toUtf8();
}

// Open or closed type of each folder, worked out once per pass: every item asks, and a
// deep tree would otherwise be walked again for each of them.
class FolderKinds
{
public:
    bool isOpen(const CBidFolder* folder)
    {
        if (!folder || CBidFolder::isClosedId(folder->id()))
            return false;
        return walkOpen(folder->parent());
    }

private:
    // The first built-in id met walking up from `start` (itself included) decides; a walk
    // that reaches the top without one gives open.
    bool walkOpen(const CBidFolder* start)
    {
        constexpr size_t kMaxDepth = size_t(1) << 20; // the links form a tree; a guard only
        std::vector<const CBidFolder*> path;
        bool open = true;
        for (const CBidFolder* at = start; at && path.size() < kMaxDepth; at = at->parent()) {
            if (const auto known = m_walk.find(at); known != m_walk.end()) {
                open = known->second;
                break;
            }
            if (CBidFolder::isBuiltInId(at->id())) {
                open = !CBidFolder::isClosedId(at->id());
                m_walk[at] = open;
                break;
            }
            path.push_back(at);
        }
        for (const CBidFolder* folder : path)
            m_walk[folder] = open;
        return open;
    }

    std::unordered_map<const CBidFolder*, bool> m_walk;
};

} // namespace

RebuildResult BidsRebuild::run()
{
    m_doc.ensureBuiltInFolders();
    CBidFolder* const openFolder = m_doc.folderById(CBidFolder::OpenAuctionsId);
    const qint32 selected = m_doc.selectedFolderId();

    RebuildResult result;
    FolderKinds kinds;
    bool shutdown = false;
    for (int i = 0; i < m_doc.itemCount(); ++i) {
        CBidItem& item = *m_doc.itemAt(i);
        const bool inOpen = kinds.isOpen(item.folder());
        const bool finished = CBidItem::isFinishedStatus(item.status());
        if (inOpen && item.isEnded() && item.shutdownWhenFinished() && item.shutdownArmed())
            shutdown = true;
        if (inOpen && finished) {
            closeFinished(i, result.moved);
        } else if (!inOpen && !finished) {
            item.setFolder(openFolder);
            m_doc.setModified(true);
            result.moved = true;
        }
        if (selected != 0 && item.folder() && item.folder()->id() == selected)
            result.rows.push_back(i);
    }
    result.outbidCount = outbidScan();
    if (shutdown) {
        m_doc.effects().postShutdownRequest();
        result.shutdownRequested = true;
    }
    return result;
}

void BidsRebuild::closeFinished(int index, bool& moved)
{
    CBidItem& item = *m_doc.itemAt(index);
    m_doc.setModified(true);
    AppContext::logMessage(
        QString::asprintf("Bid #%s, bidding is closed for this item.", utf8(item.id()).constData()),
        ProgramLog::Warning);
    if (item.status() == StatusLost && item.isHighBidder(m_doc.settings().login)) {
        item.setStatus(StatusWon);
        AppContext::logMessage(QString::asprintf(utf8(StringTable::text(179)).constData(),
                                                 utf8(item.id()).constData()) +
                                   QLatin1Char(' ') + StringTable::text(136),
                               ProgramLog::Success);
    }
    if (item.status() == StatusWon && item.folder() && item.folder()->onlyOneItemWins())
        applyOnlyOneWins(index);
    if (mailEnabled(m_doc.settings(), &AppSettings::notifyEnded))
        m_doc.effects().requestMailNotification(IBidEffects::MailAuctionEnded, item);
    item.setFolder(m_doc.folderById(CBidFolder::ClosedAuctionsId));
    moved = true;
    if (IBidWorker* thread = item.bidThread())
        thread->postQuit();
}

void BidsRebuild::applyOnlyOneWins(int wonIndex)
{
    const CBidFolder* folder = m_doc.itemAt(wonIndex)->folder();
    for (int i = 0; i < m_doc.itemCount(); ++i) {
        CBidItem& other = *m_doc.itemAt(i);
        if (i == wonIndex || other.folder() != folder)
            continue;
        const quint32 status = other.status();
        if (status == StatusActive || status == StatusActiveOutbid) {
            other.setStatus(StatusNotActive);
            AppContext::logMessage(
                QString::asprintf("Bid %s: state is not active.", utf8(other.id()).constData()),
                ProgramLog::Warning);
            m_doc.events().itemRowChanged(i);
        } else if (CBidItem::isRunningStatus(status)) {
            // The user must not win a second item of the folder: take the bids back.
            other.setStatus(StatusStopped);
            if (IBidWorker* thread = other.bidThread())
                thread->postRetract();
            m_doc.events().itemRowChanged(i);
        }
    }
}

int BidsRebuild::outbidScan()
{
    const bool notify = mailEnabled(m_doc.settings(), &AppSettings::notifyOutbid);
    int outbid = 0;
    for (const auto& item : m_doc.items()) {
        const quint32 status = item->status();
        if (status != StatusActiveOutbid && status != StatusRunningOutbid) {
            item->setOutbidNotified(false);
            continue;
        }
        ++outbid;
        if (notify && !item->outbidNotified()) {
            item->setOutbidNotified(true);
            m_doc.effects().requestMailNotification(IBidEffects::MailOutbid, *item);
        }
    }
    m_doc.effects().setOutbidIndicator(outbid > 0);
    return outbid;
}
