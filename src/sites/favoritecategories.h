#pragma once

#include "app/imainwindow.h"

#include <QList>
#include <QString>

class Registry;
class SiteSettings;

// The user's favourite category pages: the "Favorites" section of the per-user settings
// (`count`, then one subsection "Favorites\<i>" per entry with `text`, `url` and `id`, in
// display order). The internal browser adds the category page it shows and lists the
// entries in its drop-down; the options page reorders, edits and deletes them. Every change
// is written to the settings at once.
//
// Thread contract: window thread only (it reads and writes the per-user settings the
// options sheet and the browser share).
class FavoriteCategories
{
public:
    static constexpr int kMaxCount = 20;
    static constexpr auto kSection = "Favorites";

    struct Entry
    {
        QString text; // "Unknown" when the stored entry has none
        QString url;
        QString id;
    };

    enum class Result
    {
        NoCategory, // the page names no category: nothing happens
        Duplicate,  // the category is a favourite already (string 280)
        Full,       // the list holds kMaxCount entries (string 420)
        NoTitle,    // no title could be found: nothing is added, nothing shown
        Added       // string 281
    };

    struct AddOutcome
    {
        Result result = Result::NoCategory;
        QString url;    // the favourite's address, once a category number was found
        QString title;  // the title the entry got (Added)
        int index = -1; // the entry added, or the one that holds the address already

        // The text to show the user; empty when nothing is shown.
        QString message() const;
        // The box to show it in: a warning for a duplicate, information otherwise.
        IMainWindow::Icon icon() const;
    };

    explicit FavoriteCategories(Registry& user);

    // The stored count within 0..kMaxCount; a count outside is logged once per object.
    int count() const;
    QList<Entry> entries() const;
    // The entry at `index`; an empty entry outside 0..count()-1.
    Entry entry(int index) const;

    // The category number of a page: the digits right after "/category" in its address,
    // else those after the last "/category" in its HTML; empty when neither has digits.
    // `fromAddress` (may be null) tells which one gave it.
    static QString categoryNumber(const QString& address, const QString& html,
                                  bool* fromAddress = nullptr);
    // The title of a category page: the document title when the number came from the
    // address or the address holds "sacat", else keywordLineTitle().
    static QString categoryTitle(const QString& address, bool numberFromAddress,
                                 const QString& bodyText, const QString& documentTitle,
                                 const QString& keyword);
    // From the first line of `bodyText` (lines joined by "\r\n") that holds `keyword`: the
    // text between the keyword and the next ">" trimmed, "...", then the line from its last
    // ">" on. "..." alone for a line without ">"; empty when no line holds the keyword.
    static QString keywordLineTitle(const QString& bodyText, const QString& keyword);
    // The current site's category address (`%s_URL_Category`) for `number`; empty when the
    // site has none.
    static QString categoryAddress(const SiteSettings& sites, const QString& number);

    // The browser's "add to favourites": the page's address, HTML, body text and document
    // title, with the current site's values from `sites`.
    AddOutcome addShownCategory(const QString& address, const QString& html,
                                const QString& bodyText, const QString& documentTitle,
                                const SiteSettings& sites);

    // Exchange the entry with the one before (after) it. False at the ends.
    bool moveUp(int index);
    bool moveDown(int index);
    // Deletes the entry; the ones after it move down one place. False outside the list.
    bool remove(int index);
    // Writes the title and address of the entry. False outside the list.
    bool save(int index, const QString& text, const QString& url);

    // "Favorites\<index>".
    static QString entrySection(int index);

private:
    Entry readEntry(int index) const;
    int indexOfUrl(const QString& url) const;
    void exchange(int first, int second);
    void moveSection(int from, int to);
    void setCount(int count);

    Registry& m_user;
    mutable bool m_countReported = false;
};
