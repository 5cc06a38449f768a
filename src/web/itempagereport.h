#pragma once

#include <QJsonObject>
#include <QStringList>

class CBidItem;
class QTextStream;
struct ItemPageResult;

// `gavelind parse-item [--site NAME] [--text|--body-text] FILE|URL`: reads a saved page or
// downloads one and prints what the item page parser makes of it, for support and for
// checking a site's new wording.
class ItemPageReport
{
public:
    // `arguments` are the words after "parse-item". 0 when the page parsed, 1 when the
    // parser failed (the JSON says why), 2 for bad arguments or an unreadable page.
    static int run(const QStringList& arguments, QTextStream& out, QTextStream& err);

    // The parser's verdict and the item's fields under their report names.
    static QJsonObject toJson(const CBidItem& item, const ItemPageResult& result);

    // A saved body text; lines ended by "\n" alone count as "\r\n".
    static QString bodyTextOfText(const QByteArray& text);
};
