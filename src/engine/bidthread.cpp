#include "engine/bidthread.h"

#include "app/appcontext.h"
#include "engine/bidworker.h"
#include "model/bidsdoc.h"

#include <QThread>

CBidThread::CBidThread(AppContext& app, CBidsDoc& doc, const QString& itemId, QObject* parent)
    : QObject(parent), m_app(app), m_doc(doc), m_itemId(itemId),
      m_shared(std::make_shared<BidThreadShared>()),
      m_thread(QStringLiteral("Bid %1").arg(itemId.left(20)))
{
    auto worker = std::make_unique<BidWorker>(app, doc, itemId, m_shared);
    connect(worker.get(), &BidWorker::quitRequested, this, [this] { end(false); });
    connect(worker.get(), &BidWorker::pageShown, this,
            [this](const QString& url, const QByteArray& source, const QString& contentType) {
                Q_EMIT pageShown(m_itemId, url, source, contentType);
            });
    m_worker = m_thread.start(std::move(worker));
    // The browser belongs to the bid thread: it is made there.
    BidWorker* w = m_worker;
    m_thread.post([w] { w->init(); });
}

CBidThread::~CBidThread()
{
    if (!m_ended) {
        m_shared->quit = true;
        m_thread.detach();
    }
}

void CBidThread::postStart(SiteProfile profile)
{
    BidWorker* w = m_worker;
    m_thread.post([w, profile = std::move(profile), names = BidFormNames::current()]() mutable {
        w->start(std::move(profile), std::move(names));
    });
}

void CBidThread::postRetract(SiteProfile profile, bool forDelete)
{
    BidWorker* w = m_worker;
    auto owned = std::make_shared<SiteProfile>(std::move(profile));
    m_thread.post([w, owned, names = BidFormNames::current(), forDelete]() mutable {
        w->retract(owned, std::move(names), forDelete);
    });
}

void CBidThread::postRetract()
{
    BidWorker* w = m_worker;
    m_thread.post([w] { w->retract(nullptr, BidFormNames(), false); });
}

void CBidThread::postPoll()
{
    if (m_shared->pollQueued.exchange(true))
        return;
    BidWorker* w = m_worker;
    if (!m_thread.post([w] { w->poll(); }))
        m_shared->pollQueued = false;
}

void CBidThread::postQuit()
{
    // The caller holds the items lock and may destroy the item right after: the reference
    // goes now, and from here on neither the item nor the document is touched.
    m_shared->quit = true;
    m_quitByOwner = true;
    {
        ItemsLockGuard guard(m_app.itemsLock());
        if (guard.isHeld()) {
            CBidItem* item = m_doc.itemById(m_itemId);
            if (item && item->bidThread() == this)
                item->setBidThread(nullptr);
        }
    }
    QMetaObject::invokeMethod(
        this, [this] { end(true); }, Qt::QueuedConnection);
}

void CBidThread::end(bool byOwner)
{
    Q_ASSERT(QThread::currentThread() == thread());
    if (m_ended)
        return;
    m_ended = true;
    m_shared->quit = true;
    // A download of the worker may still run: it finds the quit flag and lets go; the
    // thread deletes the worker (and its browser) when it returns.
    m_thread.detach();
    if (!byOwner && !m_quitByOwner) {
        ItemsLockGuard guard(m_app.itemsLock());
        if (guard.isHeld()) {
            CBidItem* item = m_doc.itemById(m_itemId);
            if (item && item->bidThread() == this)
                item->setBidThread(nullptr);
        } else {
            m_app.log().write(QStringLiteral("Bid #%1: the items lock was not free; the bid "
                                             "thread ends without clearing the item.")
                                  .arg(m_itemId),
                              ProgramLog::Error);
        }
    }
    Q_EMIT finished();
    deleteLater();
}
