#pragma once

#include <QString>
#include <utility>

// The values of the search form: what one search asks the site for, and what a saved
// search keeps. The three list values are the option values the site's basic search page
// gave, not the texts shown.
struct SearchCriteria
{
    static constexpr int kMaxWordsLength = 256;
    static constexpr int kDefaultItemCount = 30;

    // The sort choices, in the order the form lists them.
    enum Sort
    {
        EndingSoonest,
        NewlyListed,
        LowestPriceFirst,
        HighestPriceFirst,
        SortCount
    };
    // The keyword choices, in the order the form lists them.
    enum WordOption
    {
        AllWords,
        AnyWord,
        ExactPhrase,
        WordOptionCount
    };

    QString keywords;
    QString exclude;
    QString seller;
    int rangeMin = 0; // 0: not set
    int rangeMax = 0;
    int findItems = kDefaultItemCount;
    bool titleAndDescription = false;
    bool buyItNowOnly = false;
    QString category;
    QString locationIn;
    QString locationTo;
    int sort = EndingSoonest;
    int wordOption = AllWords;
    bool informAtStart = false;

    // The two numbers the site's sort parameter takes for `sort` (ending soonest 1 and 1,
    // newly listed 2 and 2, lowest price 3 and 1, highest price 3 and 2).
    static std::pair<int, int> sortParameters(int sort);
};
