#pragma once

#include <QString>
#include <QStringList>

// Finds the word a user most likely meant when a gavelind command line has a typo.
namespace CommandMatcher {

// The candidate nearest to `word` (letters swapped, missing, extra or wrong, ignoring case,
// or an unambiguous start of at least three letters); empty when none is near enough to
// be worth suggesting.
QString closest(const QString& word, const QStringList& candidates);

} // namespace CommandMatcher
