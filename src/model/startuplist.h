#pragma once

#include <QString>
#include <functional>

class CBidsDoc;

// Which list is loaded at start-up: the autosave copy left by an abnormal end (which
// takes back the path of the list it was a copy of, and says so in the message list),
// else the last recent file, else "List1.bid" in the documents folder if the user wants
// it, else a new empty list (under the name "List1.bid" when the user chose to replace it).
class StartupList
{
public:
    enum class Source
    {
        Autosave,
        AutosaveCorrupted,
        RecentFile,
        RecentFileFailed,
        DefaultList,
        DefaultListFailed,
        NewList,
    };

    // Asks a Yes/No question; true for Yes.
    using AskYesNo = std::function<bool(const QString& question)>;

    static QString defaultListQuestion();
    static QString defaultListName() { return QStringLiteral("List1.bid"); }
    // The message list's note after a recovery; `origin` is the recovered list's file.
    static QString recoveredText(const QString& origin);

    static Source load(CBidsDoc& doc, const AskYesNo& askYesNo);
};
