#pragma once

#include <QWebEnginePage>
#include <functional>

// The page of the internal browser. While "Block unwanted browser messages" is on it answers
// the page's script dialogs itself (an alert is dropped, confirm and prompt are cancelled)
// and keeps script errors out of sight. Every navigation of the main frame passes the guard;
// a "gavelin:" link is handed on as an item to add instead of being followed.
// Window thread only.
class CVendraPage : public QWebEnginePage
{
    Q_OBJECT
public:
    // Returns false to cancel the navigation (after telling the user why).
    using NavigationGuard = std::function<bool(const QUrl& url)>;

    explicit CVendraPage(QWebEngineProfile* profile, QObject* parent = nullptr);

    void setSilent(bool silent) { m_silent = silent; }
    bool isSilent() const { return m_silent; }
    void setNavigationGuard(NavigationGuard guard) { m_guard = std::move(guard); }
    // The next main-frame load of a data: address is the program's own (showHtml).
    void expectOwnContent() { m_ownContent = true; }
    // Script dialogs answered without the user since the page was made.
    int blockedDialogs() const { return m_blockedDialogs; }

    // Whether the main frame may go to `url` at all: web pages, and the blank page.
    static bool isBrowsable(const QUrl& url);

Q_SIGNALS:
    // A "gavelin:" link was followed: `address` is the whole link.
    void addAddressRequested(const QString& address);

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override;
    void javaScriptAlert(const QUrl& securityOrigin, const QString& message) override;
    bool javaScriptConfirm(const QUrl& securityOrigin, const QString& message) override;
    bool javaScriptPrompt(const QUrl& securityOrigin, const QString& message,
                          const QString& defaultValue, QString* result) override;
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString& message,
                                  int lineNumber, const QString& sourceId) override;

private:
    bool m_silent = true;
    bool m_ownContent = false;
    int m_blockedDialogs = 0;
    NavigationGuard m_guard;
};
