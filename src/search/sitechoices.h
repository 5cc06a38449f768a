#pragma once

#include <QString>
#include <QStringList>

// The site's own choices for the three select lists of the search form (categories,
// "Items located in", "Items available to"), read from its basic search page.
struct SiteChoiceList
{
    // Option texts (shown) and option values (sent and saved), in the page's order.
    QStringList texts;
    QStringList values;
    // The page had a select list of that name.
    bool found = false;

    // The entry whose value is `value`; 0 (the first) when none has it.
    int indexOfValue(const QString& value) const;
};

struct SiteChoices
{
    static constexpr auto kLocationInDefault = "-15";
    static constexpr auto kLocationToDefault = "999";

    // The basic search page was loaded.
    bool loaded = false;
    SiteChoiceList categories;
    SiteChoiceList locationIn;
    SiteChoiceList locationTo;
};
