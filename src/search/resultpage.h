#pragma once

#include "search/resultclassnames.h"
#include "search/searchresult.h"

#include <QString>

class HtmlDocument;
class HtmlElement;

// Reads the site's result page: the first element whose class is the result list's, taken
// as a table; each row after the heading is a result when its check box cell carries an
// item number.
class ResultPage
{
public:
    // Item numbers are at most this long, so that they compare as numbers.
    static constexpr int kMaxItemIdLength = 19;

    static SearchPageReading read(const HtmlDocument& document, const ResultClassNames& names);
    // Downloads `url` and reads it; `loaded` is false when no page came.
    static SearchPageReading load(const QString& url, const ResultClassNames& names);
    // The result of one row; an empty item number when the row is none.
    static SearchResult readRow(const HtmlElement& row, const ResultClassNames& names);
    // How many elements of the page have class `className` (case ignored).
    static int countClass(const HtmlDocument& document, const QString& className);
};
