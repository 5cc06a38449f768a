#pragma once

#include <QString>
#include <functional>

class CBidsDoc;

// Which list is loaded at start-up: the autosave copy left by an abnormal end, else the
// last recent file, else "List1.bid" in the documents folder if the user wants it, else a
// new empty list.
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

    static Source load(CBidsDoc& doc, const AskYesNo& askYesNo);
};
