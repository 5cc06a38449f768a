#include "web/pagesaver.h"

#include "app/appcontext.h"
#include "app/stringtable.h"
#include "web/downloadoptions.h"
#include "web/headlessbrowser.h"
#include "web/htmldocument.h"
#include "web/httptransfer.h"
#include "web/iinternetaccess.h"
#include "web/pagecharset.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QTimer>
#include <algorithm>

namespace {

constexpr int kMaxNameLength = 100;

void logError(const QString& text)
{
    AppContext::logWrite(text, ProgramLog::Error);
}

// An item number names a folder only when it cannot climb out of the parent folder.
QString folderName(const QString& itemNumber)
{
    QString name = itemNumber;
    while (!name.isEmpty() && name.back().isSpace())
        name.chop(1);
    for (QChar& c : name) {
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c.unicode() < 0x20)
            c = QLatin1Char('_');
    }
    if (name.trimmed().isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return QString();
    return name;
}

bool writeFile(const QString& path, const QByteArray& bytes, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(bytes) != bytes.size()) {
        *error = file.errorString();
        return false;
    }
    return true;
}

} // namespace

PageSaver::PageSaver(const QString& url, const QString& itemNumber, const QString& folder)
    : m_url(url), m_itemNumber(itemNumber)
{
    const QString name = folderName(itemNumber);
    if (!name.isEmpty())
        m_target = QDir(folder).filePath(name);
}

QString PageSaver::localName(const QUrl& source, QSet<QString>& taken)
{
    const QString address = source.toString(QUrl::FullyEncoded);
    QString name = address.mid(address.lastIndexOf(QLatin1Char('/')) + 1);
    for (QChar& c : name) {
        const bool plain = (c >= QLatin1Char('a') && c <= QLatin1Char('z')) ||
                           (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) ||
                           (c >= QLatin1Char('0') && c <= QLatin1Char('9')) ||
                           c == QLatin1Char('.') || c == QLatin1Char('-') || c == QLatin1Char('_');
        if (!plain)
            c = QLatin1Char('_');
    }
    while (name.startsWith(QLatin1Char('.')))
        name.remove(0, 1);
    name = name.left(kMaxNameLength);
    if (name.isEmpty())
        name = QStringLiteral("file");
    if (name.compare(QLatin1String(kPageName), Qt::CaseInsensitive) == 0)
        name.prepend(QLatin1Char('_'));
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const QString stem = dot > 0 ? name.left(dot) : name;
    const QString suffix = dot > 0 ? name.mid(dot) : QString();
    QString unique = name;
    for (int n = 2; taken.contains(unique.toLower()); ++n)
        unique = QStringLiteral("%1_%2%3").arg(stem).arg(n).arg(suffix);
    taken.insert(unique.toLower());
    return unique;
}

bool PageSaver::loadPage(HeadlessBrowser& browser)
{
    QEventLoop loop;
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&browser, &HeadlessBrowser::documentComplete, &loop, &QEventLoop::quit);
    QObject::connect(&guard, &QTimer::timeout, &loop, &QEventLoop::quit);
    guard.start(DownloadOptions::transferTimeoutMs() + DownloadOptions::timeoutMs());
    browser.navigate(m_url);
    if (browser.isBusy())
        loop.exec();
    if (browser.isBusy()) {
        browser.stop();
        logError(QStringLiteral("Utils::saveURLSource: %1 did not load in time")
                     .arg(QUrl(m_url).toString(QUrl::RemovePassword)));
        return false;
    }
    if (browser.lastStatus() == 0) {
        logError(QStringLiteral("Utils::saveURLSource: %1").arg(browser.lastError()));
        return false;
    }
    return true;
}

void PageSaver::saveResources(const HtmlDocument& document, QByteArray& page)
{
    QSet<QString> taken{QString::fromLatin1(kPageName)};
    QHash<QUrl, QString> saved;
    QList<QPair<QByteArray, QByteArray>> replacements;
    QList<HtmlElement> elements = document.elementsByTagName(QStringLiteral("img"));
    elements += document.elementsByTagName(QStringLiteral("script"));
    for (const HtmlElement& element : elements) {
        const QUrl source = element.url(QStringLiteral("src"));
        if (!source.isValid() || !source.scheme().startsWith(QLatin1String("http")))
            continue;
        QString name = saved.value(source);
        if (name.isEmpty()) {
            name = localName(source, taken);
            saved.insert(source, name);
            HttpTransfer::Request request;
            request.url = source;
            request.proxy = HttpTransfer::settingsProxy();
            const HttpTransfer::Response response = HttpTransfer::perform(request);
            QString ignored;
            if (!response.transportFailed() && response.status == 200)
                writeFile(QDir(m_target).filePath(name), response.body, &ignored);
        }
        // The address as the page writes it, in the page's own bytes.
        QByteArray written = element.sourceAttribute(QStringLiteral("src"));
        if (written.isEmpty())
            continue;
        written = PageCharset::encode(QString::fromUtf8(written), document.charset());
        QByteArray local = name.toUtf8();
        const char quote = written.front();
        if (quote == '"' || quote == '\'') {
            local = quote + local + quote;
        } else {
            written.prepend('=');
            local.prepend('=');
        }
        const bool known = std::any_of(replacements.cbegin(), replacements.cend(),
                                       [&](const auto& r) { return r.first == written; });
        if (!known)
            replacements.append({written, local});
    }
    // Through placeholders, so that a new name is never mistaken for an address.
    for (qsizetype i = 0; i < replacements.size(); ++i)
        page.replace(replacements[i].first, "\x01" + QByteArray::number(i) + "\x01");
    for (qsizetype i = 0; i < replacements.size(); ++i)
        page.replace("\x01" + QByteArray::number(i) + "\x01", replacements[i].second);
}

bool PageSaver::save()
{
    if (m_target.isEmpty()) {
        logError(
            QStringLiteral("Utils::saveURLSource: '%1' cannot name a folder").arg(m_itemNumber));
        return false;
    }
    if (!QDir().mkpath(m_target)) {
        logError(QStringLiteral("Utils::saveURLSource: cannot create %1").arg(m_target));
        return false;
    }
    if (IInternetAccess* access = IInternetAccess::current()) {
        if (!access->ensureConnection())
            return false;
    }
    AppContext::logWrite(QString::asprintf(StringTable::text(524).toUtf8().constData(),
                                           m_itemNumber.trimmed().toUtf8().constData(),
                                           m_target.toUtf8().constData()),
                         ProgramLog::Info);

    HeadlessBrowser browser;
    if (!loadPage(browser))
        return false;
    const QString pagePath = QDir(m_target).filePath(QString::fromLatin1(kPageName));
    QString error;
    if (!writeFile(pagePath, browser.document()->rawBytes(), &error)) {
        logError(error);
        return false;
    }
    QFile file(pagePath);
    if (!file.open(QIODevice::ReadOnly)) {
        // The page stays as saved; writing back an empty text would lose it.
        logError(file.errorString());
        logError(StringTable::text(481));
        return false;
    }
    QByteArray page = file.readAll();
    file.close();
    saveResources(*browser.document(), page);
    if (!writeFile(pagePath, page, &error)) {
        logError(error);
        return false;
    }
    return true;
}

bool Utils::saveURLSource(const QString& url, const QString& itemNumber, const QString& folder)
{
    return PageSaver(url, itemNumber, folder).save();
}
