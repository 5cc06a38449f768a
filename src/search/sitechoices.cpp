#include "search/sitechoices.h"

int SiteChoiceList::indexOfValue(const QString& value) const
{
    return qMax(0, static_cast<int>(values.indexOf(value)));
}
