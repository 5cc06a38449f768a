#include "model/biditem.h"

#include "app/stringtable.h"
#include "model/modelclock.h"

#include <QList>

CBidItem::CBidItem()
{
    reset();
}

CBidItem::~CBidItem() = default;

void CBidItem::reset()
{
    const QString id = m_id;
    const qint64 now = ModelClock::localNow();
    m_retractionDone = false;
    m_buyItNow = false;
    m_ended = false;
    m_refreshed = false;
    m_status = StatusActive;
    m_quantity = -1;
    m_availableQuantity = 1;
    m_id = id;
    m_title.clear();
    m_seller.clear();
    m_highBidders.clear();
    m_multiItemPriceText.clear();
    m_sellerRating1 = QStringLiteral("-");
    m_sellerRating2 = QStringLiteral("-");
    m_currentPrice = 0.0f;
    m_maxPrice = 0.0f;
    m_highestSeenPrice = 0.0f;
    m_endTime = now;
    m_lastRefreshTime = now;
    m_bidThread = nullptr;
    m_folder = nullptr;
    m_bidPlaced = false;
    m_markedTitle = false;
    m_shutdownWhenFinished = false;
    m_shutdownArmed = true;
    m_outbidNotified = false;
    m_private = false;
    m_bids.clear();
    m_shippingCosts.clear();
    m_startingBid.clear();
    m_busy = false;
    m_category.clear();
    m_currency.clear();
    m_multiItem = false;
}

bool CBidItem::isFinishedStatus(quint32 status)
{
    return status == StatusWon || status == StatusLost || status == StatusPrivate;
}

bool CBidItem::isRunningStatus(quint32 status)
{
    return status == StatusRunning || status == StatusRunningOutbid;
}

QString CBidItem::statusText(quint32 status)
{
    if (status > kLastStatus)
        return QString();
    return StringTable::statusText(static_cast<int>(status));
}

bool CBidItem::isHighBidder(const QString& name) const
{
    // An empty name would match an empty bidder text and make every user the winner.
    const QString wanted = name.trimmed().toUpper();
    if (wanted.isEmpty())
        return false;
    for (QStringView part : QStringView(m_highBidders).split(u';')) {
        if (part.trimmed().toString().toUpper() == wanted)
            return true;
    }
    return false;
}

bool CBidItem::isStartDue(qint64 siteNow, int startBefore) const
{
    return m_endTime - startBefore < siteNow;
}

QString CBidItem::applyOutbidRule(const QString& userName)
{
    if (m_ended && !isFinishedStatus(status()))
        return QString();
    if (m_currentPrice > m_highestSeenPrice && !m_multiItem)
        m_highestSeenPrice = m_currentPrice;

    // Someone else leads (a name that merely starts with the user's does not count) and
    // the price has passed the user's limit.
    const bool outbid = !isHighBidder(userName) && m_highestSeenPrice > m_maxPrice;
    const quint32 mark = m_status & kReadyMark;
    switch (status()) {
    case StatusActive:
        if (outbid)
            m_status = StatusActiveOutbid | mark;
        break;
    case StatusRunning:
        if (outbid) {
            m_status = StatusRunningOutbid | mark;
            return QString::asprintf(StringTable::text(179).toUtf8().constData(),
                                     m_id.toUtf8().constData()) +
                   QLatin1Char(' ') + StringTable::text(134);
        }
        break;
    case StatusActiveOutbid:
        if (!outbid)
            m_status = StatusActive | mark;
        break;
    case StatusRunningOutbid:
        if (!outbid)
            m_status = StatusRunning | mark;
        break;
    default:
        break;
    }
    return QString();
}

void CBidItem::decideVerdict(const QString& userName, bool listedAsWinner)
{
    m_ended = true;
    if (isHighBidder(userName) || listedAsWinner) {
        m_status = StatusWon;
        m_highBidders = userName;
    } else if (m_private) {
        m_status = StatusPrivate;
    } else {
        m_status = StatusLost;
    }
}
