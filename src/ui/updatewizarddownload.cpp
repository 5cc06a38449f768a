#include "ui/updatewizarddownload.h"

#include "app/stringtable.h"
#include "ui/updatewizardtext.h"
#include "web/httptransfer.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <QUrl>
#include <arpa/inet.h>
#include <curl/curl.h>
#include <memory>
#include <netinet/in.h>
#include <sys/socket.h>

namespace {

constexpr long kConnectTimeoutMs = 60000;
// No byte for this long ends the download.
constexpr long kReceiveTimeoutSeconds = 600;
constexpr qint64 kProgressEveryMs = 50;
constexpr qint64 kRateEveryMs = 200;

using EasyHandle = std::unique_ptr<CURL, decltype(&curl_easy_cleanup)>;
using HeaderList = std::unique_ptr<curl_slist, decltype(&curl_slist_free_all)>;

} // namespace

struct UpdateWizardDownload::Transfer
{
    UpdateWizardDownload* owner = nullptr;
    CURL* handle = nullptr;
    QFile file;
    QElapsedTimer clock;
    qint64 done = 0;
    qint64 total = -1;
    qint64 lastProgressMs = -kProgressEveryMs;
    qint64 lastRateMs = 0;
    bool receiving = false; // the 200 answer's body has begun
    bool fileFailed = false;
    bool cancelled = false;

    long status() const
    {
        long code = 0;
        curl_easy_getinfo(handle, CURLINFO_RESPONSE_CODE, &code);
        return code;
    }

    void report(bool force)
    {
        const qint64 now = clock.elapsed();
        if (force || now - lastProgressMs >= kProgressEveryMs) {
            lastProgressMs = now;
            Q_EMIT owner->progressChanged(done, total);
        }
        if (!force && now - lastRateMs < kRateEveryMs)
            return;
        lastRateMs = now;
        const double seconds = qMax<qint64>(now, 1) / 1000.0;
        const QString rate = UpdateWizardText::rate(double(done) / 1024.0 / seconds);
        QString left;
        if (total > 0 && done > 0)
            left = UpdateWizardText::timeLeftLine(
                qint64(double(now) / double(done) * double(qMax<qint64>(total - done, 0)) / 1000.0),
                done, total);
        Q_EMIT owner->rateChanged(rate, left);
    }
};

namespace {

using Transfer = UpdateWizardDownload::Transfer;

size_t writeBody(char* data, size_t size, size_t count, void* user)
{
    auto* t = static_cast<Transfer*>(user);
    const size_t bytes = size * count;
    if (!t->owner->mayGoOn()) {
        t->cancelled = true;
        return 0;
    }
    // The body of a refusal (401, 404...) is read and dropped.
    if (t->status() != 200)
        return bytes;
    if (!t->receiving) {
        t->receiving = true;
        Q_EMIT t->owner->statusChanged(StringTable::text(310));
        curl_off_t length = -1;
        if (curl_easy_getinfo(t->handle, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length) == CURLE_OK &&
            length >= 0)
            t->total = qint64(length);
        Q_EMIT t->owner->statusChanged(StringTable::text(311));
        t->clock.restart();
    }
    if (t->file.write(data, qint64(bytes)) != qint64(bytes)) {
        t->fileFailed = true;
        return 0;
    }
    t->done += qint64(bytes);
    t->report(false);
    return bytes;
}

size_t readHeader(char* data, size_t size, size_t count, void* user)
{
    auto* t = static_cast<Transfer*>(user);
    const size_t bytes = size * count;
    const QByteArray line = QByteArray(data, qsizetype(bytes)).trimmed();
    if (line.toLower().startsWith("location:")) {
        const long code = t->status();
        if (code >= 300 && code < 400)
            Q_EMIT t->owner->statusChanged(
                StringTable::text(317).arg(QString::fromUtf8(line.mid(9).trimmed())));
    }
    return bytes;
}

QString addressText(const curl_sockaddr* address)
{
    char text[64] = {};
    const auto* family = reinterpret_cast<const sockaddr*>(&address->addr);
    if (family->sa_family == AF_INET)
        inet_ntop(AF_INET, &reinterpret_cast<const sockaddr_in*>(family)->sin_addr, text,
                  sizeof text);
    else if (family->sa_family == AF_INET6)
        inet_ntop(AF_INET6, &reinterpret_cast<const sockaddr_in6*>(family)->sin6_addr, text,
                  sizeof text);
    return QString::fromLatin1(text);
}

curl_socket_t openSocket(void* user, curlsocktype, curl_sockaddr* address)
{
    auto* t = static_cast<Transfer*>(user);
    const QString ip = addressText(address);
    Q_EMIT t->owner->statusChanged(StringTable::text(314).arg(ip));
    Q_EMIT t->owner->statusChanged(StringTable::text(315).arg(ip));
    return socket(address->family, address->socktype | SOCK_CLOEXEC, address->protocol);
}

int connected(void* user, char* remoteIp, char*, int, int)
{
    auto* t = static_cast<Transfer*>(user);
    Q_EMIT t->owner->statusChanged(StringTable::text(316).arg(QString::fromLatin1(remoteIp)));
    return CURL_PREREQFUNC_OK;
}

int checkCancel(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
{
    auto* t = static_cast<Transfer*>(user);
    if (!t->owner->mayGoOn()) {
        t->cancelled = true;
        return 1;
    }
    return 0;
}

} // namespace

UpdateWizardDownload::UpdateWizardDownload(Options options, QObject* parent)
    : QObject(parent), m_options(std::move(options))
{
}

UpdateWizardDownload::~UpdateWizardDownload()
{
    if (m_thread) {
        cancel();
        m_thread->wait();
        delete m_thread;
    }
}

void UpdateWizardDownload::start()
{
    if (m_thread)
        return;
    const QUrl url(m_options.url.trimmed());
    m_path = QDir(m_options.folder).filePath(UpdateWizardText::fileName(url.path()));
    m_running = true;
    m_thread = QThread::create([this] { run(); });
    m_thread->setObjectName(QStringLiteral("update download"));
    m_thread->start();
}

void UpdateWizardDownload::pause()
{
    std::lock_guard lock(m_pauseMutex);
    m_paused = true;
}

void UpdateWizardDownload::resume()
{
    {
        std::lock_guard lock(m_pauseMutex);
        m_paused = false;
    }
    m_pauseChanged.notify_all();
}

void UpdateWizardDownload::cancel()
{
    m_cancel = true;
    resume();
}

bool UpdateWizardDownload::mayGoOn()
{
    std::unique_lock lock(m_pauseMutex);
    m_pauseChanged.wait(lock, [this] { return !m_paused || m_cancel.load(); });
    return !m_cancel.load();
}

bool UpdateWizardDownload::perform(Transfer& t, int authStatus, QString* failure)
{
    EasyHandle easy(curl_easy_init(), &curl_easy_cleanup);
    if (!easy) {
        *failure = StringTable::text(299).arg(CURLE_FAILED_INIT);
        return false;
    }
    CURL* h = easy.get();
    t.handle = h;
    t.receiving = false;
    char errorBuffer[CURL_ERROR_SIZE] = {};
    const QByteArray url = QUrl(m_options.url.trimmed()).toEncoded();
    const QByteArray proxy = m_options.proxy.toUtf8();
    const QByteArray user = m_options.user.toUtf8();
    const QByteArray password = m_options.password.toUtf8();
    HeaderList headers(curl_slist_append(nullptr, "Accept: */*"), &curl_slist_free_all);
    headers.reset(curl_slist_append(headers.release(), "Cache-Control: no-cache"));
    headers.reset(curl_slist_append(headers.release(), "Pragma: no-cache"));

    curl_easy_setopt(h, CURLOPT_URL, url.constData());
    curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(h, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(h, CURLOPT_MAXREDIRS, 10L);
    curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(h, CURLOPT_ERRORBUFFER, errorBuffer);
    curl_easy_setopt(h, CURLOPT_HTTPHEADER, headers.get());
    curl_easy_setopt(h, CURLOPT_USERAGENT, "Microsoft Internet Explorer");
    curl_easy_setopt(h, CURLOPT_PROXY, proxy.constData());
    curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT_MS, kConnectTimeoutMs);
    curl_easy_setopt(h, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(h, CURLOPT_LOW_SPEED_TIME, kReceiveTimeoutSeconds);
    curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, &writeBody);
    curl_easy_setopt(h, CURLOPT_WRITEDATA, &t);
    curl_easy_setopt(h, CURLOPT_HEADERFUNCTION, &readHeader);
    curl_easy_setopt(h, CURLOPT_HEADERDATA, &t);
    curl_easy_setopt(h, CURLOPT_OPENSOCKETFUNCTION, &openSocket);
    curl_easy_setopt(h, CURLOPT_OPENSOCKETDATA, &t);
    curl_easy_setopt(h, CURLOPT_PREREQFUNCTION, &connected);
    curl_easy_setopt(h, CURLOPT_PREREQDATA, &t);
    curl_easy_setopt(h, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(h, CURLOPT_XFERINFOFUNCTION, &checkCancel);
    curl_easy_setopt(h, CURLOPT_XFERINFODATA, &t);
    // The credentials answer the kind of refusal that asked for them.
    if (authStatus == 401) {
        curl_easy_setopt(h, CURLOPT_USERNAME, user.constData());
        curl_easy_setopt(h, CURLOPT_PASSWORD, password.constData());
        curl_easy_setopt(h, CURLOPT_HTTPAUTH, CURLAUTH_ANY);
    } else if (authStatus == 407) {
        curl_easy_setopt(h, CURLOPT_PROXYUSERNAME, user.constData());
        curl_easy_setopt(h, CURLOPT_PROXYPASSWORD, password.constData());
        curl_easy_setopt(h, CURLOPT_PROXYAUTH, CURLAUTH_ANY);
    }

    const CURLcode code = curl_easy_perform(h);
    if (t.cancelled)
        return false;
    if (t.fileFailed) {
        *failure = StringTable::text(312).arg(t.file.errorString());
        return false;
    }
    if (code != CURLE_OK) {
        const QString reason =
            QString::fromUtf8(errorBuffer[0] ? errorBuffer : curl_easy_strerror(code));
        const bool connecting = code == CURLE_COULDNT_RESOLVE_HOST ||
                                code == CURLE_COULDNT_RESOLVE_PROXY ||
                                code == CURLE_COULDNT_CONNECT || code == CURLE_SSL_CONNECT_ERROR;
        *failure = StringTable::text(t.receiving  ? 312
                                     : connecting ? 300
                                                  : 299)
                       .arg(QStringLiteral("%1 (%2)").arg(int(code)).arg(reason));
        return false;
    }
    if (t.status() == 0) {
        *failure = StringTable::text(308);
        return false;
    }
    return true;
}

void UpdateWizardDownload::run()
{
    HttpTransfer::initialiseLibrary();
    Transfer t;
    t.owner = this;
    t.clock.start();
    QString failure;
    bool success = false;
    t.file.setFileName(m_path);
    if (!t.file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        failure = StringTable::text(287).arg(t.file.errorString());
    } else {
        const QUrl url(m_options.url.trimmed());
        Q_EMIT statusChanged(StringTable::text(288).arg(QFileInfo(m_path).fileName(), url.host()));
        Q_EMIT statusChanged(StringTable::text(313).arg(url.host()));
        bool answered = perform(t, 0, &failure);
        long status = answered ? t.status() : 0;
        // One more try with the proxy credentials of the settings, when the server or the
        // proxy asks for a name.
        if (answered && (status == 401 || status == 407) && !m_options.user.isEmpty()) {
            answered = perform(t, int(status), &failure);
            status = answered ? t.status() : 0;
        }
        if (answered && status != 200) {
            failure = StringTable::text(309).arg(status);
        } else if (answered && m_options.expectedBytes > 0 && t.done != m_options.expectedBytes) {
            failure = StringTable::text(312).arg(
                QStringLiteral("%1 bytes of %2 arrived").arg(t.done).arg(m_options.expectedBytes));
        } else if (answered && !t.file.flush()) {
            failure = StringTable::text(312).arg(t.file.errorString());
        } else if (answered) {
            success = true;
            t.total = t.done;
            t.report(true);
            Q_EMIT statusChanged(StringTable::text(301));
        }
        t.file.close();
    }
    if (!success)
        t.file.remove();
    m_running = false;
    Q_EMIT finished(success, success ? m_path : failure);
}
