#pragma once

#include <QList>
#include <QUrl>
#include <QWebEngineView>
#include <functional>

class CVendraPage;
class QPrinter;
class QWebEngineProfile;

// The internal browser: a web view on the current auction site. Its commands are the
// browser window's; what it reads from a page (the text the item parser works on, the
// body's HTML, the title) comes back asynchronously, as the page's own scripts run apart.
//
// My eBay signs in by itself: the command queues a step that, when the member area's page
// has loaded, fills the site's sign-in form with the account of the options and sends it.
// Window thread only.
class CVendraView : public QWebEngineView
{
    Q_OBJECT
public:
    enum Step
    {
        StepMyEbaySignIn = 3
    };

    // What a page gives the commands that read it. `text` has its lines joined by "\r\n".
    struct PageContent
    {
        QUrl url;
        QString title;
        QString text;
        QString html;
    };
    using ContentReceiver = std::function<void(const PageContent& content)>;

    // `profile` keeps the site's cookies between runs; it must outlive the view.
    CVendraView(QWebEngineProfile* profile, QWidget* parent = nullptr);
    ~CVendraView() override;

    CVendraPage* vendraPage() const { return m_page; }

    // The current site's home page (the site name is its host).
    void startPage();
    // The member area of the current site; signs in on arrival.
    void myEbay();
    // The address of favourite `index` ("Favorites\%d"), when it has one.
    void openFavorite(int index);
    // A page the program loaded elsewhere (a bid's page, the site's notice), shown as it
    // was read: scripts do not run and links stay where they point.
    void showSource(const QByteArray& source, const QString& contentType, const QUrl& address);
    void print(QWidget* dialogParent);

    // Reads the shown page; `receiver` runs once, on the window thread. Nothing is read while
    // a page is still loading: the receiver then gets an empty text.
    void readContent(ContentReceiver receiver);

    const QList<int>& steps() const { return m_steps; }
    bool isLoading() const { return m_loading; }

    // The script that fills and sends a sign-in form: the form whose `commandField` holds
    // `commandValue` (any letter case), the user id into the first of `loginFields` that
    // exists, the password into `passwordField`. Every value is a JSON string in the script.
    static QString signInScript(const QString& commandField, const QString& commandValue,
                                const QStringList& loginFields, const QString& passwordField,
                                const QString& login, const QString& password);

Q_SIGNALS:
    // The sign-in form of the member area was filled and sent (false: none was found).
    void signInSent(bool sent);

private:
    void pageLoaded(bool ok);
    void signIn();

    CVendraPage* m_page = nullptr;
    QList<int> m_steps;
    bool m_loading = false;
    QPrinter* m_printer = nullptr;
};
