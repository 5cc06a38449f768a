#pragma once

#include "search/searchcommands.h"
#include "search/sitechoices.h"

class HtmlDocument;

// The site's basic search page: its select lists named by the tokens K0 (categories), L0
// and L1 (locations) give the search form's three site lists.
class BasicSearchPage
{
public:
    // Logs strings 470, 471 and 472 for a list the page does not have.
    static SiteChoices read(const HtmlDocument& document, const SearchCommands& commands);
    // Downloads the commands' basic search page and reads it; nothing when either token
    // list is empty.
    static SiteChoices load(const SearchCommands& commands);
};
