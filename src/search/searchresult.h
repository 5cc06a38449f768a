#pragma once

#include <QList>
#include <QString>

// One auction of the site's result page, as the page wrote it.
struct SearchResult
{
    QString itemId;
    QString title;
    QString price;
    QString bids;
    QString timeLeft;
    QString shipping;
    // The bids cell was empty: a Buy It Now offer, shown with "*" after the bids text.
    bool noBids = false;

    // The bids column's text.
    QString bidsText() const { return noBids ? bids + QLatin1Char('*') : bids; }
};

// What a result page held.
struct SearchPageReading
{
    // The address was loaded and gave a page.
    bool loaded = false;
    // The page had the result table.
    bool hasTable = false;
    QList<SearchResult> results;
    // Rows after the heading that were not results (no item number, or not a number).
    int skippedRows = 0;
};
