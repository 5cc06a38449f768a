#include "web/itempageparser.h"

#include "app/stringtable.h"
#include "model/biditem.h"
#include "sites/endtimeparser.h"
#include "sites/siteprice.h"
#include "sites/siteprofile.h"
#include "sites/sitetext.h"

#include <QStringList>
#include <initializer_list>
#include <limits>

namespace {

// A line found by its keyword: the line's index and the keyword that matched.
struct Found
{
    qsizetype line = -1;
    const QString* keyword = nullptr;

    explicit operator bool() const { return line >= 0; }
};

// The first line holding any of `keywords`; each line is tried against all of them, in
// order, before the next line. An empty keyword is in every line.
Found findLine(const QStringList& lines, std::initializer_list<const QString*> keywords)
{
    for (qsizetype i = 0; i < lines.size(); ++i) {
        for (const QString* keyword : keywords) {
            if (lines[i].contains(*keyword))
                return Found{i, keyword};
        }
    }
    return {};
}

Found findLine(const QStringList& lines, const QString& keyword)
{
    return findLine(lines, {&keyword});
}

// The rest of the line after the first occurrence of the keyword, untrimmed.
QString valueAfter(const QStringList& lines, const Found& found)
{
    const QString& line = lines[found.line];
    return line.mid(line.indexOf(*found.keyword) + found.keyword->size());
}

QString trimLeft(const QString& text)
{
    qsizetype start = 0;
    while (start < text.size() && text[start].isSpace())
        ++start;
    return text.mid(start);
}

QString trimRight(const QString& text)
{
    qsizetype end = text.size();
    while (end > 0 && text[end - 1].isSpace())
        --end;
    return text.left(end);
}

// Only ASCII digits: the price scanner reads no others.
bool isDigit(QChar c)
{
    return c.unicode() >= '0' && c.unicode() <= '9';
}

// The text from its first digit on; empty when there is none.
QString fromFirstDigit(const QString& text, QString* skipped = nullptr)
{
    qsizetype i = 0;
    while (i < text.size() && !isDigit(text[i]))
        ++i;
    if (skipped)
        *skipped = text.left(i);
    return text.mid(i);
}

QString leadingDigits(const QString& text)
{
    qsizetype i = 0;
    while (i < text.size() && isDigit(text[i]))
        ++i;
    return text.left(i);
}

// A quantity as the page writes it; absurd lengths are held at the largest count.
qint32 quantityValue(const QString& digits)
{
    qint64 value = 0;
    for (const QChar c : digits) {
        value = value * 10 + (c.unicode() - '0');
        if (value > std::numeric_limits<qint32>::max())
            return std::numeric_limits<qint32>::max();
    }
    return static_cast<qint32>(value);
}

QString cutBefore(const QString& text, QChar mark)
{
    const qsizetype at = text.indexOf(mark);
    return at < 0 ? text : text.left(at);
}

QString formatError(const char* tag)
{
    return StringTable::text(204) + QLatin1String(tag);
}

// "category: Computers > Laptops > Apple" gives "Computers >...> Apple"; a category of one
// level is the text after the keyword.
QString categoryOf(const QString& line, const QString& keyword)
{
    const qsizetype colon = line.indexOf(QLatin1Char(':'));
    const qsizetype firstArrow = colon < 0 ? -1 : line.indexOf(QLatin1Char('>'), colon + 1);
    if (firstArrow < 0)
        return line.mid(line.indexOf(keyword) + keyword.size()).trimmed();
    return line.mid(colon + 1, firstArrow - colon).trimmed() + QLatin1String("...") +
           line.mid(line.lastIndexOf(QLatin1Char('>')));
}

} // namespace

bool ParseItemPage(CBidItem& item, const QString& pageText, const SiteProfile& profile,
                   float& minBid, QString& error)
{
    const SiteProfile& p = profile;
    if (pageText.isEmpty()) {
        error = QStringLiteral("Body is empty, error!!!");
        return false;
    }

    item.setHighBidders(QStringLiteral("-"));
    item.setEnded(false);
    const QStringList lines = SplitLines(pageText, u"\r\n");

    if (findLine(lines, p.keyWordInvalidItem)) {
        error = StringTable::text(232);
        item.setStatus(StatusLost);
        item.setEnded(true);
        return false;
    }

    if (const Found category = findLine(lines, p.keyWordCategory))
        item.setCategory(categoryOf(lines[category.line], p.keyWordCategory));
    else
        item.setCategory(QStringLiteral("..."));

    const Found idLine = findLine(lines, p.keyWordItemID);
    if (!idLine) {
        error = formatError(" [Error in _keyWord_ItemID]");
        return false;
    }
    const QString& itemLine = lines[idLine.line];
    const bool hasLineBefore = idLine.line > 0;
    if (p.keyWordItemID == QLatin1String("Item #")) {
        // This layout puts the title above the number and the category below it.
        if (hasLineBefore && !item.hasMarkedTitle())
            item.setTitle(lines[idLine.line - 1]);
        if (idLine.line + 1 < lines.size())
            item.setCategory(lines[idLine.line + 1]);
    } else if (hasLineBefore && !item.hasMarkedTitle()) {
        const QString& before = lines[idLine.line - 1];
        if (before.contains(p.keyWordCategory))
            item.setTitle(itemLine.left(itemLine.indexOf(p.keyWordItemID)).trimmed());
        else
            item.setTitle(before.trimmed());
    }
    item.setId(valueAfter(lines, idLine).trimmed());

    const QString endFlag = StripSpaces(p.keyWordEndFlag);
    const QString endFlag2 = StripSpaces(p.keyWordEndFlag2);
    const QString endFlag3 = StripSpaces(p.keyWordEndFlag3);
    for (const QString& line : lines) {
        const QString bare = StripSpaces(line);
        if (bare.contains(endFlag) || bare.contains(endFlag2) || bare.contains(endFlag3)) {
            item.setEnded(true);
            break;
        }
    }

    item.setBuyItNow(false);
    Found priceLine =
        findLine(lines, {&p.keyWordCurPrice, &p.keyWordCurPrice2, &p.keyWordCurPrice3});
    if (!priceLine) {
        priceLine = findLine(lines, {&p.keyWordShopPrice, &p.keyWordShopPrice2});
        if (!priceLine) {
            error = formatError(" [Error in _keyWord_CurPrice|_keyWord_ShopPrice]");
            return false;
        }
        item.setBuyItNow(true);
    }
    const QString priceValue = valueAfter(lines, priceLine);
    QString currency;
    const QString amount = fromFirstDigit(priceValue, &currency);
    if (amount.isEmpty()) {
        error = formatError(" [incorrect price]");
        return false;
    }
    if (p.conventions.currencyPlacement == CurrencyPlacement::AfterAmount) {
        // "12,50 EUR": the amount comes first and the currency after it.
        const QString value = priceValue.trimmed();
        qsizetype end = 0;
        item.setCurrentPrice(ParseSitePrice(value, p.conventions, &end));
        item.setCurrency(value.mid(end));
    } else {
        item.setCurrency(trimLeft(currency));
        item.setCurrentPrice(ParseSitePrice(amount, p.conventions));
    }
    if (item.isBuyItNow())
        item.setMaxPrice(item.currentPrice());

    Found endLine = findLine(lines, {&p.keyWordEndTime, &p.keyWordEndTime2});
    if (!endLine)
        endLine = findLine(lines, endFlag);
    if (endLine) {
        const QString value = valueAfter(lines, endLine);
        qint64 endTime = ParseEndTimeByPattern(value, p.conventions);
        if (endTime == 0)
            endTime = ParseEndTimeByMonths(value, p.conventions);
        item.setEndTime(endTime);
    } else if (!item.isBuyItNow()) {
        error = formatError(" [Error in _keyWord_EndTime]");
        return false;
    }

    if (const Found bidsLine = findLine(lines, p.keyWordBids)) {
        const QString value = valueAfter(lines, bidsLine);
        item.setBids(leadingDigits(value));
        const qsizetype bracket = value.indexOf(QLatin1Char('('));
        const QString start = bracket < 0 ? value : value.mid(bracket + 1);
        const qsizetype label = start.indexOf(p.keyWordStartPrice);
        item.setStartingBid(label < 0 ? QString() : start.left(label).trimmed());
    }

    if (const Found shipLine = findLine(lines, p.keyWordShipPrice)) {
        QString value = trimLeft(valueAfter(lines, shipLine));
        const qsizetype dashes = value.indexOf(QLatin1String("--"));
        if (dashes >= 0)
            value.truncate(dashes);
        item.setShippingCosts(trimRight(value));
    }

    item.setMultiItem(false);
    if (const Found quantityLine = findLine(lines, p.keyWordDutchFlag)) {
        const QString digits = leadingDigits(fromFirstDigit(valueAfter(lines, quantityLine)));
        if (digits.isEmpty()) {
            error = formatError(" [incorrect quantity]");
            return false;
        }
        item.setAvailableQuantity(quantityValue(digits));
        if (item.availableQuantity() > 1)
            item.setMultiItem(true);
    }

    const Found bidderLine =
        findLine(lines, {&p.keyWordUserName, &p.keyWordUserName2, &p.keyWordUserName3});
    if (!bidderLine) {
        item.setHighBidders(QString());
    } else {
        const QString bidders =
            trimRight(cutBefore(trimLeft(valueAfter(lines, bidderLine)), QLatin1Char('(')));
        item.setHighBidders(bidders);
        if (bidders.contains(p.keyWordPrivate))
            item.setPrivate(true);
    }

    const Found sellerLine = findLine(lines, p.keyWordSellerName);
    if (!sellerLine) {
        error = formatError(" [Error in _keyWord_SellerName]");
        return false;
    }
    item.setSeller(cutBefore(valueAfter(lines, sellerLine), QLatin1Char('(')).trimmed());

    QString rating1 = QStringLiteral("-");
    if (const Found ratingLine = findLine(lines, p.keyWordRating)) {
        const QString& line = lines[ratingLine.line];
        const qsizetype open = line.indexOf(QLatin1Char('('));
        const qsizetype close = line.lastIndexOf(QLatin1Char(')'));
        if (open >= 0 && close > open)
            rating1 = line.mid(open + 1, close - open - 1).trimmed();
    }
    item.setSellerRating1(rating1);

    // The keyword opens the line and one separator follows it.
    const Found feedbackLine = findLine(lines, p.keyWordFeedBack);
    item.setSellerRating2(feedbackLine
                              ? lines[feedbackLine.line].mid(p.keyWordFeedBack.size() + 1).trimmed()
                              : QStringLiteral("-"));

    if (item.isBuyItNow())
        return true;

    if (!item.isEnded()) {
        const Found minBidLine = findLine(lines, p.keyWordMinBid);
        if (!minBidLine) {
            // Not a failure: everything read so far is right, only the next bid is unknown.
            error = formatError(" [Error in _keyWord_MinBid]");
            return true;
        }
        const QString value = fromFirstDigit(valueAfter(lines, minBidLine));
        if (value.isEmpty()) {
            error = formatError(" [incorrect minbid]");
            return true;
        }
        if (item.highBidders().isEmpty())
            item.setHighBidders(QStringLiteral("-"));
        minBid = ParseSitePrice(value, p.conventions);
        item.setHighestSeenPrice(minBid);
    }

    if (!item.isPrivate()) {
        if (item.isMultiItem()) {
            item.setHighBidders(QString());
            item.setMultiItemPriceText(QString());
        }
        if (item.highBidders().isEmpty())
            item.setHighBidders(QStringLiteral("-"));
    }
    return true;
}
