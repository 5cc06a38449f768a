#include "web/httptransfer.h"

#include "app/appcontext.h"
#include "web/cookiejar.h"
#include "web/downloadoptions.h"

#include <cstring>
#include <curl/curl.h>
#include <memory>
#include <mutex>

namespace {

struct TransferState
{
    QByteArray body;
    QByteArray statusLine;
    qint64 maxBytes = 0;
    bool tooLarge = false;
    const std::atomic<bool>* abort = nullptr;
    bool aborted = false;
};

size_t writeBody(char* data, size_t size, size_t count, void* user)
{
    auto* state = static_cast<TransferState*>(user);
    const size_t bytes = size * count;
    if (state->body.size() + static_cast<qint64>(bytes) > state->maxBytes) {
        state->tooLarge = true;
        return 0;
    }
    state->body.append(data, static_cast<qsizetype>(bytes));
    return bytes;
}

size_t readHeader(char* data, size_t size, size_t count, void* user)
{
    auto* state = static_cast<TransferState*>(user);
    const size_t bytes = size * count;
    const QByteArray line = QByteArray(data, static_cast<qsizetype>(bytes)).trimmed();
    // Each answer of a redirect chain starts with its status line; keep the last one.
    if (line.startsWith("HTTP/"))
        state->statusLine = line;
    return bytes;
}

int checkAbort(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
{
    auto* state = static_cast<TransferState*>(user);
    if (state->abort && state->abort->load()) {
        state->aborted = true;
        return 1;
    }
    return 0;
}

QByteArray statusText(const QByteArray& statusLine)
{
    // "HTTP/1.1 404 Not Found": the words after the code.
    const qsizetype first = statusLine.indexOf(' ');
    if (first < 0)
        return QByteArray();
    const qsizetype second = statusLine.indexOf(' ', first + 1);
    return second < 0 ? QByteArray() : statusLine.mid(second + 1).trimmed();
}

using EasyHandle = std::unique_ptr<CURL, decltype(&curl_easy_cleanup)>;
using HeaderList = std::unique_ptr<curl_slist, decltype(&curl_slist_free_all)>;

} // namespace

void HttpTransfer::initialiseLibrary()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_ALL); });
}

QString HttpTransfer::proxyOf(const AppSettings& settings)
{
    if (!settings.useProxy || settings.proxyAddress.trimmed().isEmpty())
        return QString();
    QString proxy = settings.proxyAddress.trimmed();
    if (!settings.proxyPort.trimmed().isEmpty())
        proxy += ':' + settings.proxyPort.trimmed();
    return proxy;
}

QString HttpTransfer::settingsProxy()
{
    // The published copy: the options sheet may be storing new values meanwhile.
    const AppContext* app = AppContext::current();
    return app ? proxyOf(*app->settingsSnapshot()) : QString();
}

HttpTransfer::Response HttpTransfer::perform(const Request& request)
{
    initialiseLibrary();
    Response response;
    EasyHandle easy(curl_easy_init(), &curl_easy_cleanup);
    if (!easy) {
        response.error = CURLE_FAILED_INIT;
        response.errorText = QStringLiteral("cannot create a transfer handle");
        return response;
    }
    CURL* h = easy.get();
    TransferState state;
    state.maxBytes = request.maxBytes > 0 ? request.maxBytes : DownloadOptions::maxBytes();
    state.abort = request.abort;
    char errorBuffer[CURL_ERROR_SIZE] = {};

    const QByteArray url = request.url.toEncoded();
    const QByteArray proxy = request.proxy.toUtf8();
    const QByteArray user = request.user.toUtf8();
    const QByteArray password = request.password.toUtf8();
    const QByteArray proxyUser = request.proxyUser.toUtf8();
    const QByteArray proxyPassword = request.proxyPassword.toUtf8();
    const long timeoutMs = DownloadOptions::timeoutMs();

    HeaderList headers(nullptr, &curl_slist_free_all);
    auto addHeader = [&headers](const QByteArray& line) {
        headers.reset(curl_slist_append(headers.release(), line.constData()));
    };
    addHeader("Accept: */*");
    addHeader("User-Agent: Microsoft Internet Explorer");
    if (!request.contentType.isEmpty())
        addHeader("Content-Type: " + request.contentType);

    curl_easy_setopt(h, CURLOPT_URL, url.constData());
    curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(h, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(h, CURLOPT_ERRORBUFFER, errorBuffer);
    curl_easy_setopt(h, CURLOPT_HTTPHEADER, headers.get());
    curl_easy_setopt(h, CURLOPT_ACCEPT_ENCODING, "");
    curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, request.followRedirects ? 1L : 0L);
    curl_easy_setopt(h, CURLOPT_MAXREDIRS, 10L);
    curl_easy_setopt(h, CURLOPT_COOKIEFILE, "");
    if (request.cookies && request.cookies->share())
        curl_easy_setopt(h, CURLOPT_SHARE, request.cookies->share());
    if (!request.referer.isEmpty())
        curl_easy_setopt(h, CURLOPT_REFERER, request.referer.constData());
    // An empty proxy turns off the environment's proxy variables too.
    curl_easy_setopt(h, CURLOPT_PROXY, proxy.constData());

    curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT_MS, timeoutMs);
    curl_easy_setopt(h, CURLOPT_TIMEOUT_MS,
                     static_cast<long>(DownloadOptions::transferTimeoutMs()));
    curl_easy_setopt(h, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(h, CURLOPT_LOW_SPEED_TIME, qMax(1L, (timeoutMs + 999) / 1000));

    curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, &writeBody);
    curl_easy_setopt(h, CURLOPT_WRITEDATA, &state);
    curl_easy_setopt(h, CURLOPT_HEADERFUNCTION, &readHeader);
    curl_easy_setopt(h, CURLOPT_HEADERDATA, &state);
    curl_easy_setopt(h, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(h, CURLOPT_XFERINFOFUNCTION, &checkAbort);
    curl_easy_setopt(h, CURLOPT_XFERINFODATA, &state);

    if (request.method == "POST") {
        curl_easy_setopt(h, CURLOPT_POST, 1L);
        curl_easy_setopt(h, CURLOPT_POSTFIELDSIZE_LARGE,
                         static_cast<curl_off_t>(request.body.size()));
        curl_easy_setopt(h, CURLOPT_POSTFIELDS, request.body.constData());
    }
    if (!user.isEmpty() || !password.isEmpty()) {
        curl_easy_setopt(h, CURLOPT_USERNAME, user.constData());
        curl_easy_setopt(h, CURLOPT_PASSWORD, password.constData());
        curl_easy_setopt(h, CURLOPT_HTTPAUTH, CURLAUTH_ANY);
    }
    if (!proxyUser.isEmpty() || !proxyPassword.isEmpty()) {
        curl_easy_setopt(h, CURLOPT_PROXYUSERNAME, proxyUser.constData());
        curl_easy_setopt(h, CURLOPT_PROXYPASSWORD, proxyPassword.constData());
        curl_easy_setopt(h, CURLOPT_PROXYAUTH, CURLAUTH_ANY);
    }

    const CURLcode code = curl_easy_perform(h);
    long status = 0;
    curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &status);
    char* effective = nullptr;
    if (curl_easy_getinfo(h, CURLINFO_EFFECTIVE_URL, &effective) == CURLE_OK && effective)
        response.finalUrl = QUrl::fromEncoded(QByteArray(effective));
    char* type = nullptr;
    if (curl_easy_getinfo(h, CURLINFO_CONTENT_TYPE, &type) == CURLE_OK && type)
        response.contentType = QByteArray(type);

    if (state.tooLarge) {
        response.error = kTooLarge;
        response.errorText =
            QStringLiteral("The answer is larger than %1 bytes.").arg(state.maxBytes);
    } else if (state.aborted) {
        response.error = kAborted;
        response.errorText = QStringLiteral("The transfer was stopped.");
    } else if (code != CURLE_OK) {
        response.error = code;
        response.errorText =
            QString::fromUtf8(errorBuffer[0] ? errorBuffer : curl_easy_strerror(code));
        // "Couldn't connect to server" alone does not tell a refusal from a missing route.
        long systemError = 0;
        if (curl_easy_getinfo(h, CURLINFO_OS_ERRNO, &systemError) == CURLE_OK && systemError) {
            const QString reason = QString::fromLocal8Bit(std::strerror(int(systemError)));
            if (!response.errorText.contains(reason, Qt::CaseInsensitive))
                response.errorText += QStringLiteral(" (%1)").arg(reason);
        }
    }
    response.status = static_cast<int>(status);
    response.statusText = statusText(state.statusLine);
    if (!response.transportFailed())
        response.body = std::move(state.body);
    return response;
}
