#pragma once

#include <QWidget>

class AppContext;
class CAddFromBrowser;
class CMainFrame;
class CVendraView;
class QAction;
class QLineEdit;
class QMenu;
class QToolButton;
class QWebEngineProfile;

// The main window's "Browser View": the internal browser with its toolbar (start page,
// My eBay, history, stop, refresh, adding the shown item, the favourite categories and a
// menu with the rest), a find bar, and the page's progress in the main window's status
// bar. Insert adds the shown item, F2 opens My eBay. Window thread only.
class CBrowserWindow : public QWidget
{
    Q_OBJECT
public:
    // Command numbers of the browser's own commands.
    enum Command
    {
        CmdGoBack = 32787,
        CmdGoForward = 32788,
        CmdStartPage = 32789,
        CmdStopLoading = 32778,
        CmdReload = 32779,
        CmdAddShownItem = 32799,
        CmdAddFavorite = 32835,
        CmdBlockMessages = 32858,
        CmdMyEbay = 32863,
        CmdFirstFavorite = 104,
        CmdLastFavorite = 124,
        CmdCopy = 57634,
        CmdCut = 57635,
        CmdFind = 57636,
        CmdPaste = 57637,
        CmdPrint = 57607,
    };

    // `adder` takes the shown item page; the cookies live in the program's folder.
    CBrowserWindow(AppContext& app, CMainFrame& frame, CAddFromBrowser& adder,
                   QWidget* parent = nullptr);
    ~CBrowserWindow() override;

    CVendraView* view() const { return m_view; }
    QAction* command(int id) const;
    QToolButton* favoritesButton() const { return m_favoritesButton; }
    // The favourites drop-down as it would open now; null when there are none.
    QMenu* favoritesMenu();

    // Opens `url` in the browser and brings the browser window forward.
    void open(const QUrl& url);
    // The same with a page the program read (a bid's page): shown as it came.
    void showSource(const QUrl& url, const QByteArray& source, const QString& contentType);

    // The site's contact form at `url`, with the letter filled in for the user to send.
    void openContactForm(const QUrl& url, const QString& subject, const QString& body);
    // The script that fills the first form with a text area: `subject` into its subject
    // line (or first text field), `body` into the text area. It returns whether it found one.
    static QString contactFormScript(const QString& subject, const QString& body);

    // Adds the category of the shown page to the favourites, with its messages.
    void addShownCategory();
    // Reads the shown page and hands it to the item dialog.
    void addShownItem();

    // A "gavelin:" link followed in a page: the browser hands it to the desktop, which
    // hands it back here.
    Q_INVOKABLE void openGavelinLink(const QUrl& link);

private:
    void buildToolBar();
    void showFind();
    void findNext(bool backward);
    bool guardNavigation(const QUrl& url);
    void pageLoadStarted();
    void pageLoadProgress(int percent);
    void pageLoadFinished(bool ok);

    AppContext& m_app;
    CMainFrame& m_frame;
    CAddFromBrowser& m_adder;
    QWebEngineProfile* m_profile = nullptr;
    CVendraView* m_view = nullptr;
    QToolButton* m_favoritesButton = nullptr;
    QMenu* m_favoritesMenu = nullptr;
    QWidget* m_findBar = nullptr;
    QLineEdit* m_findText = nullptr;
    QList<QAction*> m_commands;
};
