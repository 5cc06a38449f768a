#include "search/savedsearches.h"

#include "app/registry.h"
#include "app/stringtable.h"

#include <QRegularExpression>
#include <algorithm>

namespace {

const QString kIndex = QString::fromLatin1(SavedSearches::kSection);
const QString kCount = QStringLiteral("count");
const QString kPath = QStringLiteral("SearchPath%1");

// The highest N of the stored "SearchPath<N>" values: a count beyond it names nothing, so
// a damaged count of two thousand million costs nothing.
int highestStoredIndex(const Registry& user)
{
    static const QRegularExpression name(QStringLiteral("^SearchPath(\\d{1,9})$"));
    int highest = 0;
    for (const QString& value : user.valueNames(kIndex)) {
        const QRegularExpressionMatch match = name.match(value);
        if (match.hasMatch())
            highest = std::max(highest, match.captured(1).toInt());
    }
    return highest;
}

} // namespace

SavedSearches::SavedSearches(Registry& user) : m_user(user) {}

QString SavedSearches::sectionOf(const QString& name)
{
    QString escaped = name.toCaseFolded();
    escaped.replace(QLatin1Char('%'), QLatin1String("%25"))
        .replace(QLatin1Char('/'), QLatin1String("%2F"))
        .replace(QLatin1Char('\\'), QLatin1String("%5C"));
    return kIndex + QLatin1Char('\\') + escaped;
}

QStringList SavedSearches::names() const
{
    const int count = std::min(m_user.readInt(kIndex, kCount, 0), highestStoredIndex(m_user));
    QStringList names;
    for (int i = 1; i <= count; ++i) {
        const QString name = m_user.readStr(kIndex, kPath.arg(i));
        if (!nameProblem(name).isEmpty() || indexOfIn(names, name) >= 0)
            continue;
        names << name;
    }
    return names;
}

int SavedSearches::indexOf(const QString& name) const
{
    return indexOfIn(names(), name);
}

int SavedSearches::indexOfIn(const QStringList& names, const QString& name)
{
    for (qsizetype i = 0; i < names.size(); ++i) {
        if (names.at(i).compare(name, Qt::CaseInsensitive) == 0)
            return static_cast<int>(i);
    }
    return -1;
}

QString SavedSearches::nameProblem(const QString& name)
{
    return name.trimmed().isEmpty() ? StringTable::text(362) : QString();
}

void SavedSearches::writeIndex(const QStringList& names)
{
    const int stale = highestStoredIndex(m_user);
    for (qsizetype i = 0; i < names.size(); ++i)
        m_user.writeStr(kIndex, kPath.arg(i + 1), names.at(i));
    for (int i = static_cast<int>(names.size()) + 1; i <= stale; ++i)
        m_user.removeValue(kIndex, kPath.arg(i));
    m_user.writeInt(kIndex, kCount, static_cast<int>(names.size()));
}

bool SavedSearches::save(const QString& name, const SearchCriteria& c)
{
    if (!nameProblem(name).isEmpty())
        return false;
    const QString section = sectionOf(name);
    m_user.writeStr(section, QStringLiteral("keywords"), c.keywords);
    m_user.writeStr(section, QStringLiteral("exclude"), c.exclude);
    m_user.writeStr(section, QStringLiteral("seller"), c.seller);
    m_user.writeInt(section, QStringLiteral("rangemin"), c.rangeMin);
    m_user.writeInt(section, QStringLiteral("rangemax"), c.rangeMax);
    m_user.writeInt(section, QStringLiteral("finditems"), c.findItems);
    m_user.writeInt(section, QStringLiteral("settitle"), c.titleAndDescription ? 1 : 0);
    m_user.writeInt(section, QStringLiteral("setbuynow"), c.buyItNowOnly ? 1 : 0);
    m_user.writeStr(section, QStringLiteral("category0"), c.category);
    m_user.writeStr(section, QStringLiteral("locationin"), c.locationIn);
    m_user.writeStr(section, QStringLiteral("locationto"), c.locationTo);
    m_user.writeInt(section, QStringLiteral("searchprop"), c.sort);
    m_user.writeInt(section, QStringLiteral("optionsprop"), c.wordOption);
    m_user.writeInt(section, QStringLiteral("informsearch"), c.informAtStart ? 1 : 0);
    QStringList index = names();
    if (indexOfIn(index, name) < 0) {
        index << name;
        writeIndex(index);
    }
    m_user.sync();
    return true;
}

std::optional<SearchCriteria> SavedSearches::load(const QString& name) const
{
    if (indexOf(name) < 0)
        return std::nullopt;
    const QString section = sectionOf(name);
    SearchCriteria c;
    c.keywords = m_user.readStr(section, QStringLiteral("keywords")).left(c.kMaxWordsLength);
    c.exclude = m_user.readStr(section, QStringLiteral("exclude")).left(c.kMaxWordsLength);
    c.seller = m_user.readStr(section, QStringLiteral("seller"));
    // The form's fields take no negative numbers; neither does the address.
    c.rangeMin = std::max(0, m_user.readInt(section, QStringLiteral("rangemin"), 0));
    c.rangeMax = std::max(0, m_user.readInt(section, QStringLiteral("rangemax"), 0));
    c.findItems = std::max(
        0, m_user.readInt(section, QStringLiteral("finditems"), SearchCriteria::kDefaultItemCount));
    c.titleAndDescription = m_user.readInt(section, QStringLiteral("settitle"), 0) != 0;
    c.buyItNowOnly = m_user.readInt(section, QStringLiteral("setbuynow"), 0) != 0;
    c.category = m_user.readStr(section, QStringLiteral("category0"));
    c.locationIn = m_user.readStr(section, QStringLiteral("locationin"));
    c.locationTo = m_user.readStr(section, QStringLiteral("locationto"));
    const int sort = m_user.readInt(section, QStringLiteral("searchprop"), 0);
    c.sort = sort >= 0 && sort < SearchCriteria::SortCount ? sort : 0;
    const int option = m_user.readInt(section, QStringLiteral("optionsprop"), 0);
    c.wordOption = option >= 0 && option < SearchCriteria::WordOptionCount ? option : 0;
    c.informAtStart = m_user.readInt(section, QStringLiteral("informsearch"), 0) != 0;
    return c;
}

bool SavedSearches::remove(int position)
{
    QStringList index = names();
    if (position < 0 || position >= index.size())
        return false;
    // Another spelling of the name has the same subsection; an empty name never gets here,
    // so the whole index section is never taken for a search's.
    m_user.removeSection(sectionOf(index.at(position)));
    index.removeAt(position);
    writeIndex(index);
    m_user.sync();
    return true;
}
