#pragma once

#include <QUrl>
#include <functional>

class AppContext;
class CAddFromBrowser;
class CMainFrame;

// Gives the main window its "Browser View": the internal browser, or in a copy built without
// QtWebEngine a notice that says why the view is empty (pages then open in the desktop's
// browser). Window thread only.
class BrowserInstall
{
public:
    struct Hooks
    {
        // Opens an address in the internal browser; false when there is none.
        std::function<bool(const QUrl& url)> open;
        // Shows a page as the program read it (null without the internal browser).
        std::function<void(const QUrl& url, const QByteArray& source, const QString& type)>
            showSource;
        // Opens the contact form at `url` with the letter filled in.
        std::function<bool(const QUrl& url, const QString& subject, const QString& body)>
            contactForm;
    };

    static Hooks install(AppContext& app, CMainFrame& frame, CAddFromBrowser& adder);
    static bool isBuiltIn();
    // What the browser view says in a copy without the internal browser.
    static QString unavailableText();
};
