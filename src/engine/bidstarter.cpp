#include "engine/bidstarter.h"

#include "app/appcontext.h"
#include "app/imainwindow.h"
#include "app/stringtable.h"
#include "engine/bidtexts.h"
#include "engine/itempageupdate.h"
#include "engine/itemverdict.h"
#include "model/bidsdoc.h"
#include "model/ibidworker.h"
#include "sites/siteaccess.h"

BidStarter::BidStarter(AppContext& app, CBidsDoc& doc, QObject* parent)
    : QObject(parent), m_app(app), m_doc(doc)
{
    m_hooks.buildProfile = [] { return BuildSiteProfile(); };
    m_hooks.readItemPage = [this](const QString& itemId, const SiteProfile& profile) {
        return ItemPageUpdate::read(m_doc, itemId, profile);
    };
    m_hooks.accessGate = [this] { return !m_doc.accessLock().isRequired(); };
}

BidStarter::~BidStarter() = default;

void BidStarter::show(const QString& text, int level)
{
    m_app.log().message(text, level);
}

BidStarter::Outcome BidStarter::startItem(const QString& itemId)
{
    ItemsLockGuard guard(m_doc.itemsLock());
    if (!guard.isHeld()) {
        m_app.log().write(
            QStringLiteral("Bid #%1: the bid list stayed locked; not started.").arg(itemId),
            ProgramLog::Error);
        return Outcome::Gone;
    }
    if (!m_doc.itemById(itemId))
        return Outcome::Gone;

    // The page once more before the decision. Read without the lock: the refresh and the
    // bid threads must not wait for this download.
    const SiteProfile readProfile = m_hooks.buildProfile();
    guard.unlock();
    if (m_hooks.readItemPage)
        m_hooks.readItemPage(itemId, readProfile);
    if (!guard.relock())
        return Outcome::Gone;
    CBidItem* item = m_doc.itemById(itemId);
    if (!item)
        return Outcome::Gone;

    if (item->availableQuantity() < item->quantity()) {
        const int lotSize = item->availableQuantity();
        item->setStatus(StatusNotActive);
        guard.unlock();
        show(BidTexts::quantityTooLarge(itemId, lotSize), ProgramLog::Warning);
        m_doc.rebuild();
        return Outcome::TooMany;
    }

    if (item->isEnded()) {
        const std::optional<Verdict> verdict =
            ItemVerdict::decide(m_doc, itemId, readProfile, guard);
        if (!guard.isHeld() || !verdict)
            return Outcome::Gone;
        m_doc.setModified(true);
        guard.unlock();
        show(ItemVerdict::message(itemId, *verdict), ItemVerdict::severity(*verdict));
        m_doc.rebuild();
        return Outcome::Finished;
    }

    if (item->bidThread())
        return Outcome::AlreadyRunning;

    if (item->maxPrice() == 0.0f) {
        item->setStatus(StatusStopped);
        guard.unlock();
        show(BidTexts::withId(180, itemId) + QLatin1Char(' ') + StringTable::text(137),
             ProgramLog::Warning);
        m_doc.changed();
        return Outcome::NoMaxPrice;
    }

    item->setStatus(item->status() == StatusActiveOutbid ? StatusRunningOutbid : StatusRunning);
    guard.unlock();
    if (m_hooks.started)
        m_hooks.started();
    IBidWorker* thread = m_hooks.createThread ? m_hooks.createThread(itemId) : nullptr;
    if (!guard.relock()) {
        if (thread)
            thread->postQuit();
        return Outcome::Gone;
    }
    item = m_doc.itemById(itemId);
    if (!thread || !item) {
        if (thread)
            thread->postQuit();
        if (item) {
            // No thread could be made: the bid must not look as if it were running.
            item->setStatus(StatusStopped);
            guard.unlock();
            show(BidTexts::withId(180, itemId) +
                     QStringLiteral(" The bid thread could not be started."),
                 ProgramLog::Error);
            m_doc.changed();
        }
        return Outcome::Gone;
    }
    item->setBidThread(thread);
    if (m_hooks.postStart)
        m_hooks.postStart(thread, m_hooks.buildProfile());
    guard.unlock();
    m_doc.rebuild();
    return Outcome::Started;
}

int BidStarter::startReadyBids()
{
    ItemsLockGuard guard(m_doc.itemsLock());
    if (!guard.isHeld()) {
        m_app.log().write(QStringLiteral("Start bids: the bid list stayed locked; the ready "
                                         "bids wait for the next tick."),
                          ProgramLog::Error);
        return 0;
    }
    QStringList ready;
    for (const auto& item : m_doc.items()) {
        if (item->hasReadyMark())
            ready << item->id();
    }
    int started = 0;
    for (const QString& id : ready) {
        CBidItem* item = m_doc.itemById(id);
        if (!item || !item->hasReadyMark())
            continue;
        item->setReadyMark(false);
        guard.unlock();
        if (startItem(id) == Outcome::Started)
            ++started;
        if (!guard.relock())
            break;
    }
    return started;
}

bool BidStarter::credentialsReady()
{
    const auto ready = [this] {
        const AppSettings& settings = m_app.settings();
        return !settings.login.isEmpty() && !settings.password.isEmpty();
    };
    if (ready())
        return true;
    IMainWindow* window = m_app.mainWindow();
    if (!window)
        return false;
    IMainWindow::Question question;
    question.text = StringTable::text(424);
    question.caption = AppContext::applicationTitle();
    question.buttons = IMainWindow::Buttons::OkCancel;
    question.icon = IMainWindow::Icon::Warning;
    question.defaultAnswer = IMainWindow::AnswerOk;
    if (window->ask(question) == IMainWindow::AnswerOk && m_hooks.openOptions)
        m_hooks.openOptions();
    return ready();
}

BidStarter::Outcome BidStarter::manualStart(const QString& itemId)
{
    if ((m_hooks.accessGate && !m_hooks.accessGate()) || !credentialsReady())
        return Outcome::Refused;
    IMainWindow* window = m_app.mainWindow();
    IMainWindow::Question question;
    question.text = StringTable::text(175);
    question.caption = StringTable::text(176);
    question.buttons = IMainWindow::Buttons::YesNo;
    question.icon = IMainWindow::Icon::Question;
    question.defaultAnswer = IMainWindow::AnswerNo;
    if (!window || window->ask(question) != IMainWindow::AnswerYes)
        return Outcome::Refused;
    return startConfirmed(itemId);
}

BidStarter::Outcome BidStarter::startConfirmed(const QString& itemId)
{
    m_app.log().write(BidTexts::withId(492, itemId), ProgramLog::Warning);
    {
        ItemsLockGuard guard(m_doc.itemsLock());
        CBidItem* item = guard.isHeld() ? m_doc.itemById(itemId) : nullptr;
        if (!item)
            return Outcome::Gone;
        item->setBidPlaced(true);
    }
    return startItem(itemId);
}

BidStarter::Outcome BidStarter::stop(const QString& itemId)
{
    if ((m_hooks.accessGate && !m_hooks.accessGate()) || !credentialsReady())
        return Outcome::Refused;
    IMainWindow* window = m_app.mainWindow();
    const int choice =
        window ? window->askStopBidding(itemId, LookupSiteKey(QStringLiteral("%s_URL_RetractHelp")))
               : int(IMainWindow::StopOnly);
    if (choice == IMainWindow::StopCancelled)
        return Outcome::Refused;
    return stopConfirmed(itemId, choice == IMainWindow::StopAndRetract);
}

BidStarter::Outcome BidStarter::stopConfirmed(const QString& itemId, bool retract)
{
    Outcome outcome = Outcome::Stopped;
    {
        ItemsLockGuard guard(m_doc.itemsLock());
        CBidItem* item = guard.isHeld() ? m_doc.itemById(itemId) : nullptr;
        if (!item)
            return Outcome::Gone;
        item->setBidPlaced(false);
        if (!item->bidThread()) {
            item->setStatus(StatusStopped);
        } else if (retract) {
            // The thread retracts the user's bids and finishes the item itself.
            item->bidThread()->postRetract();
            outcome = Outcome::Retracting;
        } else {
            // A thread told to quit no longer touches the item: it is released here.
            item->bidThread()->postQuit();
            item->setBidThread(nullptr);
            item->setStatus(StatusStopped);
        }
    }
    m_doc.changed();
    return outcome;
}
