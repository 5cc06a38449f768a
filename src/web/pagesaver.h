#pragma once

#include <QByteArray>
#include <QHash>
#include <QSet>
#include <QString>
#include <QUrl>

class HeadlessBrowser;
class HtmlDocument;

// Saves an item page for the user: the page as "index.html" in a folder named after the
// item, with its images and scripts beside it and the page pointing at those copies.
class PageSaver
{
public:
    static constexpr auto kPageName = "index.html";

    PageSaver(const QString& url, const QString& itemNumber, const QString& folder);

    // False (logged) when the folder cannot be made, the page cannot be loaded or written.
    bool save();
    // The folder the page goes to; empty when the item number cannot name a folder.
    QString targetFolder() const { return m_target; }

    // A file name for `source` in the target folder: the address's last part, cleaned so
    // that it can neither leave the folder nor replace the page or an earlier file.
    static QString localName(const QUrl& source, QSet<QString>& taken);

private:
    bool loadPage(HeadlessBrowser& browser);
    void saveResources(const HtmlDocument& document, QByteArray& page);

    QString m_url;
    QString m_itemNumber;
    QString m_target;
};

namespace Utils {
// Saves the page at `url` into "<folder>/<itemNumber>"; see PageSaver.
bool saveURLSource(const QString& url, const QString& itemNumber, const QString& folder);
} // namespace Utils
