#pragma once

#include <QString>
#include <QStringList>

class SiteSettings;

// One site's search commands from its profile: the search and basic search addresses and
// the two token lists the search address is built from (K0 to K10 from Search_Key, L0 and
// L1 from Search_Key2). A plain value: copy it to any thread.
struct SearchCommands
{
    // Token positions in `keys` and `keys2`.
    enum Key
    {
        CategoryName, // K0: the category parameter and select list
        TitleAndDesc, // K1
        Keywords,     // K2, one %s
        Exclude,      // K3, one %s
        WordOption,   // K4, one integer
        BuyItNow,     // K5
        PriceMin,     // K6, one integer
        PriceMax,     // K7, one integer
        ItemCount,    // K8, one integer
        Seller,       // K9, one %s
        SortOrder,    // K10, two integers
        KeyCount
    };
    enum Key2
    {
        LocationInName, // L0: parameter and select list of "Items located in"
        LocationToName, // L1: of "Items available to"
        Key2Count
    };

    QString searchUrl;      // %s_URL_Search: "%s" takes the search host prefix
    QString basicSearchUrl; // %s_URL_SearchBasic
    QStringList keys;
    QStringList keys2;

    // The current site's commands. Logs string 469 when either token list is empty.
    static SearchCommands fromSites(const SiteSettings& sites);
    // The tokens of a list value: each ends with ";"; text after the last ";" is not one.
    static QStringList tokens(const QString& list);

    bool hasKey(int index) const { return index >= 0 && index < keys.size(); }
    bool hasKey2(int index) const { return index >= 0 && index < keys2.size(); }
    // Both lists non-empty: the site can be searched at all.
    bool isUsable() const { return !keys.isEmpty() && !keys2.isEmpty(); }
};
