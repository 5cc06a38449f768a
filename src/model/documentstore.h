#pragma once

#include <QString>

class CBidsDoc;

// Opening and saving the bid list, the silent save and the autosave copy. Every
// operation reports the text to show through `message`; nothing is shown here. Folders
// and settings come from the document's ListEnvironment. Window thread only.
class DocumentStore
{
public:
    static constexpr qint64 kMaxFileSize = qint64(1) << 30;

    explicit DocumentStore(CBidsDoc& doc) : m_doc(doc) {}

    // The open dialog's filter, default extension and starting folder (`InitDir`).
    static QString fileFilter();
    static QString defaultExtension() { return QStringLiteral("bid"); }
    QString openDialogFolder() const;
    // Stores the chosen path as `InitDir`.
    void rememberOpenDialogPath(const QString& path);

    // Before the open dialog: the text to show when bids are running (nothing may be
    // opened then), else empty.
    QString openRefusal() const;
    // Reads `path` into the document, takes its path and puts it first in the recent
    // files. A file that cannot be opened leaves the list as it was; one that cannot be
    // read leaves a new empty list ("Open auctions" and "Closed auctions").
    bool open(const QString& path, QString* message = nullptr);
    // A recent-file entry: opened and moved to the top, or dropped from the list.
    bool openRecent(const QString& path, QString* message = nullptr);

    // Writes the list to `path` (temporary file renamed into place), takes the path and,
    // unless it is the autosave copy, adds it to the recent files and drops the autosave
    // copy, which is older now.
    bool save(const QString& path, QString* message = nullptr);
    // Closing, opening another list or exiting: no question when `autoSaveList` is on or
    // the save-silently flag is set.
    bool wantsSilentSave() const;
    // Saves to the list's path, or to the documents folder under its title plus ".bid";
    // a list without a path never replaces a file there but takes the next free number
    // ("List2.bid" when "List1.bid" exists).
    bool saveSilently(QString* message = nullptr);
    QString silentSavePath() const;

    // The autosave timer: "autosave.dat" in the data folder, with the record of the list
    // file it is a copy of beside it; the modified flag is kept, so the copy never counts
    // as saving the user's list.
    bool autosave(QString* message = nullptr);

    // Reads `path` into the document without touching path, recent files or views.
    bool readFile(const QString& path, QString* reason);
    // A new empty list after a failed read.
    void resetToNewList();
    // After a read: built-in folders back if missing, not modified, "Open auctions"
    // selected, tree and list rebuilt.
    void finishLoad();

    static QString openFailureText(const QString& path, const QString& reason);
    static QString saveFailureText(const QString& path, const QString& reason);

private:
    // After a save or when another list replaces this one: the autosave copy is out of date.
    void dropAutosaveCopy();
    bool isAutosaveCopy(const QString& path) const;

    CBidsDoc& m_doc;
};
