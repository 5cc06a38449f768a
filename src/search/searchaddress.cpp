#include "search/searchaddress.h"

#include <QUrl>

namespace {

QString missingKey(const char* list, int index)
{
    return QStringLiteral("the site's %1 has no token %2").arg(QLatin1String(list)).arg(index);
}

} // namespace

QString SearchAddress::fill(const QString& pattern, const QStringList& arguments)
{
    QString out;
    out.reserve(pattern.size() + 32);
    qsizetype next = 0;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern.at(i);
        if (c != QLatin1Char('%') || i + 1 == pattern.size()) {
            out += c;
            continue;
        }
        const QChar conversion = pattern.at(i + 1);
        if (conversion == QLatin1Char('%')) {
            out += c;
            ++i;
        } else if (conversion == QLatin1Char('s') || conversion == QLatin1Char('d') ||
                   conversion == QLatin1Char('i') || conversion == QLatin1Char('u')) {
            if (next < arguments.size())
                out += arguments.at(next);
            ++next;
            ++i;
        } else {
            out += c;
        }
    }
    return out;
}

QString SearchAddress::encodeValue(const QString& value)
{
    QByteArray encoded = QUrl::toPercentEncoding(value, QByteArrayLiteral(" *"), "~");
    encoded.replace(' ', '+');
    return QString::fromLatin1(encoded);
}

SearchAddress::Result SearchAddress::build(const SearchCommands& commands,
                                           const SearchCriteria& criteria, Use use)
{
    return build(commands, criteria, use, ListChoices());
}

SearchAddress::Result SearchAddress::build(const SearchCommands& commands,
                                           const SearchCriteria& criteria, Use use,
                                           ListChoices choices)
{
    Result result;
    const auto key = [&](int index, QString* token) {
        if (!commands.hasKey(index)) {
            if (result.error.isEmpty())
                result.error = missingKey("Search_Key", index);
            return false;
        }
        *token = commands.keys.at(index);
        return true;
    };
    const auto key2 = [&](int index, QString* token) {
        if (!commands.hasKey2(index)) {
            if (result.error.isEmpty())
                result.error = missingKey("Search_Key2", index);
            return false;
        }
        *token = commands.keys2.at(index);
        return true;
    };
    const auto number = [](int value) { return QString::number(value); };
    using K = SearchCommands;

    if (commands.searchUrl.isEmpty()) {
        result.error = QStringLiteral("the site has no search address");
        return result;
    }
    QString token;
    QString host = QStringLiteral("search");
    if (criteria.titleAndDescription && key(K::TitleAndDesc, &token))
        host = QStringLiteral("search-desc") + token;
    QString url = fill(commands.searchUrl, {host});

    if (key(K::Keywords, &token))
        url += fill(token, {encodeValue(criteria.keywords)});
    if (!criteria.exclude.isEmpty() && key(K::Exclude, &token))
        url += fill(token, {encodeValue(criteria.exclude)});
    if (key(K::WordOption, &token))
        url += fill(token, {number(criteria.wordOption + 1)});

    const bool startup = use == Use::StartupCheck;
    if ((startup || choices.category) && key(K::CategoryName, &token))
        url += QLatin1Char('&') + token + QLatin1Char('=') + encodeValue(criteria.category);

    if (criteria.buyItNowOnly && key(K::BuyItNow, &token))
        url += fill(token);
    if (criteria.rangeMin != 0 && key(K::PriceMin, &token))
        url += fill(token, {number(criteria.rangeMin)});
    if (criteria.rangeMax != 0 && key(K::PriceMax, &token))
        url += fill(token, {number(criteria.rangeMax)});
    if (criteria.findItems != 0 && key(K::ItemCount, &token))
        url += fill(token, {number(criteria.findItems)});
    if (!criteria.seller.isEmpty() && key(K::Seller, &token))
        url += fill(token, {encodeValue(criteria.seller)});
    const auto [sortBy, order] = SearchCriteria::sortParameters(criteria.sort);
    if (key(K::SortOrder, &token))
        url += fill(token, {number(sortBy), number(order)});

    const bool locations = startup && !commands.keys2.isEmpty();
    if ((locations || choices.locationIn) && key2(K::LocationInName, &token))
        url += QLatin1Char('&') + token + QLatin1Char('=') + encodeValue(criteria.locationIn);
    if ((locations || choices.locationTo) && key2(K::LocationToName, &token))
        url += QLatin1Char('&') + token + QLatin1Char('=') + encodeValue(criteria.locationTo);

    if (result.ok())
        result.url = url;
    return result;
}
