#pragma once

#include "app/workerthread.h"
#include "web/htmldocument.h"
#include "web/htmlform.h"
#include "web/httptransfer.h"

#include <QObject>
#include <QString>
#include <QUrl>
#include <atomic>
#include <memory>

class CookieJar;
class PageLoader;

// The browser a bid thread drives: loads pages off the owner's thread with a cookie jar of
// its own, follows redirects, submits forms and follows links, and reports each finished
// load with documentComplete() on the owner's thread. Runs no scripts. A load that fails
// still completes, with an empty document and lastError() set, so the caller's steps go on.
//
// The owner's thread is the one the browser lives on (a bid thread, or the main thread);
// every method but isBusy() is called there. Loads run one after another on a worker
// thread of the browser's own. Destroying the browser aborts the load in progress and
// returns once the worker has let go of it; nothing is reported then.
class HeadlessBrowser : public QObject
{
    Q_OBJECT
public:
    explicit HeadlessBrowser(QObject* parent = nullptr);
    ~HeadlessBrowser() override;

    // Each of these ends a load in progress and starts a new one.
    void navigate(const QString& url);
    // False when `form` is not a form of the document shown.
    bool submitForm(const HtmlForm& form, const HtmlElement& submitter = HtmlElement());
    // False when `link` is not a link of the document shown.
    bool followLink(const HtmlElement& link);
    // Ends the load in progress; it reports nothing.
    void stop();
    bool isBusy() const { return m_busy.load(); }

    // The document shown; an empty one before the first load. Valid until the next load
    // completes.
    HtmlDocument* document() const { return m_document.get(); }
    QString bodyText() const;
    QString url() const { return m_url.toString(); }
    // Why the last load failed; empty when it arrived.
    QString lastError() const { return m_lastError; }
    // HTTP status of the last load; 0 when no answer came.
    int lastStatus() const { return m_lastStatus; }
    // The last page as it came, with its content type (to show it as it was read).
    QByteArray source() const { return m_source; }
    QString contentType() const { return m_contentType; }
    const CookieJar& cookies() const { return *m_jar; }

Q_SIGNALS:
    void documentComplete(const QString& url);

private:
    struct Load;
    friend class PageLoader;

    void start(HttpTransfer::Request request);
    void finish(const std::shared_ptr<Load>& load);

    std::unique_ptr<CookieJar> m_jar;
    std::unique_ptr<HtmlDocument> m_document;
    QUrl m_url;
    QString m_lastError;
    int m_lastStatus = 0;
    QByteArray m_source;
    QString m_contentType;
    std::atomic<bool> m_busy{false};
    std::shared_ptr<Load> m_current;
    WorkerThread m_loads;
    PageLoader* m_loader = nullptr; // lives on m_loads' thread; made with the first load
};
