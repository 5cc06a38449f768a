#pragma once

#include "search/searchcriteria.h"

#include <QString>
#include <QStringList>
#include <optional>

class Registry;

// The user's saved searches: the index ("SearchSave": `count` and "SearchPath1" to
// "SearchPath<count>", the names in the order the form lists them) and one subsection per
// search with the form's values.
//
// Names are compared ignoring case, as the index always did; the subsection of a name is
// the same for every spelling of it. A "\" or "/" in a name would open a deeper
// subsection and is kept escaped in the subsection's name. An index that is damaged (a
// count past the stored names, gaps, empty names) reads as the names it does hold and is
// written back whole on the next change.
class SavedSearches
{
public:
    static constexpr auto kSection = "SearchSave";

    explicit SavedSearches(Registry& user);

    // The names in index order.
    QStringList names() const;
    // Position in names() of `name` (case ignored); -1 when absent.
    int indexOf(const QString& name) const;

    // Not empty: the text to show instead of saving (string 362 for an empty name).
    static QString nameProblem(const QString& name);
    // Writes the values, and adds the name to the index unless it is there in any case.
    // False for a name with a problem.
    bool save(const QString& name, const SearchCriteria& criteria);
    // The values saved under `name`, defaults where one is missing; nothing when the index
    // does not hold the name.
    std::optional<SearchCriteria> load(const QString& name) const;
    // Deletes the search at `position` of names() with its values; the names after it move
    // up one place. False for a position outside the index.
    bool remove(int position);

    // The subsection that holds the values of `name`.
    static QString sectionOf(const QString& name);

private:
    static int indexOfIn(const QStringList& names, const QString& name);
    void writeIndex(const QStringList& names);

    Registry& m_user;
};
