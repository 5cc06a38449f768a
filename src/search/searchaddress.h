#pragma once

#include "search/searchcommands.h"
#include "search/searchcriteria.h"

#include <QString>
#include <QStringList>

// Builds the site's search address from the search commands and the form's values: the
// search address with its host prefix, then the tokens in their order, each formatted with
// the value it takes.
//
// Values the user typed (keywords, words to exclude, seller) and the list values are
// encoded as a browser encodes a form, so that "&", "#", "=", "+" or a space in them stay
// part of the value; the tokens are used exactly as the profile has them.
class SearchAddress
{
public:
    enum class Use
    {
        // The form: the category and location parts only for a list that offers a choice.
        Interactive,
        // A saved search at start-up: the category part always, both location parts
        // whenever the site has location tokens.
        StartupCheck,
    };
    // For the interactive search: which of the form's lists has an entry chosen among
    // more than one.
    struct ListChoices
    {
        bool category = false;
        bool locationIn = false;
        bool locationTo = false;
    };
    struct Result
    {
        QString url;
        // Not empty when the address could not be built: what was missing.
        QString error;
        bool ok() const { return error.isEmpty(); }
    };

    static Result build(const SearchCommands& commands, const SearchCriteria& criteria, Use use,
                        ListChoices choices);
    // No list offers a choice (the start-up check, or a search without the site's lists).
    static Result build(const SearchCommands& commands, const SearchCriteria& criteria, Use use);

    // `pattern` with its conversions ("%s", "%d", "%i", "%u") replaced in order by
    // `arguments` (a missing one by nothing) and "%%" by "%"; any other "%" stays. Never
    // reads more arguments than it has, whatever the pattern holds.
    static QString fill(const QString& pattern, const QStringList& arguments = {});
    // UTF-8, percent-encoded as a form value: letters, digits and "*-._" stay, a space
    // becomes "+".
    static QString encodeValue(const QString& value);
};
