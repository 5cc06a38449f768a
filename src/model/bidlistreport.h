#pragma once

#include <QJsonObject>
#include <QString>
#include <QStringList>

class CBidsDoc;
class QTextStream;

// `gavelind list`: the folders and items of a list file for support and scripting, and
// the rewrite of an old list in the newest layout.
class BidListReport
{
public:
    static QString usage();

    // `FILE [--json]` or `FILE --rewrite OUT`. Exit status 0, 1 when the file cannot be
    // read or written, 2 for wrong arguments.
    static int run(const QStringList& arguments, QTextStream& out, QTextStream& err);

    // One object: "folders" and "items", in file order.
    static QJsonObject json(const CBidsDoc& doc);
    static QString text(const CBidsDoc& doc);
};
