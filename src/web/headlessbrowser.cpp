#include "web/headlessbrowser.h"

#include "app/appcontext.h"
#include "web/cookiejar.h"
#include "web/downloadcounter.h"
#include "web/downloadoptions.h"

#include <QMetaObject>
#include <QThread>

struct HeadlessBrowser::Load
{
    HttpTransfer::Request request;
    // Set by the owner to end the transfer; the loader then reports nothing.
    std::atomic<bool> abort{false};
    HttpTransfer::Response response;
    std::unique_ptr<HtmlDocument> document;
    QString error;
};

// The browser's worker: performs each load on the browser's loading thread and hands it
// back with loaded(), which the browser receives on its own thread.
class PageLoader : public QObject
{
    Q_OBJECT
public:
    void run(const std::shared_ptr<HeadlessBrowser::Load>& load);

Q_SIGNALS:
    void loaded(const std::shared_ptr<HeadlessBrowser::Load>& load);
};

namespace {

bool isWebAddress(const QUrl& url)
{
    return url.isValid() && !url.host().isEmpty() &&
           (url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https"));
}

bool isPageType(const QByteArray& contentType)
{
    const QByteArray type = contentType.split(';').first().trimmed().toLower();
    return type.isEmpty() || type.startsWith("text/") || type.endsWith("+xml") ||
           type.endsWith("/xml");
}

} // namespace

HeadlessBrowser::HeadlessBrowser(QObject* parent)
    : QObject(parent), m_jar(std::make_unique<CookieJar>()),
      m_document(std::make_unique<HtmlDocument>(QString())), m_url(QStringLiteral("about:blank")),
      m_loads(QStringLiteral("browser"))
{
}

HeadlessBrowser::~HeadlessBrowser()
{
    Q_ASSERT(QThread::currentThread() == thread());
    // The transfer in progress uses the cookie jar: abort it and wait for the loader to let
    // go before the jar goes. A result it still sends dies with this object.
    stop();
    m_loads.stop();
}

QString HeadlessBrowser::bodyText() const
{
    return m_document->bodyText();
}

void HeadlessBrowser::navigate(const QString& url)
{
    Q_ASSERT(QThread::currentThread() == thread());
    const QUrl address(url.trimmed());
    if (address.toString() == QLatin1String("about:blank")) {
        stop();
        m_busy = true;
        auto load = std::make_shared<Load>();
        load->request.url = address;
        load->document = std::make_unique<HtmlDocument>(QString(), address);
        m_current = load;
        QMetaObject::invokeMethod(
            this, [this, load] { finish(load); }, Qt::QueuedConnection);
        return;
    }
    HttpTransfer::Request request;
    request.url = address;
    start(std::move(request));
}

bool HeadlessBrowser::submitForm(const HtmlForm& form, const HtmlElement& submitter)
{
    if (!form || form.document() != m_document.get())
        return false;
    const FormSubmission submission = form.submission(submitter);
    HttpTransfer::Request request;
    request.url = submission.url;
    request.method = submission.method;
    request.body = submission.body;
    request.contentType = submission.contentType;
    start(std::move(request));
    return true;
}

bool HeadlessBrowser::followLink(const HtmlElement& link)
{
    if (!link || link.document() != m_document.get())
        return false;
    const QUrl target = link.url(QStringLiteral("href"));
    if (!target.isValid())
        return false;
    navigate(target.toString());
    return true;
}

void HeadlessBrowser::stop()
{
    Q_ASSERT(QThread::currentThread() == thread());
    if (m_current)
        m_current->abort = true;
    m_current.reset();
    m_busy = false;
}

void HeadlessBrowser::start(HttpTransfer::Request request)
{
    stop();
    m_busy = true;
    auto load = std::make_shared<Load>();
    m_current = load;
    request.maxBytes = DownloadOptions::maxPageBytes();
    if (!isWebAddress(request.url)) {
        load->error = QStringLiteral("not a web address");
        load->request = std::move(request);
        QMetaObject::invokeMethod(
            this, [this, load] { finish(load); }, Qt::QueuedConnection);
        return;
    }
    request.cookies = m_jar.get();
    request.abort = &load->abort;
    request.proxy = HttpTransfer::settingsProxy();
    if (m_url.scheme().startsWith(QLatin1String("http")))
        request.referer = m_url.toEncoded();
    load->request = std::move(request);
    if (!m_loader) {
        auto loader = std::make_unique<PageLoader>();
        connect(loader.get(), &PageLoader::loaded, this, &HeadlessBrowser::finish,
                Qt::QueuedConnection);
        m_loader = m_loads.start(std::move(loader));
    }
    // A stopped load ahead of this one gives up the thread at its next abort check.
    PageLoader* loader = m_loader;
    m_loads.post([loader, load] { loader->run(load); });
}

void PageLoader::run(const std::shared_ptr<HeadlessBrowser::Load>& load)
{
    Q_ASSERT(QThread::currentThread() == thread());
    if (load->abort.load())
        return; // stopped while it waited for its turn
    {
        DownloadCounter counting;
        load->response = HttpTransfer::perform(load->request);
    }
    const HttpTransfer::Response& response = load->response;
    if (response.transportFailed()) {
        load->error = response.errorText;
    } else if (!isPageType(response.contentType)) {
        load->error =
            QStringLiteral("not a page (%1)").arg(QString::fromLatin1(response.contentType));
    } else {
        const QUrl url = response.finalUrl.isValid() ? response.finalUrl : load->request.url;
        load->document = HtmlDocument::fromBytes(response.body, response.contentType, url);
        if (load->document->refused()) {
            load->error = HtmlDocument::refusalText();
            load->document.reset();
        }
    }
    if (!load->abort.load())
        Q_EMIT loaded(load);
}

void HeadlessBrowser::finish(const std::shared_ptr<Load>& load)
{
    Q_ASSERT(QThread::currentThread() == thread());
    if (load != m_current)
        return; // stopped, or a newer load took its place
    m_current.reset();
    const HttpTransfer::Response& response = load->response;
    m_url = response.finalUrl.isValid() ? response.finalUrl : load->request.url;
    m_lastStatus = response.transportFailed() ? 0 : response.status;
    m_lastError = load->error;
    m_source = response.body;
    m_contentType = QString::fromLatin1(response.contentType);
    if (load->document) {
        m_document = std::move(load->document);
    } else {
        m_document = std::make_unique<HtmlDocument>(QString(), m_url);
        AppContext::logWrite(
            QStringLiteral("HeadlessBrowser: cannot load %1: %2")
                .arg(m_url.toString(QUrl::RemovePassword | QUrl::RemoveQuery), m_lastError),
            ProgramLog::Error);
    }
    m_busy = false;
    Q_EMIT documentComplete(m_url.toString());
}

#include "headlessbrowser.moc"
