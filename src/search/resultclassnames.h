#pragma once

#include <QString>

class Registry;

// The class names that mark the site's result table and its cells, and the name of the
// check box input that carries the item number. Kept machine-wide in "Sites\Commands" so
// that a settings update can follow the site's page; read at each use.
struct ResultClassNames
{
    QString list = QStringLiteral("ebItemlist single");
    QString item = QStringLiteral("ebcCpr");
    QString itemInput = QStringLiteral("coitem");
    QString title = QStringLiteral("ebcTtl");
    QString bids = QStringLiteral("ebcBid");
    QString price = QStringLiteral("ebcPr");
    QString shipping = QStringLiteral("ebcShpNew");
    QString shippingOld = QStringLiteral("ebcShp");
    QString timeLeft = QStringLiteral("ebcTim");

    // The stored names; the defaults above for those absent or empty (an empty class name
    // would match every element without a class).
    static ResultClassNames read(const Registry& machine);
};
