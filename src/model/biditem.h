#pragma once

#include <QString>
#include <QtGlobal>

class CBidFolder;
class IBidWorker;

// Status codes of a bid; the display text is string 142 + code.
enum BidStatus : quint32
{
    StatusNotActive = 0,
    StatusActive = 1,
    StatusActiveOutbid = 2,
    StatusRunning = 3,
    StatusRunningOutbid = 4,
    StatusStopped = 5,
    StatusRetracted = 6,
    StatusWon = 7,
    StatusLost = 8,
    StatusPrivate = 9,
    StatusError = 10,
};

// One auction in the user's list. The document owns every item; other threads read and
// write one only while holding the items lock.
class CBidItem
{
public:
    static constexpr quint32 kReadyMark = 0x80;
    static constexpr quint32 kLastStatus = StatusError;

    CBidItem();
    virtual ~CBidItem();

    CBidItem(const CBidItem&) = default;
    CBidItem& operator=(const CBidItem&) = default;

    // Every field back to its default, end and refresh time to now; the id is kept.
    void reset();

    static bool isFinishedStatus(quint32 status);
    static bool isRunningStatus(quint32 status);
    // "Not active", "Active", ...; empty for a code out of range.
    static QString statusText(quint32 status);

    // True when one of the ";"-separated high bidders is `name` (blanks and case ignored).
    bool isHighBidder(const QString& name) const;
    // Due for its bid: end time minus `startBefore` seconds lies strictly before `siteNow`.
    bool isStartDue(qint64 siteNow, int startBefore) const;
    // After a refresh: tracks the highest price seen and moves Active and Running to their
    // outbid states and back. Returns the message to show (warning level) when a running
    // bid has just been outbid, else an empty text.
    QString applyOutbidRule(const QString& userName);
    // The auction is over: Won (high bidders become `userName`) when the user leads or the
    // site lists them among the winners, else Private or Lost.
    void decideVerdict(const QString& userName, bool listedAsWinner = false);

    bool retractionDone() const { return m_retractionDone; }
    void setRetractionDone(bool on) { m_retractionDone = on; }
    bool isBuyItNow() const { return m_buyItNow; }
    void setBuyItNow(bool on) { m_buyItNow = on; }
    bool isEnded() const { return m_ended; }
    void setEnded(bool on) { m_ended = on; }
    bool isRefreshed() const { return m_refreshed; }
    void setRefreshed(bool on) { m_refreshed = on; }

    // The status code without the ready mark.
    quint32 status() const { return m_status & ~kReadyMark; }
    // Sets the code; the ready mark is cleared.
    void setStatus(quint32 status) { m_status = status & ~kReadyMark; }
    quint32 statusWord() const { return m_status; }
    bool hasReadyMark() const { return (m_status & kReadyMark) != 0; }
    void setReadyMark(bool on) { m_status = on ? (m_status | kReadyMark) : status(); }

    qint32 quantity() const { return m_quantity; }
    void setQuantity(qint32 quantity) { m_quantity = quantity; }
    qint32 availableQuantity() const { return m_availableQuantity; }
    void setAvailableQuantity(qint32 quantity) { m_availableQuantity = quantity; }

    const QString& id() const { return m_id; }
    void setId(const QString& id) { m_id = id; }
    const QString& title() const { return m_title; }
    void setTitle(const QString& title) { m_title = title; }
    const QString& seller() const { return m_seller; }
    void setSeller(const QString& seller) { m_seller = seller; }
    const QString& highBidders() const { return m_highBidders; }
    void setHighBidders(const QString& bidders) { m_highBidders = bidders; }
    const QString& multiItemPriceText() const { return m_multiItemPriceText; }
    void setMultiItemPriceText(const QString& text) { m_multiItemPriceText = text; }
    const QString& sellerRating1() const { return m_sellerRating1; }
    void setSellerRating1(const QString& rating) { m_sellerRating1 = rating; }
    const QString& sellerRating2() const { return m_sellerRating2; }
    void setSellerRating2(const QString& rating) { m_sellerRating2 = rating; }

    float currentPrice() const { return m_currentPrice; }
    void setCurrentPrice(float price) { m_currentPrice = price; }
    float maxPrice() const { return m_maxPrice; }
    void setMaxPrice(float price) { m_maxPrice = price; }
    float highestSeenPrice() const { return m_highestSeenPrice; }
    void setHighestSeenPrice(float price) { m_highestSeenPrice = price; }

    // Site time.
    qint64 endTime() const { return m_endTime; }
    void setEndTime(qint64 time) { m_endTime = time; }
    // Local time.
    qint64 lastRefreshTime() const { return m_lastRefreshTime; }
    void setLastRefreshTime(qint64 time) { m_lastRefreshTime = time; }

    // The bid thread serving the item, not owned.
    IBidWorker* bidThread() const { return m_bidThread; }
    void setBidThread(IBidWorker* thread) { m_bidThread = thread; }
    CBidFolder* folder() const { return m_folder; }
    void setFolder(CBidFolder* folder) { m_folder = folder; }

    bool bidPlaced() const { return m_bidPlaced; }
    void setBidPlaced(bool on) { m_bidPlaced = on; }
    bool hasMarkedTitle() const { return m_markedTitle; }
    void setMarkedTitle(bool on) { m_markedTitle = on; }
    bool shutdownWhenFinished() const { return m_shutdownWhenFinished; }
    void setShutdownWhenFinished(bool on) { m_shutdownWhenFinished = on; }
    bool shutdownArmed() const { return m_shutdownArmed; }
    void setShutdownArmed(bool on) { m_shutdownArmed = on; }
    bool outbidNotified() const { return m_outbidNotified; }
    void setOutbidNotified(bool on) { m_outbidNotified = on; }
    bool isPrivate() const { return m_private; }
    void setPrivate(bool on) { m_private = on; }

    const QString& bids() const { return m_bids; }
    void setBids(const QString& bids) { m_bids = bids; }
    const QString& shippingCosts() const { return m_shippingCosts; }
    void setShippingCosts(const QString& costs) { m_shippingCosts = costs; }
    const QString& startingBid() const { return m_startingBid; }
    void setStartingBid(const QString& bid) { m_startingBid = bid; }
    bool isBusy() const { return m_busy; }
    void setBusy(bool on) { m_busy = on; }
    const QString& category() const { return m_category; }
    void setCategory(const QString& category) { m_category = category; }
    const QString& currency() const { return m_currency; }
    void setCurrency(const QString& currency) { m_currency = currency; }
    bool isMultiItem() const { return m_multiItem; }
    void setMultiItem(bool on) { m_multiItem = on; }

private:
    bool m_retractionDone = false;
    bool m_buyItNow = false;
    bool m_ended = false;
    bool m_refreshed = false;
    quint32 m_status = StatusActive;
    qint32 m_quantity = -1;
    qint32 m_availableQuantity = 1;
    QString m_id;
    QString m_title;
    QString m_seller;
    QString m_highBidders;
    QString m_multiItemPriceText;
    QString m_sellerRating1;
    QString m_sellerRating2;
    float m_currentPrice = 0.0f;
    float m_maxPrice = 0.0f;
    float m_highestSeenPrice = 0.0f;
    qint64 m_endTime = 0;
    qint64 m_lastRefreshTime = 0;
    IBidWorker* m_bidThread = nullptr;
    CBidFolder* m_folder = nullptr;
    bool m_bidPlaced = false;
    bool m_markedTitle = false;
    bool m_shutdownWhenFinished = false;
    bool m_shutdownArmed = true;
    bool m_outbidNotified = false;
    bool m_private = false;
    QString m_bids;
    QString m_shippingCosts;
    QString m_startingBid;
    bool m_busy = false;
    QString m_category;
    QString m_currency;
    bool m_multiItem = false;
};
