#include "ui/web/vendrapage.h"

#include "app/appcontext.h"

#include <QUrl>
#include <QWebEngineSettings>
#include <utility>

CVendraPage::CVendraPage(QWebEngineProfile* profile, QObject* parent)
    : QWebEnginePage(profile, parent)
{
}

bool CVendraPage::isBrowsable(const QUrl& url)
{
    const QString scheme = url.scheme().toLower();
    return scheme == QLatin1String("http") || scheme == QLatin1String("https") ||
           url.toString() == QLatin1String("about:blank");
}

bool CVendraPage::acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame)
{
    if (url.scheme().compare(QLatin1String("gavelin"), Qt::CaseInsensitive) == 0) {
        Q_EMIT addAddressRequested(url.toString(QUrl::FullyEncoded));
        return false;
    }
    if (!isMainFrame)
        return QWebEnginePage::acceptNavigationRequest(url, type, isMainFrame);
    // Pages the program shows itself come as data: addresses; a page cannot send the
    // browser to one.
    if (url.scheme() == QLatin1String("data") && std::exchange(m_ownContent, false))
        return true;
    if (!isBrowsable(url)) {
        AppContext::logWrite(QStringLiteral("The internal browser does not open \"%1\": only web "
                                            "pages are shown.")
                                 .arg(url.toString(QUrl::RemoveUserInfo).left(200)),
                             ProgramLog::Warning);
        return false;
    }
    if (m_guard && !m_guard(url))
        return false;
    // A page the program showed ran without scripts; the site's own pages need them.
    settings()->setAttribute(QWebEngineSettings::JavascriptEnabled, true);
    return QWebEnginePage::acceptNavigationRequest(url, type, isMainFrame);
}

void CVendraPage::javaScriptAlert(const QUrl& securityOrigin, const QString& message)
{
    if (m_silent) {
        ++m_blockedDialogs;
        return;
    }
    QWebEnginePage::javaScriptAlert(securityOrigin, message);
}

bool CVendraPage::javaScriptConfirm(const QUrl& securityOrigin, const QString& message)
{
    if (m_silent) {
        ++m_blockedDialogs;
        return false;
    }
    return QWebEnginePage::javaScriptConfirm(securityOrigin, message);
}

bool CVendraPage::javaScriptPrompt(const QUrl& securityOrigin, const QString& message,
                                   const QString& defaultValue, QString* result)
{
    if (m_silent) {
        ++m_blockedDialogs;
        return false;
    }
    return QWebEnginePage::javaScriptPrompt(securityOrigin, message, defaultValue, result);
}

void CVendraPage::javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level,
                                           const QString& message, int lineNumber,
                                           const QString& sourceId)
{
    // Script errors of shop pages are many and none of the user's business while silent.
    if (m_silent)
        return;
    QWebEnginePage::javaScriptConsoleMessage(level, message, lineNumber, sourceId);
}
