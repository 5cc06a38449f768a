#include "search/searchcriteria.h"

std::pair<int, int> SearchCriteria::sortParameters(int sort)
{
    switch (sort) {
    case NewlyListed:
        return {2, 2};
    case LowestPriceFirst:
        return {3, 1};
    case HighestPriceFirst:
        return {3, 2};
    default:
        return {1, 1};
    }
}
