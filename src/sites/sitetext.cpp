#include "sites/sitetext.h"

QStringList SplitLines(QStringView text, QStringView delimiter)
{
    QStringList pieces;
    if (delimiter.isEmpty()) {
        if (!text.isEmpty())
            pieces << text.toString();
        return pieces;
    }
    qsizetype start = 0;
    while (start <= text.size()) {
        qsizetype end = text.indexOf(delimiter, start);
        if (end < 0)
            end = text.size();
        if (end > start)
            pieces << text.mid(start, end - start).toString();
        start = end + delimiter.size();
    }
    return pieces;
}

QString StripSpaces(const QString& text)
{
    QString stripped = text.trimmed();
    stripped.remove(QChar(' '));
    return stripped;
}
