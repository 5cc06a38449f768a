#include "ui/browserinstall.h"

#include "ui/mainframe.h"

#include <QLabel>

#ifdef GAVELIN_HAVE_WEBENGINE
#include "ui/web/browserwindow.h"

#include <QPointer>
#endif

BrowserInstall::Hooks BrowserInstall::install(AppContext& app, CMainFrame& frame,
                                              CAddFromBrowser& adder)
{
#ifdef GAVELIN_HAVE_WEBENGINE
    QPointer<CBrowserWindow> browser = new CBrowserWindow(app, frame, adder, &frame);
    frame.setBrowserWindow(browser);
    Hooks hooks;
    hooks.open = [browser](const QUrl& url) {
        if (!browser)
            return false;
        browser->open(url);
        return true;
    };
    hooks.showSource = [browser](const QUrl& url, const QByteArray& source, const QString& type) {
        if (browser)
            browser->showSource(url, source, type);
    };
    hooks.contactForm = [browser](const QUrl& url, const QString& subject, const QString& body) {
        if (!browser)
            return false;
        browser->openContactForm(url, subject, body);
        return true;
    };
    return hooks;
#else
    Q_UNUSED(app);
    Q_UNUSED(adder);
    auto* notice = new QLabel(unavailableText(), &frame);
    notice->setAlignment(Qt::AlignCenter);
    notice->setWordWrap(true);
    notice->setMargin(24);
    frame.setBrowserWindow(notice);
    return Hooks();
#endif
}

bool BrowserInstall::isBuiltIn()
{
#ifdef GAVELIN_HAVE_WEBENGINE
    return true;
#else
    return false;
#endif
}

QString BrowserInstall::unavailableText()
{
    return QLabel::tr("This copy of Gavelin was built without its internal browser, because "
                      "QtWebEngine was missing when it was built. Item pages open in your web "
                      "browser instead; add them with Help > Add items from your browser.");
}
