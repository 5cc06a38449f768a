#include "sites/favoritecategories.h"

#include "app/appcontext.h"
#include "app/registry.h"
#include "app/stringtable.h"
#include "sites/sitesettings.h"

namespace {

const QString kFavorites = QString::fromLatin1(FavoriteCategories::kSection);
const QString kCount = QStringLiteral("count");
const QString kText = QStringLiteral("text");
const QString kUrl = QStringLiteral("url");
const QString kId = QStringLiteral("id");
const QString kCategory = QStringLiteral("/category");

// The ASCII digits at `from` in `text`.
QString digitsAt(const QString& text, qsizetype from)
{
    qsizetype end = from;
    while (end < text.size() && text.at(end) >= QLatin1Char('0') &&
           text.at(end) <= QLatin1Char('9'))
        ++end;
    return text.mid(from, end - from);
}

} // namespace

QString FavoriteCategories::AddOutcome::message() const
{
    switch (result) {
    case Result::Duplicate:
        return StringTable::text(280);
    case Result::Full:
        return StringTable::text(420);
    case Result::Added:
        return StringTable::text(281);
    case Result::NoCategory:
    case Result::NoTitle:
        break;
    }
    return QString();
}

IMainWindow::Icon FavoriteCategories::AddOutcome::icon() const
{
    return result == Result::Duplicate ? IMainWindow::Icon::Warning
                                       : IMainWindow::Icon::Information;
}

FavoriteCategories::FavoriteCategories(Registry& user) : m_user(user) {}

QString FavoriteCategories::entrySection(int index)
{
    return kFavorites + QLatin1Char('\\') + QString::number(index);
}

int FavoriteCategories::count() const
{
    const int stored = m_user.readInt(kFavorites, kCount, 0);
    const int count = qBound(0, stored, kMaxCount);
    if (count != stored && !m_countReported) {
        m_countReported = true;
        AppContext::logMessage(QStringLiteral("Favorites: the stored count %1 is outside 0 to %2; "
                                              "%3 are used.")
                                   .arg(stored)
                                   .arg(kMaxCount)
                                   .arg(count),
                               ProgramLog::Warning);
    }
    return count;
}

FavoriteCategories::Entry FavoriteCategories::entry(int index) const
{
    return index >= 0 && index < count() ? readEntry(index) : Entry{};
}

FavoriteCategories::Entry FavoriteCategories::readEntry(int index) const
{
    const QString section = entrySection(index);
    return Entry{m_user.readStr(section, kText, QStringLiteral("Unknown")),
                 m_user.readStr(section, kUrl), m_user.readStr(section, kId)};
}

QList<FavoriteCategories::Entry> FavoriteCategories::entries() const
{
    QList<Entry> list;
    const int n = count();
    for (int i = 0; i < n; ++i)
        list << readEntry(i);
    return list;
}

QString FavoriteCategories::categoryNumber(const QString& address, const QString& html,
                                           bool* fromAddress)
{
    if (fromAddress)
        *fromAddress = false;
    const qsizetype inAddress = address.indexOf(kCategory);
    if (inAddress >= 0) {
        const QString number = digitsAt(address, inAddress + kCategory.size());
        if (!number.isEmpty()) {
            if (fromAddress)
                *fromAddress = true;
            return number;
        }
        // An address that names no number leaves the page to tell it.
    }
    const qsizetype inHtml = html.lastIndexOf(kCategory);
    return inHtml >= 0 ? digitsAt(html, inHtml + kCategory.size()) : QString();
}

QString FavoriteCategories::keywordLineTitle(const QString& bodyText, const QString& keyword)
{
    if (keyword.isEmpty())
        return QString();
    for (QStringView line : QStringView(bodyText).split(QStringView(u"\r\n"))) {
        const qsizetype at = line.indexOf(keyword);
        if (at < 0)
            continue;
        const qsizetype last = line.lastIndexOf(QLatin1Char('>'));
        if (last < 0)
            return QStringLiteral("...");
        // The head ends at the first ">" after the keyword: one earlier on the line (a
        // breadcrumb before it) would leave nothing between them.
        const qsizetype start = at + keyword.size();
        const qsizetype gt = line.indexOf(QLatin1Char('>'), start);
        const QStringView head = gt >= 0 ? line.mid(start, gt - start) : QStringView();
        return head.trimmed().toString() + QStringLiteral("...") + line.mid(last).toString();
    }
    return QString();
}

QString FavoriteCategories::categoryTitle(const QString& address, bool numberFromAddress,
                                          const QString& bodyText, const QString& documentTitle,
                                          const QString& keyword)
{
    if (numberFromAddress || address.contains(QLatin1String("sacat")))
        return documentTitle;
    return keywordLineTitle(bodyText, keyword);
}

QString FavoriteCategories::categoryAddress(const SiteSettings& sites, const QString& number)
{
    QString address = sites.lookup(QStringLiteral("%s_URL_Category"));
    if (address.isEmpty() || address == QLatin1String("NOTAVAIL"))
        return QString();
    // Plain replacement: the number and the address are never format strings.
    return address.replace(QLatin1String("%s"), number);
}

FavoriteCategories::AddOutcome FavoriteCategories::addShownCategory(const QString& address,
                                                                    const QString& html,
                                                                    const QString& bodyText,
                                                                    const QString& documentTitle,
                                                                    const SiteSettings& sites)
{
    AddOutcome outcome;
    bool fromAddress = false;
    const QString number = categoryNumber(address, html, &fromAddress);
    if (number.isEmpty())
        return outcome;
    outcome.url = categoryAddress(sites, number);
    if (outcome.url.isEmpty()) {
        AppContext::logWrite(QStringLiteral("Favorites: the site %1 has no category address.")
                                 .arg(sites.currentSite()),
                             ProgramLog::Warning);
        return outcome;
    }
    outcome.index = indexOfUrl(outcome.url);
    if (outcome.index >= 0) {
        outcome.result = Result::Duplicate;
        return outcome;
    }
    const int n = count();
    if (n >= kMaxCount) {
        outcome.result = Result::Full;
        return outcome;
    }
    outcome.title = categoryTitle(address, fromAddress, bodyText, documentTitle,
                                  sites.lookup(QStringLiteral("%s_KeyWord_Category")));
    if (outcome.title.isEmpty()) {
        outcome.result = Result::NoTitle;
        return outcome;
    }
    // A subsection left past the count (a count lowered by hand) must not lend its values.
    const QString section = entrySection(n);
    m_user.removeSection(section);
    m_user.writeStr(section, kText, outcome.title);
    m_user.writeStr(section, kUrl, outcome.url);
    setCount(n + 1);
    outcome.index = n;
    outcome.result = Result::Added;
    return outcome;
}

int FavoriteCategories::indexOfUrl(const QString& url) const
{
    const int n = count();
    for (int i = 0; i < n; ++i) {
        if (m_user.readStr(entrySection(i), kUrl).compare(url, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

bool FavoriteCategories::moveUp(int index)
{
    if (index <= 0 || index >= count())
        return false;
    exchange(index, index - 1);
    m_user.sync();
    return true;
}

bool FavoriteCategories::moveDown(int index)
{
    if (index < 0 || index >= count() - 1)
        return false;
    exchange(index, index + 1);
    m_user.sync();
    return true;
}

void FavoriteCategories::exchange(int first, int second)
{
    const QString a = entrySection(first);
    const QString b = entrySection(second);
    for (const QString& key : {kText, kUrl, kId}) {
        const bool inA = m_user.contains(a, key);
        const bool inB = m_user.contains(b, key);
        const QString valueA = m_user.readStr(a, key);
        const QString valueB = m_user.readStr(b, key);
        // A missing value stays missing where it goes ("Unknown" rather than an empty title).
        if (inB)
            m_user.writeStr(a, key, valueB);
        else
            m_user.removeValue(a, key);
        if (inA)
            m_user.writeStr(b, key, valueA);
        else
            m_user.removeValue(b, key);
    }
}

void FavoriteCategories::moveSection(int from, int to)
{
    const QString source = entrySection(from);
    const QString target = entrySection(to);
    m_user.removeSection(target);
    for (const QString& name : m_user.valueNames(source))
        m_user.writeStr(target, name, m_user.readStr(source, name));
}

bool FavoriteCategories::remove(int index)
{
    const int n = count();
    if (index < 0 || index >= n)
        return false;
    for (int i = index + 1; i < n; ++i)
        moveSection(i, i - 1);
    m_user.removeSection(entrySection(n - 1));
    setCount(n - 1);
    return true;
}

bool FavoriteCategories::save(int index, const QString& text, const QString& url)
{
    if (index < 0 || index >= count())
        return false;
    const QString section = entrySection(index);
    m_user.writeStr(section, kText, text);
    m_user.writeStr(section, kUrl, url);
    m_user.sync();
    return true;
}

void FavoriteCategories::setCount(int count)
{
    m_user.writeInt(kFavorites, kCount, count);
    m_user.sync();
}
