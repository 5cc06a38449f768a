#pragma once

#include "sitestyle.h"

#include <string>
#include <utility>
#include <vector>

// The keywords, form names and URLs a sniper's site profile needs to read this site, in the
// order a profile lists them. The keyword texts are the ones the pages are written around;
// the URLs point at this site for a given base address.
class ProfileTable
{
public:
    using Entries = std::vector<std::pair<std::string, std::string>>;

    // Keyword and Other_ values (everything but the URLs and search tokens).
    static Entries keywords(Language language);
    static std::string keyword(Language language, const std::string& key);
    // URL_ values, Other_Months and Search_ values for this site at `baseUrl`
    // ("http://127.0.0.1:PORT", no trailing slash).
    static Entries urls(Language language, const std::string& baseUrl);
    // Every per-site value: keywords, then URLs.
    static Entries all(Language language, const std::string& baseUrl);
    // The form and field names shared by all sites (registry key Sites\Commands).
    static Entries commands();

    // Site names the sniper uses for the two built-in tables.
    static const char* siteName(Language language);
};
