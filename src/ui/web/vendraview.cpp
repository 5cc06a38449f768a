#include "ui/web/vendraview.h"

#include "app/appcontext.h"
#include "app/registry.h"
#include "app/stringtable.h"
#include "engine/bidformnames.h"
#include "sites/siteaccess.h"
#include "ui/web/vendrapage.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QPointer>
#include <QPrintDialog>
#include <QPrinter>
#include <QWebEngineScript>
#include <QWebEngineSettings>

namespace {

// Content set by the program goes through a data: address, which Chromium limits to 2 MB.
constexpr qsizetype kMaxShownSource = 1400 * 1024;

QString jsonString(const QString& text)
{
    const QByteArray array = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
    // "[...]" less its brackets: one JSON string, safe inside a script.
    return QString::fromUtf8(array.mid(1, array.size() - 2));
}

QString jsonList(const QStringList& texts)
{
    return QString::fromUtf8(
        QJsonDocument(QJsonArray::fromStringList(texts)).toJson(QJsonDocument::Compact));
}

// innerText separates lines with "\n"; the item parser reads "\r\n" as the line end.
QString windowsLines(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    return text;
}

} // namespace

CVendraView::CVendraView(QWebEngineProfile* profile, QWidget* parent) : QWebEngineView(parent)
{
    m_page = new CVendraPage(profile, this);
    setPage(m_page);
    connect(this, &QWebEngineView::loadStarted, this, [this] { m_loading = true; });
    connect(this, &QWebEngineView::loadFinished, this, &CVendraView::pageLoaded);
    connect(this, &QWebEngineView::printFinished, this, [this](bool) {
        delete m_printer;
        m_printer = nullptr;
    });
}

CVendraView::~CVendraView()
{
    delete m_printer;
}

void CVendraView::startPage()
{
    AppContext::logWrite(StringTable::text(464), ProgramLog::Info);
    QString site;
    if (AppContext* app = AppContext::current())
        site = app->settings().currentSite;
    if (site.isEmpty())
        return;
    const QUrl url = QUrl::fromUserInput(site);
    if (url.isValid())
        load(url);
}

void CVendraView::myEbay()
{
    stop();
    const QUrl url(LookupSiteKey(QStringLiteral("%s_URL_MyEbay")));
    if (!url.isValid() || url.isEmpty())
        return;
    m_steps.append(StepMyEbaySignIn);
    load(url);
}

void CVendraView::openFavorite(int index)
{
    AppContext* app = AppContext::current();
    if (!app || index < 0)
        return;
    const QString url = app->userRegistry().readStr(QStringLiteral("Favorites\\%1").arg(index),
                                                    QStringLiteral("url"));
    if (!url.trimmed().isEmpty())
        load(QUrl::fromUserInput(url.trimmed()));
}

void CVendraView::showSource(const QByteArray& source, const QString& contentType,
                             const QUrl& address)
{
    settings()->setAttribute(QWebEngineSettings::JavascriptEnabled, false);
    m_page->expectOwnContent();
    if (source.size() > kMaxShownSource) {
        setHtml(tr("<p>The page of %1 is too large to be shown here (%2 KB).</p>")
                    .arg(address.toString().toHtmlEscaped())
                    .arg(source.size() / 1024));
        return;
    }
    // Only markup or text is shown, whatever the site said it sent.
    const QString type = contentType.section(QLatin1Char(';'), 0, 0).trimmed().toLower();
    const bool known = type == QLatin1String("text/html") || type == QLatin1String("text/plain");
    setContent(source, known ? contentType : QStringLiteral("text/html"), address);
}

void CVendraView::print(QWidget* dialogParent)
{
    if (m_printer)
        return; // one print at a time
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    QPrintDialog dialog(printer.get(), dialogParent);
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_printer = printer.release();
    QWebEngineView::print(m_printer);
}

void CVendraView::readContent(ContentReceiver receiver)
{
    PageContent content;
    content.url = url();
    content.title = title();
    if (m_loading) {
        receiver(content);
        return;
    }
    // The program's own script world: the page's scripts cannot change what is read.
    const QString script =
        QStringLiteral("[document.body ? document.body.innerText : '', document.body ? "
                       "document.body.innerHTML : '']");
    page()->runJavaScript(script, QWebEngineScript::ApplicationWorld,
                          [content, receiver](const QVariant& result) mutable {
                              const QVariantList parts = result.toList();
                              if (parts.size() == 2) {
                                  content.text = windowsLines(parts.at(0).toString());
                                  content.html = parts.at(1).toString();
                              }
                              receiver(content);
                          });
}

QString CVendraView::signInScript(const QString& commandField, const QString& commandValue,
                                  const QStringList& loginFields, const QString& passwordField,
                                  const QString& login, const QString& password)
{
    return QStringLiteral(
               "(function() {"
               "var command = %1, value = %2, logins = %3, pass = %4;"
               "var field = function(form, name) {"
               "  for (var i = 0; i < form.elements.length; ++i) {"
               "    var e = form.elements[i];"
               "    if (e.tagName == 'INPUT' && e.name == name) return e; }"
               "  return null; };"
               "for (var f = 0; f < document.forms.length; ++f) {"
               "  var form = document.forms[f], c = field(form, command);"
               "  if (!c || c.value.toLowerCase() != value.toLowerCase()) continue;"
               "  var user = null;"
               "  for (var l = 0; l < logins.length && !user; ++l) user = field(form, logins[l]);"
               "  var secret = field(form, pass);"
               "  if (!user || !secret) return false;"
               "  user.value = %5; secret.value = %6;"
               "  HTMLFormElement.prototype.submit.call(form); return true; }"
               "return false; })()")
        .arg(jsonString(commandField), jsonString(commandValue), jsonList(loginFields),
             jsonString(passwordField), jsonString(login), jsonString(password));
}

void CVendraView::pageLoaded(bool ok)
{
    m_loading = false;
    if (!ok || m_steps.isEmpty())
        return;
    const int step = m_steps.takeFirst();
    if (step == StepMyEbaySignIn)
        signIn();
}

void CVendraView::signIn()
{
    AppContext* app = AppContext::current();
    if (!app || app->settings().login.isEmpty())
        return;
    // The password goes only to the site's own member area or sign-in page, never to a page
    // the member area sent the browser on to.
    const QString host = url().host();
    bool ownPage = false;
    for (const QString& key : {QStringLiteral("%s_URL_MyEbay"), QStringLiteral("%s_URL_SignIn")})
        ownPage =
            ownPage || QUrl(LookupSiteKey(key)).host().compare(host, Qt::CaseInsensitive) == 0;
    if (host.isEmpty() || !ownPage) {
        AppContext::logWrite(QStringLiteral("My eBay: not signing in on %1, which is not the "
                                            "site's own page.")
                                 .arg(host),
                             ProgramLog::Warning);
        Q_EMIT signInSent(false);
        return;
    }
    const BidFormNames names = BidFormNames::current();
    QStringList logins;
    for (const QString& name : {names.login1, names.login2}) {
        if (!name.isEmpty())
            logins << name;
    }
    const QString script = signInScript(names.command, names.retractCmd, logins, names.pass1,
                                        app->settings().login, app->settings().password);
    QPointer<CVendraView> self(this);
    page()->runJavaScript(script, QWebEngineScript::ApplicationWorld, [self](const QVariant& sent) {
        if (self)
            Q_EMIT self->signInSent(sent.toBool());
    });
}
