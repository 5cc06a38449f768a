#pragma once

#include <QObject>
#include <QSet>
#include <QString>
#include <QUrl>
#include <QtGlobal>
#include <atomic>

class HtmlDocument;

// How one save of an item page went.
struct ItemPageSaveResult
{
    bool success = false;
    // FOLDER/ITEMNUMBER; empty when the item number cannot name a folder.
    QString folder;
    // Why the save failed, in words for the user; empty on success.
    QString error;
    // Pictures and scripts saved beside the page, and those the page keeps fetching from
    // the web (their download failed, or the limits below were reached).
    int filesSaved = 0;
    int filesLeft = 0;
};

// Saves an item page for the user: the page as "index.html" in FOLDER/ITEMNUMBER with the
// sources of its <img> and <script> elements beside it, the page pointing at those copies.
// Every file name is made from the source's last path part and can never leave the folder;
// a source that was not saved gets its full web address, so the copy still shows it online.
// Only http and https sources are fetched, never with the user's site credentials.
//
// A hostile page cannot keep a save running for hours: at most Limits::maxFiles sources are
// fetched, each up to maxFileBytes and all together up to maxTotalBytes, and no download
// starts after maxSeconds (one running then still ends within its own time-outs).
//
// Threads: save() blocks for as long as its downloads take, minutes against a slow site, so
// it never runs on the window thread. The owner makes the saver, connects finished() and
// moves it to a WorkerThread; save() then runs there in posted jobs, one after the other,
// and each result comes back queued through finished(). abort() is the one call any thread
// may make: the save in progress gives up at its next download, later saves at once. Tests
// may call save() on their own thread.
class ItemPageSaver : public QObject
{
    Q_OBJECT
public:
    static constexpr auto kPageName = "index.html";

    struct Limits
    {
        int maxFiles = 200;
        qint64 maxFileBytes = 8 * 1024 * 1024;
        qint64 maxTotalBytes = 64 * 1024 * 1024;
        int maxSeconds = 300;
    };

    ItemPageSaver() = default;

    // Before the saver goes to its thread.
    void setLimits(const Limits& limits) { m_limits = limits; }
    // Downloads the page at `url` (the program's own page download) and saves it into
    // `folder`/`itemNumber` (trailing white space removed; the folder may exist), then emits
    // finished() with the result it returns.
    ItemPageSaveResult save(const QString& url, const QString& itemNumber, const QString& folder);
    void abort() { m_abort.store(true); }

    // The folder name of an item: the number without trailing white space, with path
    // separators and control characters replaced; empty when nothing usable is left.
    static QString folderName(const QString& itemNumber);
    // A file name for `source`: the last part of its path (query and fragment dropped),
    // reduced to letters, digits, ".", "-" and "_", not starting with "."; numbered when a
    // name of `taken` (compared ignoring case) has it already. Added to `taken`.
    static QString localName(const QUrl& source, QSet<QString>& taken);

Q_SIGNALS:
    void finished(const ItemPageSaveResult& result);

private:
    struct Edit
    {
        qsizetype at;
        qsizetype length;
        QByteArray text;
    };

    ItemPageSaveResult saveInto(const QString& url, const QString& itemNumber,
                                ItemPageSaveResult result);
    QList<Edit> saveSources(const HtmlDocument& document, const QByteArray& source,
                            const QString& folder, ItemPageSaveResult& result);
    bool fetch(const QUrl& url, qint64 maxBytes, QByteArray& body);

    Limits m_limits;
    std::atomic<bool> m_abort{false};
};

namespace Utils {
// Saves the item page at `url` into "`folder`/`itemNumber`" on the calling thread; see
// ItemPageSaver.
bool saveURLSource(const QString& url, const QString& itemNumber, const QString& folder);
} // namespace Utils
