#include "web/urlsource.h"

#include "app/appcontext.h"
#include "app/imainwindow.h"
#include "app/stringtable.h"
#include "web/downloadcounter.h"
#include "web/downloadoptions.h"
#include "web/htmldocument.h"
#include "web/httptransfer.h"
#include "web/iinternetaccess.h"
#include "web/pagecharset.h"

namespace {

constexpr int kLoggedUrlLength = 70;

void showStatus(const QString& text, int level)
{
    AppContext::logMessage(text, level);
    if (AppContext* app = AppContext::current()) {
        if (IMainWindow* window = app->mainWindow())
            window->setStatusText(text);
    }
}

void logError(const QString& text)
{
    AppContext::logWrite(StringTable::text(435), ProgramLog::Error);
    AppContext::logWrite(text, ProgramLog::Error);
}

// A numbered text with its one "%s" filled in.
QString formatted(int id, const QString& value)
{
    return QString::asprintf(StringTable::text(id).toUtf8().constData(),
                             value.toUtf8().constData());
}

// A password written into an address stays out of the log.
QString loggable(const QString& url)
{
    const QUrl parsed(url);
    if (parsed.isValid() && !parsed.password().isEmpty())
        return parsed.toString(QUrl::RemovePassword);
    return url;
}

bool isPlainHttp(const QUrl& url)
{
    return url.isValid() && url.scheme() == QLatin1String("http") && !url.host().isEmpty();
}

// Text mode renders pages only; an image or a download is not a page.
bool isPageType(const QByteArray& contentType)
{
    const QByteArray type = contentType.split(';').first().trimmed().toLower();
    return type.isEmpty() || type.startsWith("text/") || type.endsWith("+xml") ||
           type.endsWith("/xml") || type == "application/xhtml+xml";
}

struct Credentials
{
    bool use = false;
    QString user;
    QString password;
};

Credentials credentialsOf(const AppSettings& settings)
{
    Credentials credentials;
    credentials.use = settings.useProxyPass != 0;
    credentials.user = settings.proxyUser;
    credentials.password = settings.proxyPass;
    return credentials;
}

} // namespace

bool IsOffline()
{
    IInternetAccess* access = IInternetAccess::current();
    return access && access->isOffline();
}

QString getUrlSource(const QString& url, bool asText)
{
    return fetchUrlSource(url, asText).text;
}

UrlSourceResult fetchUrlSource(const QString& url, bool asText)
{
    UrlSourceResult result;
    DownloadCounter counting;
    if (asText) {
        AppContext::logWrite(QStringLiteral("url: %1...").arg(loggable(url).left(kLoggedUrlLength)),
                             ProgramLog::Info);
    }
    if (IInternetAccess* access = IInternetAccess::current()) {
        if (!access->ensureConnection()) {
            result.failure = StringTable::text(186);
            showStatus(result.failure, ProgramLog::Error);
            return result;
        }
        if (access->isOffline() && !access->goOnline(url)) {
            result.failure = StringTable::text(224);
            showStatus(result.failure, ProgramLog::Error);
            return result;
        }
    }

    HttpTransfer::Request request;
    request.url = QUrl(url.trimmed());
    if (!isPlainHttp(request.url)) {
        logError(formatted(523, loggable(url)));
        result.failure = QStringLiteral("only plain http:// addresses are read");
        return result;
    }
    if (asText)
        request.maxBytes = DownloadOptions::maxPageBytes();
    // One copy of the settings for the whole download: the window thread may store new
    // ones meanwhile.
    const AppContext* app = AppContext::current();
    const std::shared_ptr<const AppSettings> settings =
        app ? app->settingsSnapshot() : std::make_shared<const AppSettings>();
    request.proxy = HttpTransfer::proxyOf(*settings);

    // One more send with the settings' credentials after 401 or 407; wrong credentials
    // get the same answer again and end in the error branch.
    const Credentials credentials = credentialsOf(*settings);
    HttpTransfer::Response response = HttpTransfer::perform(request);
    bool triedServer = false;
    bool triedProxy = false;
    while (!response.transportFailed() && credentials.use) {
        if (response.status == 407 && !triedProxy) {
            triedProxy = true;
            request.proxyUser = credentials.user;
            request.proxyPassword = credentials.password;
        } else if (response.status == 401 && !triedServer) {
            triedServer = true;
            request.user = credentials.user;
            request.password = credentials.password;
        } else {
            break;
        }
        response = HttpTransfer::perform(request);
    }

    if (response.transportFailed()) {
        logError(QStringLiteral("Error url: (%1) %2").arg(response.error).arg(response.errorText));
        showStatus(formatted(249, loggable(url)), ProgramLog::Error);
        result.failure = response.errorText;
        return result;
    }
    if (response.status != 200) {
        const QString status = QStringLiteral("%1 %2")
                                   .arg(response.status)
                                   .arg(QString::fromLatin1(response.statusText))
                                   .trimmed();
        logError(QStringLiteral("getUrlSource: Error status ") + status);
        result.failure = QStringLiteral("HTTP status ") + status;
        return result;
    }
    if (!asText) {
        result.text = PageCharset::decode(response.body, response.contentType);
        return result;
    }
    if (!isPageType(response.contentType)) {
        result.failure =
            QStringLiteral("not a page (%1)").arg(QString::fromLatin1(response.contentType));
        logError(QStringLiteral("getUrlSource: %1 is %2")
                     .arg(loggable(url).left(kLoggedUrlLength), result.failure));
        return result;
    }
    const auto document =
        HtmlDocument::fromBytes(response.body, response.contentType, response.finalUrl);
    if (document->refused()) {
        result.failure = HtmlDocument::refusalText();
        logError(QStringLiteral("getUrlSource: %1: %2")
                     .arg(loggable(url).left(kLoggedUrlLength), result.failure));
        return result;
    }
    result.text = document->bodyText();
    return result;
}
