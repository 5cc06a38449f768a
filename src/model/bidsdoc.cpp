#include "model/bidsdoc.h"

#include "app/appcontext.h"
#include "app/stringtable.h"
#include "model/bidsrebuild.h"
#include "model/ibideffects.h"
#include "model/ibidworker.h"
#include "model/idocumentevents.h"

#include <QFileInfo>
#include <QHash>
#include <algorithm>
#include <atomic>
#include <limits>
#include <set>

namespace {

class NullEffects : public IBidEffects
{
public:
    void startRetraction(CBidItem&) override {}
    void requestMailNotification(MailNotification, const CBidItem&) override {}
    void postShutdownRequest() override {}
    void setOutbidIndicator(bool) override {}
};

class NullEvents : public IDocumentEvents
{
public:
    void foldersChanged() override {}
    void listRebuilt(const std::vector<int>&) override {}
    void itemRowChanged(int) override {}
};

NullEffects g_nullEffects;
NullEvents g_nullEvents;
std::atomic<int> g_untitledCount{0};

// The digits of an item number as a decimal string-to-long conversion reads them:
// leading blanks and a sign skipped, leading zeros dropped, stopping at the first
// non-digit. No allocation: the document compares ids in long loops.
struct NumberView
{
    bool negative = false;
    QStringView digits;
};

NumberView numberOf(QStringView text)
{
    qsizetype i = 0;
    while (i < text.size() && text.at(i).isSpace())
        ++i;
    NumberView number;
    if (i < text.size() && (text.at(i) == u'+' || text.at(i) == u'-')) {
        number.negative = text.at(i) == u'-';
        ++i;
    }
    while (i < text.size() && text.at(i) == u'0')
        ++i;
    const qsizetype start = i;
    while (i < text.size() && text.at(i).unicode() >= u'0' && text.at(i).unicode() <= u'9')
        ++i;
    number.digits = text.mid(start, i - start);
    if (number.digits.isEmpty())
        number.negative = false;
    return number;
}

} // namespace

CBidsDoc::CBidsDoc(ListEnvironment environment)
    : m_environment(std::move(environment)), m_effects(&g_nullEffects), m_events(&g_nullEvents),
      m_accessLock(m_environment.settings())
{
}

CBidsDoc::~CBidsDoc()
{
    clear();
}

void CBidsDoc::setEffects(IBidEffects* effects)
{
    m_effects = effects ? effects : &g_nullEffects;
}

void CBidsDoc::setEvents(IDocumentEvents* events)
{
    m_events = events ? events : &g_nullEvents;
}

void CBidsDoc::newDocument()
{
    ItemsLockGuard guard(itemsLock());
    clear();
    ensureBuiltInFolders();
    // A list that is already new keeps its number, so the first one stays "List1".
    if (!m_path.isEmpty() || m_title.isEmpty())
        setPath(QString());
    m_modified = true;
    m_selectedFolderId = CBidFolder::OpenAuctionsId;
    m_events->foldersChanged();
    rebuild();
}

void CBidsDoc::clear()
{
    ItemsLockGuard guard(itemsLock());
    for (const auto& item : m_items) {
        if (IBidWorker* thread = item->bidThread())
            thread->postQuit();
    }
    m_items.clear();
    m_folders.clear();
}

void CBidsDoc::ensureBuiltInFolders()
{
    ItemsLockGuard guard(itemsLock());
    // Kept first, in the order a new list has them.
    if (!folderById(CBidFolder::ClosedAuctionsId)) {
        m_folders.insert(
            m_folders.begin(),
            std::make_unique<CBidFolder>(CBidFolder::ClosedAuctionsId, 0, StringTable::text(141)));
    }
    if (!folderById(CBidFolder::OpenAuctionsId)) {
        m_folders.insert(
            m_folders.begin(),
            std::make_unique<CBidFolder>(CBidFolder::OpenAuctionsId, 0, StringTable::text(140)));
    }
}

CBidFolder* CBidsDoc::folderById(qint32 id) const
{
    for (const auto& folder : m_folders) {
        if (folder->id() == id)
            return folder.get();
    }
    return nullptr;
}

CBidFolder* CBidsDoc::folderByName(const QString& name) const
{
    for (const auto& folder : m_folders) {
        if (folder->name() == name)
            return folder.get();
    }
    return nullptr;
}

bool CBidsDoc::containsFolder(const CBidFolder* folder) const
{
    return folder && std::any_of(m_folders.begin(), m_folders.end(),
                                 [folder](const auto& f) { return f.get() == folder; });
}

CBidFolder* CBidsDoc::appendFolder(std::unique_ptr<CBidFolder> folder)
{
    ItemsLockGuard guard(itemsLock());
    m_folders.push_back(std::move(folder));
    return m_folders.back().get();
}

void CBidsDoc::destroyFolder(CBidFolder* folder)
{
    ItemsLockGuard guard(itemsLock());
    for (const auto& other : m_folders) {
        if (other->parent() == folder)
            other->setParent(nullptr);
    }
    for (const auto& item : m_items) {
        if (item->folder() == folder)
            item->setFolder(nullptr);
    }
    std::erase_if(m_folders, [folder](const auto& f) { return f.get() == folder; });
}

qint32 CBidsDoc::nextFolderId() const
{
    qint32 largest = 0;
    for (const auto& folder : m_folders)
        largest = std::max(largest, folder->id());
    if (largest < std::numeric_limits<qint32>::max())
        return largest + 1;
    // A list from elsewhere used the largest id: take the first free one instead of
    // wrapping round to a negative (built-in looking) id.
    std::set<qint32> used;
    for (const auto& folder : m_folders)
        used.insert(folder->id());
    qint32 id = 1;
    while (used.count(id))
        ++id;
    return id;
}

void CBidsDoc::linkParents()
{
    ItemsLockGuard guard(itemsLock());
    const size_t count = m_folders.size();
    QHash<qint32, size_t> firstById;
    for (size_t i = 0; i < count; ++i) {
        m_folders[i]->setParent(nullptr);
        if (!firstById.contains(m_folders[i]->id()))
            firstById.insert(m_folders[i]->id(), i);
    }

    // Each folder has at most one parent, so a loop is found by following the links:
    // the link of the loop's last folder in array order is the one left out.
    constexpr size_t kNone = static_cast<size_t>(-1);
    std::vector<size_t> parent(count, kNone);
    for (size_t i = 0; i < count; ++i) {
        const qint32 parentId = m_folders[i]->parentId();
        if (parentId != 0)
            parent[i] = firstById.value(parentId, kNone);
    }
    enum : char
    {
        Unseen,
        OnPath,
        Done
    };
    std::vector<char> state(count, Unseen);
    std::vector<size_t> path;
    for (size_t start = 0; start < count; ++start) {
        path.clear();
        size_t at = start;
        while (at != kNone && state[at] == Unseen) {
            state[at] = OnPath;
            path.push_back(at);
            at = parent[at];
        }
        if (at != kNone && state[at] == OnPath) {
            size_t last = at;
            for (size_t node = parent[at]; node != at; node = parent[node])
                last = std::max(last, node);
            parent[last] = kNone;
        }
        for (size_t node : path)
            state[node] = Done;
    }
    for (size_t i = 0; i < count; ++i) {
        if (parent[i] != kNone)
            m_folders[i]->setParent(m_folders[parent[i]].get());
    }
}

int CBidsDoc::itemCountIn(const CBidFolder* folder) const
{
    return static_cast<int>(std::count_if(
        m_items.begin(), m_items.end(), [folder](const auto& i) { return i->folder() == folder; }));
}

QString CBidsDoc::folderLabel(const CBidFolder* folder) const
{
    if (!folder)
        return QString();
    return QStringLiteral("%1 [%2]").arg(folder->name()).arg(itemCountIn(folder));
}

CBidItem* CBidsDoc::itemAt(int index) const
{
    if (index < 0 || index >= itemCount())
        return nullptr;
    return m_items[static_cast<size_t>(index)].get();
}

int CBidsDoc::indexOf(const CBidItem* item) const
{
    for (size_t i = 0; i < m_items.size(); ++i) {
        if (m_items[i].get() == item)
            return static_cast<int>(i);
    }
    return -1;
}

bool CBidsDoc::sameItemId(const QString& a, const QString& b)
{
    const NumberView x = numberOf(a);
    const NumberView y = numberOf(b);
    return x.negative == y.negative && x.digits == y.digits;
}

CBidItem* CBidsDoc::itemById(const QString& id) const
{
    const NumberView wanted = numberOf(id);
    for (const auto& item : m_items) {
        const NumberView number = numberOf(item->id());
        if (number.negative == wanted.negative && number.digits == wanted.digits)
            return item.get();
    }
    return nullptr;
}

CBidItem* CBidsDoc::openItemById(const QString& id) const
{
    for (const auto& item : m_items) {
        if (CBidFolder::isOpenType(item->folder()) && sameItemId(item->id(), id))
            return item.get();
    }
    return nullptr;
}

CBidItem* CBidsDoc::appendItem(std::unique_ptr<CBidItem> item, CBidFolder* folder)
{
    ItemsLockGuard guard(itemsLock());
    item->setFolder(folder);
    m_items.push_back(std::move(item));
    return m_items.back().get();
}

void CBidsDoc::deleteItem(CBidItem* item)
{
    ItemsLockGuard guard(itemsLock());
    const int index = indexOf(item);
    if (index < 0)
        return;
    if (IBidWorker* thread = item->bidThread())
        thread->postQuit();
    AppContext::logWrite(QString::asprintf("Bid #%s deleted.", item->id().toUtf8().constData()));
    m_items.erase(m_items.begin() + index);
}

bool CBidsDoc::anyRunning() const
{
    ItemsLockGuard guard(itemsLock());
    return std::any_of(m_items.begin(), m_items.end(),
                       [](const auto& item) { return CBidItem::isRunningStatus(item->status()); });
}

void CBidsDoc::setPath(const QString& path)
{
    m_path = path;
    if (!path.isEmpty())
        m_title = QFileInfo(path).fileName();
    else
        m_title = QStringLiteral("List%1").arg(++g_untitledCount);
}

RebuildResult CBidsDoc::rebuild()
{
    ItemsLockGuard guard(itemsLock());
    RebuildResult result = BidsRebuild(*this).run();
    if (result.moved)
        m_events->foldersChanged();
    m_events->listRebuilt(result.rows);
    return result;
}

void CBidsDoc::changed()
{
    ItemsLockGuard guard(itemsLock());
    m_modified = true;
    m_events->foldersChanged();
    rebuild();
}

QString CBidsDoc::runningBidsMessage()
{
    return QStringLiteral("Please, stop all running bids before continue.");
}
