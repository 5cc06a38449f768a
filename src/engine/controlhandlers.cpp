#include "engine/controlhandlers.h"

#include "app/appcontext.h"
#include "app/controlprotocol.h"
#include "app/controlregistry.h"
#include "engine/bidstarter.h"
#include "engine/connectionmanager.h"
#include "engine/controladd.h"
#include "engine/controlstatus.h"
#include "engine/maincontroller.h"
#include "engine/timesynchroniser.h"
#include "model/bidsdoc.h"

namespace {

QString itemOf(const QJsonObject& request)
{
    return request.value(QStringLiteral("item")).toString().trimmed();
}

QJsonObject bidReply(const QString& id, quint32 status, const QString& message)
{
    return {{QStringLiteral("id"), id},
            {QStringLiteral("status"), int(status)},
            {QStringLiteral("statusText"), CBidItem::statusText(status)},
            {QStringLiteral("message"), message}};
}

} // namespace

ControlHandlers::ControlHandlers(AppContext& app, MainController& controller, QObject* parent)
    : QObject(parent), m_app(app), m_controller(controller),
      m_add(std::make_unique<ControlAdd>(app, controller.document()))
{
    connect(&controller.timeSynchroniser(), &TimeSynchroniser::accepted, this, [this] {
        m_measuredAt = m_app.clock().localNow();
        m_measuredOffsetMs = m_app.clock().offsetMs();
        ++m_acceptedCount;
    });
}

ControlHandlers::~ControlHandlers() = default;

void ControlHandlers::install(ControlRegistry& registry)
{
    registry.addDeferred(QStringLiteral("add"),
                         [this](const QJsonObject& request, ControlRegistry::Reply reply) {
                             m_add->run(request, std::move(reply));
                         });
    registry.addEncoded(QStringLiteral("status"),
                        [this](const QJsonObject&, QString* error) { return status(error); });
    registry.add(QStringLiteral("start"),
                 [this](const QJsonObject& request) { return start(request); });
    registry.add(QStringLiteral("stop"),
                 [this](const QJsonObject& request) { return stop(request); });
    registry.add(QStringLiteral("sync"), [this](const QJsonObject&) { return sync(); });
    registry.add(QStringLiteral("log"), [this](const QJsonObject&) { return log(); });
}

QByteArray ControlHandlers::status(QString* error)
{
    ControlStatus::Engine engine;
    engine.measuredAt = m_measuredAt;
    engine.measuredOffsetMs = m_measuredOffsetMs;
    ConnectionManager& connections = m_controller.connections();
    const std::optional<bool> connected = m_controller.lastConnectionTest();
    if (connections.isOffline())
        engine.connection = QStringLiteral("work offline");
    else if (connected)
        engine.connection = *connected ? QStringLiteral("online") : QStringLiteral("offline");
    engine.dialling = connections.dialInProgress();
    return ControlStatus::encode(m_controller.document(), m_app.clock(), engine, error);
}

QString ControlHandlers::findBid(const QString& id, quint32* status, bool* hasMaxPrice)
{
    CBidsDoc& doc = m_controller.document();
    ItemsLockGuard guard(doc.itemsLock(), ItemsLock::kPeriodicPassWaitMs);
    if (!guard.isHeld())
        return QStringLiteral("the bid list is busy; try again in a moment");
    const CBidItem* item = id.isEmpty() ? nullptr : doc.itemById(id);
    if (!item)
        return QStringLiteral("There is no bid #%1 in the list.").arg(id);
    *status = item->status();
    *hasMaxPrice = item->maxPrice() != 0.0f;
    return QString();
}

QJsonObject ControlHandlers::start(const QJsonObject& request)
{
    CBidsDoc& doc = m_controller.document();
    const QString refusal = ControlAdd::gate(doc);
    if (!refusal.isEmpty())
        return ControlProtocol::errorReply(refusal);
    const QString id = itemOf(request);
    quint32 status = 0;
    bool hasMaxPrice = false;
    const QString missing = findBid(id, &status, &hasMaxPrice);
    if (!missing.isEmpty())
        return ControlProtocol::errorReply(missing);
    // The window's Start is offered for the same states only.
    const bool startable = status == StatusNotActive || status == StatusActive ||
                           status == StatusActiveOutbid || status == StatusStopped ||
                           status == StatusRetracted;
    if (!startable || !hasMaxPrice) {
        return ControlProtocol::errorReply(
            !hasMaxPrice ? QStringLiteral("Bid #%1 has no maximum price.").arg(id)
                         : QStringLiteral("Bid #%1 cannot be started: it is %2.")
                               .arg(id, CBidItem::statusText(status)));
    }

    const BidStarter::Outcome outcome = m_controller.starter().startConfirmed(id);
    quint32 after = status;
    bool unused = false;
    findBid(id, &after, &unused);
    switch (outcome) {
    case BidStarter::Outcome::Started:
        return bidReply(id, after, QStringLiteral("Bid #%1 started.").arg(id));
    case BidStarter::Outcome::AlreadyRunning:
        return bidReply(id, after, QStringLiteral("Bid #%1 is running already.").arg(id));
    case BidStarter::Outcome::Finished:
        return bidReply(
            id, after, QStringLiteral("The auction is over: %1.").arg(CBidItem::statusText(after)));
    case BidStarter::Outcome::TooMany:
    case BidStarter::Outcome::NoMaxPrice:
        return ControlProtocol::errorReply(
            QStringLiteral("Bid #%1 was not started (%2); see the log.")
                .arg(id, CBidItem::statusText(after)));
    default:
        return ControlProtocol::errorReply(
            QStringLiteral("Bid #%1 was not started; see the log.").arg(id));
    }
}

QJsonObject ControlHandlers::stop(const QJsonObject& request)
{
    CBidsDoc& doc = m_controller.document();
    const QString refusal = ControlAdd::gate(doc);
    if (!refusal.isEmpty())
        return ControlProtocol::errorReply(refusal);
    const QString id = itemOf(request);
    quint32 status = 0;
    bool hasMaxPrice = false;
    const QString missing = findBid(id, &status, &hasMaxPrice);
    if (!missing.isEmpty())
        return ControlProtocol::errorReply(missing);
    // Running bids, as the window offers; an active one may be stopped before it starts.
    if (status < StatusActive || status > StatusRunningOutbid) {
        return ControlProtocol::errorReply(QStringLiteral("Bid #%1 cannot be stopped: it is %2.")
                                               .arg(id, CBidItem::statusText(status)));
    }
    const bool retract = request.value(QStringLiteral("retract")).toBool(false);
    const BidStarter::Outcome outcome = m_controller.starter().stopConfirmed(id, retract);
    quint32 after = status;
    findBid(id, &after, &hasMaxPrice);
    switch (outcome) {
    case BidStarter::Outcome::Retracting:
        return bidReply(id, after,
                        QStringLiteral("Bid #%1 stopped; its bids are being retracted.").arg(id));
    case BidStarter::Outcome::Stopped:
        return bidReply(id, after,
                        retract ? QStringLiteral("Bid #%1 stopped; no bid thread served it, so "
                                                 "there was nothing to retract.")
                                      .arg(id)
                                : QStringLiteral("Bid #%1 stopped.").arg(id));
    default:
        return ControlProtocol::errorReply(
            QStringLiteral("Bid #%1 was not stopped; see the log.").arg(id));
    }
}

QJsonObject ControlHandlers::sync()
{
    const int previousCount = m_acceptedCount;
    m_controller.synchroniseTime();
    const qint64 siteNow = m_app.clock().siteNow();
    if (m_acceptedCount == previousCount) {
        return ControlProtocol::errorReply(
            QStringLiteral("The site's time could not be measured; see the log."));
    }
    return {{QStringLiteral("offsetMs"), m_app.clock().offsetMs()},
            {QStringLiteral("siteTime"), siteNow},
            {QStringLiteral("siteTimeText"), TimeSynchroniser::siteClockText(siteNow)}};
}

QJsonObject ControlHandlers::log() const
{
    return {{QStringLiteral("path"), m_app.log().path()}};
}
