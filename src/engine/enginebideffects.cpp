#include "engine/enginebideffects.h"

#include "app/appcontext.h"
#include "engine/maincontroller.h"
#include "model/bidsdoc.h"
#include "sites/siteaccess.h"

#include <QThread>

EngineBidEffects::EngineBidEffects(AppContext& app, CBidsDoc& doc, MainController& controller)
    : m_app(app), m_doc(doc), m_controller(controller)
{
}

EngineBidEffects::~EngineBidEffects() = default;

void EngineBidEffects::startRetraction(CBidItem& item)
{
    const QString id = item.id();
    if (QThread::currentThread() == thread()) {
        retract(id);
        return;
    }
    QMetaObject::invokeMethod(
        this, [this, id] { retract(id); }, Qt::QueuedConnection);
}

void EngineBidEffects::retract(const QString& itemId)
{
    MainController::Threads& threads = m_controller.threads();
    ItemsLockGuard guard(m_doc.itemsLock());
    CBidItem* item = guard.isHeld() ? m_doc.itemById(itemId) : nullptr;
    if (!item) {
        m_app.log().write(
            QStringLiteral("Bid #%1: gone before its bids could be retracted.").arg(itemId),
            ProgramLog::Warning);
        return;
    }
    IBidWorker* worker = item->bidThread();
    if (!worker && threads.createBidThread) {
        worker = threads.createBidThread(itemId);
        if (worker)
            item->setBidThread(worker);
    }
    if (!worker || !threads.postBidRetract) {
        m_app.log().message(
            QStringLiteral("Bid #%1: the retraction could not be started.").arg(itemId),
            ProgramLog::Error);
        return;
    }
    threads.postBidRetract(worker, BuildSiteProfile(), true);
}

void EngineBidEffects::requestMailNotification(MailNotification kind, const CBidItem& item)
{
    // Message 0x472: the mail is built on the main thread, under the lock, from the item
    // as it is then.
    const QString id = item.id();
    const int wParam = int(kind);
    QMetaObject::invokeMethod(
        &m_controller, [this, wParam, id] { m_controller.handleMailNotification(wParam, id); },
        Qt::QueuedConnection);
}

void EngineBidEffects::postShutdownRequest()
{
    // Posted: the request asks a question and takes the items lock itself.
    QMetaObject::invokeMethod(
        &m_controller, [this] { m_controller.handleShutdownRequest(); }, Qt::QueuedConnection);
}

void EngineBidEffects::setOutbidIndicator(bool on)
{
    QMetaObject::invokeMethod(
        &m_controller, [this, on] { m_controller.setOutbidIndicator(on); }, Qt::QueuedConnection);
}
