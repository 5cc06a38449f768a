#include "search/resultclassnames.h"

#include "app/registry.h"

ResultClassNames ResultClassNames::read(const Registry& machine)
{
    ResultClassNames names;
    const QString section = QStringLiteral("Sites\\Commands");
    const struct
    {
        const char* key;
        QString ResultClassNames::*field;
    } values[] = {
        {"ebList", &ResultClassNames::list},       {"ebItem", &ResultClassNames::item},
        {"ebItem2", &ResultClassNames::itemInput}, {"ebTitle", &ResultClassNames::title},
        {"ebBid", &ResultClassNames::bids},        {"ebPrice", &ResultClassNames::price},
        {"ebShip", &ResultClassNames::shipping},   {"ebShip2", &ResultClassNames::shippingOld},
        {"ebTime", &ResultClassNames::timeLeft},
    };
    for (const auto& value : values) {
        const QString stored = machine.readStr(section, QLatin1String(value.key)).trimmed();
        if (!stored.isEmpty())
            names.*value.field = stored;
    }
    return names;
}
