#pragma once

#include <QString>
#include <QStringList>

// The words a user (or the autostart entry, or a browser) gives the program.
struct CommandLine
{
    bool minimize = false; // "minimize" anywhere: start in the tray
    bool exit = false;     // "exit" anywhere: ask the running copy to quit
    QString addUrl;        // --add URL or gavelin:URL: add the item page shown in a browser

    // `arguments` without the program name.
    static CommandLine parse(const QStringList& arguments);
    // The page address of "gavelin:" + the percent-encoded address (what the bookmarklet
    // and the URL handler give); any other text unchanged.
    static QString itemAddress(const QString& text);
};
