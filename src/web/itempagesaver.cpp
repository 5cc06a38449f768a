#include "web/itempagesaver.h"

#include "app/appcontext.h"
#include "app/stringtable.h"
#include "web/attributelimiter.h"
#include "web/downloadcounter.h"
#include "web/downloadoptions.h"
#include "web/htmldocument.h"
#include "web/httptransfer.h"
#include "web/nestinglimiter.h"
#include "web/pagecharset.h"
#include "web/urlsource.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QHash>
#include <QSaveFile>
#include <QStringEncoder>
#include <algorithm>
#include <cstring>
#include <gumbo.h>

namespace {

constexpr int kMaxNameLength = 100;
constexpr int kMaxSuffixLength = 10;

void logError(const QString& text)
{
    AppContext::logWrite(text, ProgramLog::Error);
}

bool isPlainNameChar(QChar c)
{
    return (c >= QLatin1Char('a') && c <= QLatin1Char('z')) ||
           (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) ||
           (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('.') ||
           c == QLatin1Char('-') || c == QLatin1Char('_');
}

bool writeFile(const QString& path, const QByteArray& bytes, QString* error)
{
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit())
        return true;
    if (error)
        *error = file.errorString();
    return false;
}

// Where `piece`, a part of the start tag of `element`, stands in `source`: the bytes the
// document was parsed from. -1 when they differ there, so nothing is ever edited blind.
qsizetype sourceOffset(const GumboElement& element, const GumboStringPiece& piece,
                       const QByteArray& source)
{
    if (!element.original_tag.data || element.original_tag.length == 0 || !piece.data ||
        piece.length == 0)
        return -1;
    const qsizetype at =
        qsizetype(element.start_pos.offset) + qsizetype(piece.data - element.original_tag.data);
    const qsizetype length = qsizetype(piece.length);
    if (at < 0 || at > source.size() - length ||
        std::memcmp(source.constData() + at, piece.data, size_t(length)) != 0)
        return -1;
    return at;
}

QByteArray quotedAddress(const QUrl& url)
{
    QByteArray address = url.toEncoded();
    address.replace('&', "&amp;");
    return '"' + address + '"';
}

// The page in the charset its meta tag declares; an undeclared page in UTF-8 with the byte
// order mark, so that a browser reading the file cannot take it for another charset.
QByteArray forDisk(const QByteArray& utf8)
{
    const QByteArray charset = PageCharset::declared(QByteArray(), utf8);
    if (charset.isEmpty())
        return QByteArray("\xEF\xBB\xBF") + utf8;
    if (!PageCharset::isUtf8(charset) &&
        (PageCharset::isWindows1252(charset) || QStringEncoder(charset.constData()).isValid()))
        return PageCharset::encode(QString::fromUtf8(utf8), charset);
    return utf8;
}

} // namespace

QString ItemPageSaver::folderName(const QString& itemNumber)
{
    QString name = itemNumber;
    while (!name.isEmpty() && name.back().isSpace())
        name.chop(1);
    for (QChar& c : name) {
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c.unicode() < 0x20 ||
            c.unicode() == 0x7f)
            c = QLatin1Char('_');
    }
    if (name.trimmed().isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return QString();
    return name;
}

QString ItemPageSaver::localName(const QUrl& source, QSet<QString>& taken)
{
    const QString path = source.path(QUrl::FullyEncoded);
    QString name =
        QUrl::fromPercentEncoding(path.mid(path.lastIndexOf(QLatin1Char('/')) + 1).toUtf8());
    for (QChar& c : name) {
        if (!isPlainNameChar(c))
            c = QLatin1Char('_');
    }
    while (name.startsWith(QLatin1Char('.')))
        name.remove(0, 1);
    qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot <= 0 || name.size() - dot > kMaxSuffixLength)
        dot = name.size();
    QString stem = name.left(dot).left(kMaxNameLength - kMaxSuffixLength);
    const QString suffix = name.mid(dot);
    if (stem.isEmpty())
        stem = QStringLiteral("file");
    QString unique = stem + suffix;
    for (int n = 2; taken.contains(unique.toLower()); ++n)
        unique = QStringLiteral("%1_%2%3").arg(stem).arg(n).arg(suffix);
    taken.insert(unique.toLower());
    return unique;
}

ItemPageSaveResult ItemPageSaver::save(const QString& url, const QString& itemNumber,
                                       const QString& folder)
{
    ItemPageSaveResult result;
    const QString name = folderName(itemNumber);
    if (folder.trimmed().isEmpty()) {
        result.error = tr("No folder was chosen for the page.");
    } else if (name.isEmpty()) {
        result.error = tr("\"%1\" cannot name a folder.").arg(itemNumber.trimmed());
    } else {
        result.folder = QDir(folder).filePath(name);
        result = saveInto(url, itemNumber.trimmed(), std::move(result));
    }
    if (!result.success)
        logError(QStringLiteral("Utils::saveURLSource: ") + result.error);
    Q_EMIT finished(result);
    return result;
}

ItemPageSaveResult ItemPageSaver::saveInto(const QString& url, const QString& itemNumber,
                                           ItemPageSaveResult result)
{
    const QString target = result.folder;
    const bool existed = QDir(target).exists();
    if (!QDir().mkpath(target)) {
        result.error = tr("The folder %1 cannot be created.").arg(target);
        return result;
    }
    AppContext::logWrite(QString::asprintf(StringTable::text(524).toUtf8().constData(),
                                           itemNumber.toUtf8().constData(),
                                           target.toUtf8().constData()),
                         ProgramLog::Info);

    UrlSourceResult page;
    if (!m_abort.load())
        page = fetchUrlSource(url, false);
    if (page.failed() || m_abort.load()) {
        // A folder made for this page goes again; one that was there stays.
        if (!existed)
            QDir().rmdir(target);
        result.error = tr("The item page %1 could not be downloaded (%2).")
                           .arg(url, page.failed() ? page.failure : tr("stopped"));
        return result;
    }

    // The bytes the document is parsed from, so that its source positions point into them.
    QByteArray source = NestingLimiter::limit(AttributeLimiter::limit(page.text.toUtf8()));
    const HtmlDocument document(page.text, QUrl(url));
    QList<Edit> edits = saveSources(document, source, target, result);
    std::sort(edits.begin(), edits.end(), [](const Edit& a, const Edit& b) { return a.at < b.at; });
    QByteArray saved;
    saved.reserve(source.size());
    qsizetype done = 0;
    for (const Edit& edit : edits) {
        if (edit.at < done)
            continue; // overlapping edits cannot come from distinct attributes
        saved.append(source.constData() + done, edit.at - done);
        saved.append(edit.text);
        done = edit.at + edit.length;
    }
    saved.append(source.constData() + done, source.size() - done);

    QString error;
    if (!writeFile(QDir(target).filePath(QString::fromLatin1(kPageName)), forDisk(saved), &error)) {
        result.error = tr("%1 could not be written in %2 (%3).")
                           .arg(QString::fromLatin1(kPageName), target, error);
        return result;
    }
    if (result.filesLeft > 0) {
        AppContext::logWrite(
            QStringLiteral(
                "Utils::saveURLSource: %1 pictures and scripts saved, %2 left on the web")
                .arg(result.filesSaved)
                .arg(result.filesLeft),
            ProgramLog::Warning);
    }
    result.success = true;
    return result;
}

QList<ItemPageSaver::Edit> ItemPageSaver::saveSources(const HtmlDocument& document,
                                                      const QByteArray& source,
                                                      const QString& folder,
                                                      ItemPageSaveResult& result)
{
    QList<Edit> edits;
    // A <base> in the copy would send the local names back to the site.
    for (const HtmlElement& base : document.elementsByTagName(QStringLiteral("base"))) {
        const GumboElement& element = base.node()->v.element;
        const qsizetype at = sourceOffset(element, element.original_tag, source);
        if (at >= 0)
            edits.append({at, qsizetype(element.original_tag.length), QByteArray()});
    }

    const QDeadlineTimer deadline(qint64(m_limits.maxSeconds) * 1000);
    qint64 totalBytes = 0;
    QSet<QString> taken{QString::fromLatin1(kPageName)};
    // Each source once: its local name, or empty when the page keeps its web address.
    QHash<QUrl, QString> names;
    QList<HtmlElement> elements = document.elementsByTagName(QStringLiteral("img"));
    elements += document.elementsByTagName(QStringLiteral("script"));
    for (const HtmlElement& element : elements) {
        const GumboElement& tag = element.node()->v.element;
        const GumboAttribute* src = gumbo_get_attribute(&tag.attributes, "src");
        if (!src)
            continue;
        const QUrl url = element.url(QStringLiteral("src")).adjusted(QUrl::RemoveFragment);
        const QString scheme = url.scheme().toLower();
        if (!url.isValid() || url.host().isEmpty() ||
            (scheme != QLatin1String("http") && scheme != QLatin1String("https")))
            continue;
        const qsizetype at = sourceOffset(tag, src->original_value, source);
        if (at < 0)
            continue;

        auto known = names.constFind(url);
        if (known == names.constEnd()) {
            QString name;
            const qint64 room =
                std::min({m_limits.maxFileBytes, m_limits.maxTotalBytes - totalBytes,
                          DownloadOptions::maxBytes()});
            QByteArray body;
            if (result.filesSaved < m_limits.maxFiles && room > 0 && !deadline.hasExpired() &&
                fetch(url, room, body)) {
                name = localName(url, taken);
                if (writeFile(QDir(folder).filePath(name), body, nullptr)) {
                    ++result.filesSaved;
                    totalBytes += body.size();
                } else {
                    name.clear();
                }
            }
            if (name.isEmpty())
                ++result.filesLeft;
            known = names.insert(url, name);
        }
        const QByteArray text = known->isEmpty() ? quotedAddress(url) : '"' + known->toUtf8() + '"';
        edits.append({at, qsizetype(src->original_value.length), text});
    }
    return edits;
}

bool ItemPageSaver::fetch(const QUrl& url, qint64 maxBytes, QByteArray& body)
{
    if (m_abort.load())
        return false;
    DownloadCounter counting;
    HttpTransfer::Request request;
    request.url = url;
    request.maxBytes = maxBytes;
    request.abort = &m_abort;
    // The proxy's credentials only: the user's site password goes to no picture host.
    const AppContext* app = AppContext::current();
    const std::shared_ptr<const AppSettings> settings =
        app ? app->settingsSnapshot() : std::make_shared<const AppSettings>();
    request.proxy = HttpTransfer::proxyOf(*settings);
    if (!request.proxy.isEmpty() && settings->useProxyPass != 0) {
        request.proxyUser = settings->proxyUser;
        request.proxyPassword = settings->proxyPass;
    }
    const HttpTransfer::Response response = HttpTransfer::perform(request);
    if (response.transportFailed() || response.status != 200)
        return false;
    body = response.body;
    return true;
}

bool Utils::saveURLSource(const QString& url, const QString& itemNumber, const QString& folder)
{
    return ItemPageSaver().save(url, itemNumber, folder).success;
}
