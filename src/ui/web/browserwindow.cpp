#include "ui/web/browserwindow.h"

#include "app/appcontext.h"
#include "app/stringtable.h"
#include "sites/favoritecategories.h"
#include "sites/sitesettings.h"
#include "ui/addfrombrowser.h"
#include "ui/mainframe.h"
#include "ui/uiicons.h"
#include "ui/userprompt.h"
#include "ui/web/vendrapage.h"
#include "ui/web/vendraview.h"
#include "web/iinternetaccess.h"

#include <QAction>
#include <QClipboard>
#include <QDesktopServices>
#include <QDir>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QJsonArray>
#include <QJsonDocument>
#include <QKeySequence>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWebEngineHistory>
#include <QWebEngineProfile>
#include <QWebEngineScript>

CBrowserWindow::CBrowserWindow(AppContext& app, CMainFrame& frame, CAddFromBrowser& adder,
                               QWidget* parent)
    : QWidget(parent), m_app(app), m_frame(frame), m_adder(adder)
{
    // Sign-ins and the site's cookies survive a restart, kept with the program's settings.
    m_profile = new QWebEngineProfile(QStringLiteral("browser"), this);
    const QString storage = QDir(app.paths().configDir()).filePath(QStringLiteral("browser"));
    m_profile->setPersistentStoragePath(storage);
    m_profile->setCachePath(QDir(storage).filePath(QStringLiteral("cache")));

    m_view = new CVendraView(m_profile, this);
    CVendraPage* page = m_view->vendraPage();
    page->setSilent(app.settings().silentBrowser != 0);
    page->setNavigationGuard([this](const QUrl& url) { return guardNavigation(url); });
    connect(page, &CVendraPage::addAddressRequested, &adder, &CAddFromBrowser::add);
    QDesktopServices::setUrlHandler(QStringLiteral("gavelin"), this, "openGavelinLink");
    connect(page, &QWebEnginePage::linkHovered, this,
            [this](const QString& url) { m_frame.setStatusText(url); });
    connect(m_view, &QWebEngineView::loadStarted, this, &CBrowserWindow::pageLoadStarted);
    connect(m_view, &QWebEngineView::loadProgress, this, &CBrowserWindow::pageLoadProgress);
    connect(m_view, &QWebEngineView::loadFinished, this, &CBrowserWindow::pageLoadFinished);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    buildToolBar();

    m_findBar = new QWidget(this);
    auto* find = new QHBoxLayout(m_findBar);
    find->setContentsMargins(4, 2, 4, 2);
    m_findText = new QLineEdit(m_findBar);
    m_findText->setPlaceholderText(tr("Find on this page"));
    m_findText->setClearButtonEnabled(true);
    auto* previous = new QToolButton(m_findBar);
    previous->setArrowType(Qt::UpArrow);
    previous->setToolTip(tr("Find previous"));
    auto* next = new QToolButton(m_findBar);
    next->setArrowType(Qt::DownArrow);
    next->setToolTip(tr("Find next"));
    auto* close = new QToolButton(m_findBar);
    close->setText(tr("Close"));
    find->addWidget(m_findText, 1);
    find->addWidget(previous);
    find->addWidget(next);
    find->addWidget(close);
    m_findBar->hide();
    connect(m_findText, &QLineEdit::returnPressed, this, [this] { findNext(false); });
    connect(m_findText, &QLineEdit::textChanged, this, [this] { findNext(false); });
    connect(previous, &QToolButton::clicked, this, [this] { findNext(true); });
    connect(next, &QToolButton::clicked, this, [this] { findNext(false); });
    connect(close, &QToolButton::clicked, this, [this] {
        m_view->findText(QString());
        m_findBar->hide();
        m_view->setFocus();
    });

    layout->addWidget(m_findBar);
    layout->addWidget(m_view, 1);
}

CBrowserWindow::~CBrowserWindow()
{
    QDesktopServices::unsetUrlHandler(QStringLiteral("gavelin"));
    // The page must go before its profile.
    delete m_view;
    m_view = nullptr;
}

void CBrowserWindow::buildToolBar()
{
    auto* bar = new QToolBar(this);
    bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    bar->setIconSize(QSize(20, 20));
    static_cast<QVBoxLayout*>(layout())->addWidget(bar);

    const auto make = [this](int id, const QString& text, const QIcon& icon,
                             const QKeySequence& key, std::function<void()> run) {
        auto* action = new QAction(icon, text, this);
        action->setData(id);
        if (!key.isEmpty()) {
            action->setShortcut(key);
            action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        }
        connect(action, &QAction::triggered, this, std::move(run));
        addAction(action);
        m_commands << action;
        return action;
    };
    QStyle* look = style();
    CVendraView* view = m_view;
    const auto pageAction = [view](QWebEnginePage::WebAction action) {
        return [view, action] { view->triggerPageAction(action); };
    };
    QAction* back = make(CmdGoBack, tr("Go &back"), look->standardIcon(QStyle::SP_ArrowBack),
                         QKeySequence::Back, pageAction(QWebEnginePage::Back));
    QAction* forward =
        make(CmdGoForward, tr("Go &forward"), look->standardIcon(QStyle::SP_ArrowForward),
             QKeySequence::Forward, pageAction(QWebEnginePage::Forward));
    QAction* stop = make(CmdStopLoading, tr("Sto&p"), UiIcons::named(QStringLiteral("stop")),
                         QKeySequence(Qt::Key_Escape), pageAction(QWebEnginePage::Stop));
    QAction* reload = make(CmdReload, tr("&Refresh"), UiIcons::named(QStringLiteral("refresh")),
                           QKeySequence(Qt::Key_F5), pageAction(QWebEnginePage::Reload));
    QAction* start =
        make(CmdStartPage, tr("&Start page"), look->standardIcon(QStyle::SP_DirHomeIcon),
             QKeySequence(), [view] { view->startPage(); });
    QAction* myEbay = make(CmdMyEbay, tr("&My eBay"), UiIcons::named(QStringLiteral("bidslist")),
                           QKeySequence(Qt::Key_F2), [view] { view->myEbay(); });
    QAction* add =
        make(CmdAddShownItem, tr("&Copy item to bids list"), UiIcons::named(QStringLiteral("add")),
             QKeySequence(Qt::Key_Insert), [this] { addShownItem(); });
    add->setIconText(tr("Add item"));
    QAction* favorite = make(CmdAddFavorite, tr("Add the category to favorites"),
                             UiIcons::named(QStringLiteral("favorite")), QKeySequence(),
                             [this] { addShownCategory(); });
    favorite->setIconText(tr("Favorites"));
    QAction* copy =
        make(CmdCopy, tr("&Copy"), QIcon(), QKeySequence::Copy, pageAction(QWebEnginePage::Copy));
    QAction* cut =
        make(CmdCut, tr("Cu&t"), QIcon(), QKeySequence::Cut, pageAction(QWebEnginePage::Cut));
    QAction* paste = make(CmdPaste, tr("&Paste"), QIcon(), QKeySequence::Paste,
                          pageAction(QWebEnginePage::Paste));
    QAction* find =
        make(CmdFind, tr("&Find..."), QIcon(), QKeySequence::Find, [this] { showFind(); });
    QAction* print = make(CmdPrint, tr("&Print..."), QIcon(), QKeySequence::Print,
                          [this] { m_view->print(this); });
    QAction* block = make(CmdBlockMessages, tr("Block unwanted browser messages"), QIcon(),
                          QKeySequence(), [] {});
    block->setCheckable(true);
    block->setChecked(m_app.settings().silentBrowser != 0);
    connect(block, &QAction::toggled, this, [this](bool on) {
        m_app.settings().silentBrowser = on ? 1 : 0;
        m_app.settings().writeKey(m_app.userRegistry(), &AppSettings::silentBrowser);
        m_app.publishSettings();
        m_view->vendraPage()->setSilent(on);
    });

    // History and loading follow the page.
    connect(m_view, &QWebEngineView::urlChanged, this, [back, forward, view] {
        back->setEnabled(view->history()->canGoBack());
        forward->setEnabled(view->history()->canGoForward());
    });
    back->setEnabled(false);
    forward->setEnabled(false);
    stop->setEnabled(false);
    connect(m_view, &QWebEngineView::loadStarted, stop, [stop] { stop->setEnabled(true); });
    connect(m_view, &QWebEngineView::loadFinished, stop, [stop] { stop->setEnabled(false); });

    bar->addAction(back);
    bar->addAction(forward);
    bar->addAction(stop);
    bar->addAction(reload);
    bar->addAction(start);
    bar->addAction(myEbay);
    bar->addSeparator();
    bar->addAction(add);

    m_favoritesButton = new QToolButton(bar);
    m_favoritesButton->setDefaultAction(favorite);
    m_favoritesButton->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    m_favoritesButton->setPopupMode(QToolButton::MenuButtonPopup);
    m_favoritesMenu = new QMenu(m_favoritesButton);
    m_favoritesButton->setMenu(m_favoritesMenu);
    // No favourites: the arrow opens nothing.
    connect(m_favoritesMenu, &QMenu::aboutToShow, this, [this] {
        if (!favoritesMenu())
            QMetaObject::invokeMethod(m_favoritesMenu, &QMenu::close, Qt::QueuedConnection);
    });
    bar->addWidget(m_favoritesButton);

    auto* more = new QMenu(tr("Browser"), this);
    more->addActions({start, myEbay, back, forward, stop, reload});
    more->addSeparator();
    more->addActions({copy, cut, paste, find});
    more->addSeparator();
    more->addAction(print);
    more->addSeparator();
    more->addAction(block);
    auto* moreButton = new QToolButton(bar);
    moreButton->setText(tr("Browser"));
    moreButton->setMenu(more);
    moreButton->setPopupMode(QToolButton::InstantPopup);
    bar->addSeparator();
    bar->addWidget(moreButton);
}

QAction* CBrowserWindow::command(int id) const
{
    for (QAction* action : m_commands) {
        if (action->data().toInt() == id)
            return action;
    }
    return nullptr;
}

void CBrowserWindow::open(const QUrl& url)
{
    m_frame.showBrowserWindow();
    m_view->load(url);
}

void CBrowserWindow::showSource(const QUrl& url, const QByteArray& source,
                                const QString& contentType)
{
    m_frame.showBrowserWindow();
    m_view->showSource(source, contentType, url);
}

QString CBrowserWindow::contactFormScript(const QString& subject, const QString& body)
{
    const QByteArray values =
        QJsonDocument(QJsonArray{subject, body}).toJson(QJsonDocument::Compact);
    return QStringLiteral("(function(values) {"
                          "for (var f = 0; f < document.forms.length; ++f) {"
                          "  var form = document.forms[f], area = form.querySelector('textarea');"
                          "  if (!area) continue;"
                          "  var line = form.querySelector('input[name*=\"subject\" i]') ||"
                          "             form.querySelector('input[type=\"text\"]');"
                          "  if (line) line.value = values[0];"
                          "  area.value = values[1]; area.focus(); return true; }"
                          "return false; })(%1)")
        .arg(QString::fromUtf8(values));
}

void CBrowserWindow::openContactForm(const QUrl& url, const QString& subject, const QString& body)
{
    open(url);
    auto once = std::make_shared<QMetaObject::Connection>();
    *once =
        connect(m_view, &QWebEngineView::loadFinished, this, [this, once, subject, body](bool ok) {
            disconnect(*once);
            if (!ok)
                return;
            QPointer<CBrowserWindow> self(this);
            m_view->page()->runJavaScript(
                contactFormScript(subject, body), QWebEngineScript::ApplicationWorld,
                [self, subject, body](const QVariant& filled) {
                    if (!self || filled.toBool())
                        return;
                    QGuiApplication::clipboard()->setText(subject + QLatin1String("\n\n") + body);
                    self->m_frame.setStatusText(
                        tr("The page has no contact form to fill; the letter is on "
                           "the clipboard."));
                });
        });
}

void CBrowserWindow::addShownItem()
{
    QPointer<CBrowserWindow> self(this);
    m_view->readContent([self](const CVendraView::PageContent& content) {
        if (self)
            self->m_adder.addShownPage(content.url.toString(), content.text);
    });
}

void CBrowserWindow::openGavelinLink(const QUrl& link)
{
    m_adder.add(link.toString(QUrl::FullyEncoded));
}

void CBrowserWindow::showFind()
{
    m_findBar->show();
    m_findText->setFocus();
    m_findText->selectAll();
}

void CBrowserWindow::findNext(bool backward)
{
    m_view->findText(m_findText->text(),
                     backward ? QWebEnginePage::FindBackward : QWebEnginePage::FindFlags());
}

bool CBrowserWindow::guardNavigation(const QUrl& url)
{
    // The options may have changed the choice meanwhile.
    const bool silent = m_app.settings().silentBrowser != 0;
    m_view->vendraPage()->setSilent(silent);
    if (QAction* block = command(CmdBlockMessages))
        block->setChecked(silent);
    IInternetAccess* access = IInternetAccess::current();
    if (!access)
        return true;
    if (access->ensureConnection() && access->isOffline() && !access->goOnline(url.toString())) {
        m_app.log().message(StringTable::text(224), ProgramLog::Warning);
        return false;
    }
    return true;
}

void CBrowserWindow::pageLoadStarted()
{
    m_frame.setProgress(0, 100);
}

void CBrowserWindow::pageLoadProgress(int percent)
{
    m_frame.setProgress(percent, 100);
}

void CBrowserWindow::pageLoadFinished(bool ok)
{
    Q_UNUSED(ok);
    m_frame.setProgress(0, 0);
    m_frame.siteChanged();
}

QMenu* CBrowserWindow::favoritesMenu()
{
    m_favoritesMenu->clear();
    const QList<FavoriteCategories::Entry> entries =
        FavoriteCategories(m_app.userRegistry()).entries();
    if (entries.isEmpty())
        return nullptr;
    const QIcon icon = UiIcons::named(QStringLiteral("favorite"));
    for (int i = 0; i < entries.size() && CmdFirstFavorite + i <= CmdLastFavorite; ++i) {
        QAction* action = m_favoritesMenu->addAction(icon, entries.at(i).text);
        action->setData(CmdFirstFavorite + i);
        connect(action, &QAction::triggered, this, [this, i] { m_view->openFavorite(i); });
    }
    return m_favoritesMenu;
}

void CBrowserWindow::addShownCategory()
{
    QPointer<CBrowserWindow> self(this);
    m_view->readContent([self](const CVendraView::PageContent& content) {
        const SiteSettings* sites = SiteSettings::current();
        if (!self || !sites)
            return;
        FavoriteCategories favorites(self->m_app.userRegistry());
        const FavoriteCategories::AddOutcome outcome = favorites.addShownCategory(
            content.url.toString(), content.html, content.text, content.title, *sites);
        const QString message = outcome.message();
        if (!message.isEmpty())
            UserPrompt::inform(self, message, outcome.icon());
    });
}
