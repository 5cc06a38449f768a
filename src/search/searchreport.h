#pragma once

#include <QStringList>

class QTextStream;
class Registry;
class SiteSettings;

// `gavelind search [--site NAME] WORDS... [--json]`: runs the Search Service's search for
// the words without a window and prints the auctions found (number, price, bids, time
// left, title), so that a search can be tried or scripted.
class SearchReport
{
public:
    // `arguments` are the words after "search". 0 when auctions were found, 1 when the
    // page listed none, 2 for bad arguments, a site that cannot be searched or no page.
    static int run(const QStringList& arguments, SiteSettings& sites, Registry& machine,
                   QTextStream& out, QTextStream& err);
};
