#include "engine/controlstatus.h"

#include "app/controlprotocol.h"
#include "app/itemslock.h"
#include "app/siteclock.h"
#include "engine/timesynchroniser.h"
#include "model/bidcells.h"
#include "model/bidsdoc.h"

#include <QList>
#include <vector>

namespace {

// One bid as the reply shows it, copied out under the lock.
struct BidRow
{
    QString id;
    QString title;
    QString folder;
    QString highBidders;
    QString currency;
    quint32 status = 0;
    float maxPrice = 0;
    float currentPrice = 0;
    qint32 quantity = -1;
    qint64 endTime = 0;
    bool ended = false;
};

// Two decimals, as everywhere prices are shown.
void appendMoney(QByteArray& out, float price)
{
    out.append(QByteArray::number(double(price), 'f', 2));
}

void appendKey(QByteArray& out, const char* key)
{
    out.append('"').append(key).append("\":");
}

void appendString(QByteArray& out, const char* key, const QString& value)
{
    appendKey(out, key);
    ControlProtocol::appendString(out, value);
    out.append(',');
}

void appendNumber(QByteArray& out, const char* key, qint64 value)
{
    appendKey(out, key);
    out.append(QByteArray::number(value)).append(',');
}

void appendBool(QByteArray& out, const char* key, bool value)
{
    appendKey(out, key);
    out.append(value ? "true," : "false,");
}

} // namespace

QByteArray ControlStatus::encode(CBidsDoc& doc, const SiteClock& clock, const Engine& engine,
                                 QString* error)
{
    std::vector<BidRow> rows;
    QString listPath;
    QString listTitle;
    bool modified = false;
    {
        ItemsLockGuard guard(doc.itemsLock(), ItemsLock::kPeriodicPassWaitMs);
        if (!guard.isHeld()) {
            *error = QStringLiteral("the bid list is busy; try again in a moment");
            return QByteArray();
        }
        rows.reserve(doc.items().size());
        for (const auto& item : doc.items()) {
            const CBidFolder* folder = item->folder();
            rows.push_back({item->id(), item->title(), folder ? folder->name() : QString(),
                            item->highBidders(), item->currency(), item->status(), item->maxPrice(),
                            item->currentPrice(), item->quantity(), item->endTime(),
                            item->isEnded()});
        }
        listPath = doc.path();
        listTitle = doc.title();
        modified = doc.isModified();
    }

    const qint64 siteNow = clock.siteNow();
    QByteArray out;
    out.reserve(512 + int(rows.size()) * 320);
    appendNumber(out, "siteTime", siteNow);
    appendString(out, "siteTimeText", TimeSynchroniser::siteClockText(siteNow));
    appendBool(out, "synchronised", clock.isSynchronised());
    appendNumber(out, "offsetMs", clock.offsetMs());
    appendKey(out, "lastMeasurement");
    if (engine.measuredAt > 0) {
        out.append('{');
        appendNumber(out, "localTime", engine.measuredAt);
        appendNumber(out, "offsetMs", engine.measuredOffsetMs);
        out.chop(1);
        out.append("},");
    } else {
        out.append("null,");
    }
    appendString(out, "connection", engine.connection);
    appendBool(out, "dialling", engine.dialling);
    appendKey(out, "list");
    out.append('{');
    appendString(out, "path", listPath);
    appendString(out, "title", listTitle);
    appendBool(out, "modified", modified);
    out.chop(1);
    out.append("},");

    // The texts of the statuses, made once rather than per bid.
    QList<QByteArray> statusTexts;
    for (quint32 status = 0; status <= CBidItem::kLastStatus; ++status) {
        QByteArray text;
        ControlProtocol::appendString(text, CBidItem::statusText(status));
        statusTexts << text;
    }
    appendKey(out, "bids");
    out.append('[');
    for (const BidRow& row : rows) {
        out.append('{');
        appendString(out, "id", row.id);
        appendString(out, "title", row.title);
        appendString(out, "folder", row.folder);
        appendNumber(out, "status", row.status);
        appendKey(out, "statusText");
        if (row.status < quint32(statusTexts.size()))
            out.append(statusTexts.at(row.status)).append(',');
        else
            out.append("\"\",");
        appendKey(out, "maxPrice");
        appendMoney(out, row.maxPrice);
        out.append(',');
        appendKey(out, "currentPrice");
        appendMoney(out, row.currentPrice);
        out.append(',');
        appendString(out, "currency", row.currency);
        appendString(out, "highBidder", row.highBidders);
        appendNumber(out, "endTime", row.endTime);
        appendNumber(out, "secondsLeft", qMax<qint64>(0, row.endTime - siteNow));
        appendString(out, "timeLeft", BidCells::timeLeft(row.endTime, siteNow));
        if (row.quantity > 0)
            appendNumber(out, "quantity", row.quantity);
        appendBool(out, "ended", row.ended);
        out.chop(1);
        out.append("},");
    }
    if (out.endsWith(','))
        out.chop(1);
    out.append(']');
    return out;
}
