#include "web/itempagereader.h"

#include "app/itemslock.h"
#include "app/stringtable.h"
#include "sites/siteaccess.h"
#include "web/itempageparser.h"
#include "web/urlsource.h"

QString ItemPageResult::message() const
{
    const QString text = error.isEmpty() ? StringTable::text(204) : error;
    if (downloadFailure.isEmpty())
        return text;
    return QStringLiteral("%1 (%2: %3)").arg(text, url, downloadFailure);
}

ItemPageReader::ItemPageReader()
    : ItemPageReader(BuildSiteProfile(), LookupSiteKey(QStringLiteral("%s_KeyWord_Description")),
                     LookupSiteKey(QStringLiteral("%s_KeyWord_ReadyBid")))
{
}

ItemPageReader::ItemPageReader(SiteProfile profile, QString descriptionKeyword,
                               QString readyBidKeyword)
    : m_profile(std::move(profile)), m_descriptionKeyword(std::move(descriptionKeyword)),
      m_readyBidKeyword(std::move(readyBidKeyword))
{
}

QString ItemPageReader::viewItemUrl(const QString& id) const
{
    QString url = m_profile.urlViewItem;
    // The address holds one "%s" for the number; a damaged one without it gets nothing.
    const qsizetype at = url.indexOf(QLatin1String("%s"));
    if (at >= 0)
        url.replace(at, 2, id);
    return url;
}

QString ItemPageReader::cutDescription(const QString& text, const QString& descriptionKeyword,
                                       const QString& readyBidKeyword)
{
    // An empty keyword would cut from the first character: a site without the keyword
    // keeps its whole page.
    if (descriptionKeyword.isEmpty())
        return text;
    const qsizetype start = text.indexOf(descriptionKeyword);
    if (start < 0)
        return text;
    qsizetype end = readyBidKeyword.isEmpty() ? -1 : text.indexOf(readyBidKeyword);
    if (end < 0)
        end = text.size();
    if (end <= start)
        return text;
    QString cut = text;
    cut.remove(start, end - start);
    return cut;
}

QString ItemPageReader::download(const QString& id, QString* url, QString* failure) const
{
    const QString address = viewItemUrl(id);
    if (url)
        *url = address;
    const UrlSourceResult page = fetchUrlSource(address, true);
    m_failedUrl = page.failed() ? address : QString();
    m_failure = page.failure;
    if (failure)
        *failure = page.failure;
    return page.text;
}

ItemPageResult ItemPageReader::parse(CBidItem& item, const QString& url, const QString& pageText,
                                     ItemsLock* lock, int lockWaitMs) const
{
    ItemPageResult result;
    result.url = url;
    if (pageText.isEmpty() && !m_failure.isEmpty() && url == m_failedUrl)
        result.downloadFailure = m_failure;
    const QString text = cutDescription(pageText, m_descriptionKeyword, m_readyBidKeyword);
    if (lock && !lock->lock(lockWaitMs)) {
        result.error = StringTable::text(204);
        return result;
    }
    result.success = ParseItemPage(item, text, m_profile, result.minBid, result.error);
    if (lock)
        lock->unlock();
    return result;
}

ItemPageResult ItemPageReader::read(CBidItem& item, const QString& id, ItemsLock* lock,
                                    int lockWaitMs) const
{
    QString url;
    const QString text = download(id, &url);
    return parse(item, url, text, lock, lockWaitMs);
}
