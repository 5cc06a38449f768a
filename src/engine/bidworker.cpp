#include "engine/bidworker.h"

#include "app/appcontext.h"
#include "app/imainwindow.h"
#include "app/stringtable.h"
#include "engine/bidtexts.h"
#include "model/bidsdoc.h"
#include "web/dutchhighbidder.h"
#include "web/headlessbrowser.h"
#include "web/htmlform.h"

#include <QThread>

namespace {

// Tracking and advertising redirects a page may load in a frame; not pages of the flow.
constexpr const char* kPromotionHostFragment = "rover.ebay.";

} // namespace

BidWorker::BidWorker(AppContext& app, CBidsDoc& doc, QString itemId,
                     std::shared_ptr<BidThreadShared> shared)
    : m_app(app), m_doc(doc), m_itemId(std::move(itemId)), m_shared(std::move(shared))
{
}

BidWorker::~BidWorker() = default;

void BidWorker::init()
{
    Q_ASSERT(QThread::currentThread() == thread());
    m_browser = std::make_unique<HeadlessBrowser>();
    connect(m_browser.get(), &HeadlessBrowser::documentComplete, this,
            &BidWorker::onDocumentComplete);
    m_steps.clear();
    m_lastNavigation = m_app.clock().localNow();
}

void BidWorker::start(SiteProfile profile, BidFormNames names)
{
    Q_ASSERT(QThread::currentThread() == thread());
    if (m_ended || m_shared->quit)
        return;
    m_profile = std::move(profile);
    m_names = std::move(names);
    m_hasProfile = true;
    write(BidTexts::withId(493, m_itemId), ProgramLog::Info);
    m_browser->navigate(itemPageUrl());
    redisplay();
    m_lastNavigation = m_app.clock().localNow();
    m_steps.push_back(ET_VIEWITEM);
}

void BidWorker::retract(std::shared_ptr<SiteProfile> profile, BidFormNames names, bool forDelete)
{
    Q_ASSERT(QThread::currentThread() == thread());
    if (m_ended || m_shared->quit)
        return;
    if (profile) {
        m_profile = std::move(*profile);
        m_names = std::move(names);
        m_hasProfile = true;
        m_ownsRetractParameters = forDelete;
    } else {
        m_ownsRetractParameters = false;
    }
    m_browser->stop();
    m_steps.clear();
    m_poll = false;
    if (!m_hasProfile || m_profile.urlRetract.isEmpty()) {
        write(QStringLiteral("Bid #%1: no retraction address; the bids cannot be retracted.")
                  .arg(m_itemId),
              ProgramLog::Error);
        ItemsLockGuard guard(m_app.itemsLock(), 0);
        guard.unlock();
        if (CBidItem* item = lockedItem(guard))
            item->setStatus(StatusStopped);
        guard.unlock();
        redisplay();
        requestQuit();
        return;
    }
    m_browser->navigate(m_profile.urlRetract);
    m_steps.push_back(ET_RETRACT);
}

void BidWorker::poll()
{
    Q_ASSERT(QThread::currentThread() == thread());
    m_shared->pollQueued = false;
    // A page on its way (the browser busy, a step expected) is never cut short by a reload.
    if (m_ended || !m_poll || !m_hasProfile || m_browser->isBusy() || !m_steps.empty())
        return;
    ItemsLockGuard guard(m_app.itemsLock(), 0);
    guard.unlock();
    CBidItem* item = lockedItem(guard);
    if (!item)
        return;
    if (item->status() == StatusRunning || item->status() == StatusRunningOutbid) {
        m_steps.push_back(ET_VIEWITEM);
        navigateItemPage(guard);
    }
}

void BidWorker::onDocumentComplete(const QString& url)
{
    Q_ASSERT(QThread::currentThread() == thread());
    if (m_ended || m_shared->quit)
        return;
    if (url.contains(QLatin1String("about:blank")) ||
        url.contains(QLatin1String(kPromotionHostFragment)))
        return;
    m_poll = false;
    if (m_profile.showIE)
        Q_EMIT pageShown(url, m_browser->source(), m_browser->contentType());
    if (m_steps.empty())
        return; // a page nobody asked for
    const int step = m_steps.front();
    m_steps.pop_front();
    m_failed = false;

    ItemsLockGuard guard(m_app.itemsLock(), 0);
    guard.unlock();
    handleStep(step, guard);
    guard.unlock();
    if (m_shared->quit && !m_ended)
        return; // the owner ended the thread meanwhile
    redisplay();
    if (m_failed) {
        if (CBidItem* item = lockedItem(guard))
            item->setStatus(StatusStopped);
        guard.unlock();
        redisplay();
        requestQuit();
    }
}

void BidWorker::handleStep(int step, ItemsLockGuard& guard)
{
    if (loadFailed()) {
        const QString why = m_browser->lastError().isEmpty()
                                ? QStringLiteral("HTTP status %1").arg(m_browser->lastStatus())
                                : m_browser->lastError();
        if (step == ET_VIEWITEM) {
            // Nothing was sent yet for this page: the next tick loads it again.
            write(QStringLiteral("Bid #%1: the item page did not load (%2); trying again.")
                      .arg(m_itemId, why),
                  ProgramLog::Warning);
            m_poll = true;
            return;
        }
        // Whether the site took what was sent is unknown: never send it again.
        write(QStringLiteral("Bid #%1: the page of step %2 did not load (%3).")
                  .arg(m_itemId)
                  .arg(step)
                  .arg(why),
              ProgramLog::Error);
        m_failed = true;
        return;
    }
    switch (step) {
    case ET_VIEWITEM:
        viewItem(guard);
        break;
    case ET_BIDDING_ON_ITEM:
        biddingOnItem(guard);
        break;
    case ET_CHECK_LOGIN:
        checkLogin(guard);
        break;
    case ET_RETRACT:
        retractSignIn(guard);
        break;
    case ET_BIDRETRACTION:
        bidRetraction(guard);
        break;
    case ET_BIDRETRACTION_OK:
        bidRetractionOk(guard);
        break;
    default:
        break;
    }
}

CBidItem* BidWorker::lockedItem(ItemsLockGuard& guard)
{
    if (!guard.isHeld() && !guard.relock()) {
        write(QStringLiteral("Bid #%1: the items lock was not free; step skipped.").arg(m_itemId),
              ProgramLog::Error);
        return nullptr;
    }
    if (m_shared->quit)
        return nullptr;
    CBidItem* item = m_doc.itemById(m_itemId);
    if (!item) {
        write(QStringLiteral("Bid #%1: the item is no longer in the list.").arg(m_itemId),
              ProgramLog::Warning);
        requestQuit();
    }
    return item;
}

void BidWorker::show(ItemsLockGuard& guard, const QString& text, int level)
{
    guard.unlock();
    m_app.log().message(text, level);
}

void BidWorker::write(const QString& text, int level)
{
    m_app.log().write(text, level);
}

void BidWorker::writeMoment(const QString& what)
{
    write(QStringLiteral("Bid #%1: %2 at %3 (site time).")
              .arg(m_itemId, what, BidTexts::siteTimeMs(m_app.clock().siteNowMs())),
          ProgramLog::Info);
}

void BidWorker::navigateItemPage(ItemsLockGuard& guard)
{
    guard.unlock();
    m_browser->navigate(itemPageUrl());
    redisplay();
    m_lastNavigation = m_app.clock().localNow();
}

bool BidWorker::submit(const HtmlForm& form, ItemsLockGuard& guard)
{
    guard.unlock();
    if (m_browser->submitForm(form))
        return true;
    write(QStringLiteral("Bid #%1: the form could not be submitted.").arg(m_itemId),
          ProgramLog::Error);
    m_steps.clear();
    m_failed = true;
    return false;
}

void BidWorker::redisplay()
{
    if (IMainWindow* window = m_app.mainWindow())
        window->postBidsViewCommand(IMainWindow::CmdRedisplay);
}

void BidWorker::requestQuit()
{
    if (m_ended)
        return;
    m_ended = true;
    m_steps.clear();
    m_browser->stop();
    Q_EMIT quitRequested();
}

bool BidWorker::loadFailed() const
{
    return !m_browser->lastError().isEmpty() || m_browser->lastStatus() >= 400;
}

QString BidWorker::itemPageUrl() const
{
    return FormatUrlPattern(m_profile.urlViewItem, m_itemId);
}

QString BidWorker::pageText() const
{
    return m_browser->bodyText();
}

bool BidWorker::contains(const QString& text, const QString& keyword) const
{
    // An empty keyword is in every text: it stands for a site that lacks the page.
    return !keyword.isEmpty() && text.contains(keyword);
}

bool BidWorker::hasEndKeyword(const QString& text, bool withEnded) const
{
    return contains(text, m_profile.keyWordEndFlag) || contains(text, m_profile.keyWordEndFlag2) ||
           contains(text, m_profile.keyWordEndFlag3) ||
           (withEnded && contains(text, m_profile.keyWordEnded));
}

bool BidWorker::userLeads(const CBidItem& item) const
{
    const QString login = m_profile.login;
    if (login.isEmpty())
        return false;
    return item.highBidders().left(login.size()).toUpper() == login.toUpper();
}
