#pragma once

#include "search/searchresult.h"
#include "sites/siteconventions.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

class CBidFolder;
class CBidsDoc;

// How the checked results become bids.
struct FoundItemsOptions
{
    enum class MaxPrice
    {
        // Each item's current price plus the site's increment for it.
        CurrentPlusIncrement,
        // One typed price for all; a Buy It Now offer takes its own price.
        Typed,
    };
    MaxPrice maxPrice = MaxPrice::CurrentPlusIncrement;
    float typedPrice = 0.0f;
    // Active instead of Not active (never for a Buy It Now offer).
    bool setActive = false;
    // The folder chosen by name.
    QString folderName;
};

struct FoundItemsOutcome
{
    int added = 0;
    int duplicates = 0;
    // Rows left out because their price could not be read.
    int unreadable = 0;
    CBidFolder* folder = nullptr;
    bool folderCreated = false;
    // The lock could not be had: rows after the first that could not be added are left.
    bool lockTimedOut = false;
};

// Turns checked search results into bids of the document: the target folder (created as
// "Found items" when missing), the duplicate check against open-type folders and the
// maximum price rules. Takes the items lock for each change.
class FoundItems
{
public:
    FoundItems(CBidsDoc& doc, QString siteName, SiteConventions conventions);

    // "Found items" first unless a folder has that name, then every folder's name.
    static QStringList folderChoices(const CBidsDoc& doc);

    FoundItemsOutcome add(const QList<SearchResult>& checked, const FoundItemsOptions& options);

    // A row's maximum price by the options; nothing when its price cannot be read and the
    // rule needs it.
    std::optional<float> maxPriceFor(const SearchResult& row,
                                     const FoundItemsOptions& options) const;

private:
    CBidFolder* targetFolder(const QString& name, bool* created);

    CBidsDoc& m_doc;
    QString m_siteName;
    SiteConventions m_conventions;
};
