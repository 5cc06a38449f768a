#include "app/commandline.h"

#include <QUrl>

QString CommandLine::itemAddress(const QString& text)
{
    const QString trimmed = text.trimmed();
    if (!trimmed.startsWith(QLatin1String("gavelin:"), Qt::CaseInsensitive))
        return trimmed;
    // The bookmarklet and the links encode the whole page address as one component.
    return QUrl::fromPercentEncoding(trimmed.mid(8).toUtf8()).trimmed();
}

CommandLine CommandLine::parse(const QStringList& arguments)
{
    CommandLine result;
    QStringList words;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        if (argument == QLatin1String("--add") && i + 1 < arguments.size()) {
            result.addUrl = itemAddress(arguments.at(++i));
            continue;
        }
        if (argument.startsWith(QLatin1String("--add="))) {
            result.addUrl = itemAddress(argument.mid(6));
            continue;
        }
        if (argument.startsWith(QLatin1String("gavelin:"), Qt::CaseInsensitive)) {
            // The URL scheme handler passes "gavelin:<item page address>".
            result.addUrl = itemAddress(argument);
            continue;
        }
        words << argument;
    }
    // The words count wherever they stand; an item address is kept out of that search so
    // that a page address containing "exit" never closes the program.
    const QString line = words.join(' ');
    result.minimize = line.contains(QLatin1String("minimize"), Qt::CaseInsensitive);
    result.exit = line.contains(QLatin1String("exit"), Qt::CaseInsensitive);
    return result;
}
