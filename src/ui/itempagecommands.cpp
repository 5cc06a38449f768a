#include "ui/itempagecommands.h"

#include "app/appcontext.h"
#include "app/imainwindow.h"
#include "app/itemslock.h"
#include "app/stringtable.h"
#include "app/workerthread.h"
#include "model/biditem.h"
#include "model/bidsdoc.h"
#include "sites/siteaccess.h"
#include "ui/bidsrightview.h"
#include "ui/commandid.h"
#include "ui/userprompt.h"
#include "web/dutchhighbidder.h"
#include "web/itempagesaver.h"

#include <QAction>
#include <QClipboard>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QGuiApplication>
#include <QItemSelectionModel>
#include <QRegularExpression>

namespace {

QString chooseFolder(QWidget* parent, const QString& start)
{
    return QFileDialog::getExistingDirectory(parent, QObject::tr("Save web page contents"), start);
}

// `pattern` of the current site with `value` for its "%s"; empty unless that gives a web
// address.
QUrl siteAddress(const QString& pattern, const QString& value)
{
    const QString text = LookupSiteKey(pattern);
    if (!text.contains(QLatin1String("%s")))
        return QUrl();
    const QUrl url(FormatUrlPattern(text, value).trimmed());
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || url.host().isEmpty() ||
        (scheme != QLatin1String("http") && scheme != QLatin1String("https")))
        return QUrl();
    return url;
}

QString noAddressText()
{
    return QObject::tr("The current site has no web address for this command.");
}

} // namespace

CItemPageCommands::CItemPageCommands(AppContext& app, CBidsDoc& doc, CBidsRightView& list,
                                     const std::function<QAction*(int)>& command, QWidget* window)
    : QObject(window), m_app(app), m_doc(doc), m_list(list), m_window(window),
      m_chooseFolder(chooseFolder), m_systemBrowser(&QDesktopServices::openUrl)
{
    m_view = command(CmdViewItemPage);
    m_save = command(CmdSavePage);
    m_email = command(CmdEmailToSeller);
    if (m_view)
        connect(m_view, &QAction::triggered, this, &CItemPageCommands::viewItemPage);
    if (m_save)
        connect(m_save, &QAction::triggered, this, &CItemPageCommands::savePage);
    if (m_email)
        connect(m_email, &QAction::triggered, this, &CItemPageCommands::emailSeller);
    // A reset clears the selection without a word; the rows selected again afterwards say so.
    connect(m_list.selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &CItemPageCommands::updateStates);
    connect(m_list.model(), &QAbstractItemModel::modelReset, this,
            &CItemPageCommands::updateStates);
    updateStates();
}

CItemPageCommands::~CItemPageCommands()
{
    // The page download cannot be cut short; the save ends on its own, unreported.
    if (m_thread && m_savesRunning > 0) {
        m_saver->abort();
        m_thread->detach();
    }
}

void CItemPageCommands::setFolderChooser(FolderChooser chooser)
{
    m_chooseFolder = chooser ? std::move(chooser) : FolderChooser(chooseFolder);
}

void CItemPageCommands::setSystemBrowser(SystemBrowser browser)
{
    m_systemBrowser = browser ? std::move(browser) : SystemBrowser(&QDesktopServices::openUrl);
}

void CItemPageCommands::updateStates()
{
    const bool any = m_list.selectionModel() && m_list.selectionModel()->hasSelection();
    for (QAction* action : {m_view.data(), m_save.data(), m_email.data()}) {
        if (action)
            action->setEnabled(any);
    }
}

bool CItemPageCommands::focusedItem(Item& item) const
{
    const int index = m_list.focusedItemIndex();
    ItemsLockGuard guard(m_doc.itemsLock());
    const auto& items = m_doc.items();
    if (!guard.isHeld() || index < 0 || index >= int(items.size()))
        return false;
    const CBidItem& bid = *items[size_t(index)];
    item.id = bid.id().trimmed();
    item.title = bid.title();
    item.seller = bid.seller().trimmed();
    return !item.id.isEmpty();
}

QUrl CItemPageCommands::itemPageAddress(const QString& itemId)
{
    return siteAddress(QStringLiteral("%s_URL_ViewItem"),
                       QString::fromLatin1(QUrl::toPercentEncoding(itemId.trimmed())));
}

QString CItemPageCommands::fillLetter(const QString& pattern, const QString& myName,
                                      const QString& id, const QString& title,
                                      const QString& seller)
{
    static const QRegularExpression placeholder(
        QStringLiteral("\\[(my_name|bid_id|bid_name|seller_name)\\]"));
    QString letter;
    qsizetype done = 0;
    for (const QRegularExpressionMatch& match : placeholder.globalMatch(pattern)) {
        letter += pattern.mid(done, match.capturedStart() - done);
        const QString word = match.captured(1);
        if (word == QLatin1String("my_name"))
            letter += myName;
        else if (word == QLatin1String("bid_id"))
            letter += id;
        else if (word == QLatin1String("bid_name"))
            letter += title;
        else
            letter += seller;
        done = match.capturedEnd();
    }
    return letter + pattern.mid(done);
}

void CItemPageCommands::showStatus(const QString& text, int level)
{
    AppContext::logMessage(text, level);
    if (IMainWindow* window = m_app.mainWindow())
        window->setStatusText(text);
}

void CItemPageCommands::openInSystemBrowser(const QUrl& url)
{
    if (!m_systemBrowser(url)) {
        UserPrompt::inform(m_window,
                           tr("The web browser could not be started to show %1.")
                               .arg(url.toString(QUrl::RemovePassword)),
                           IMainWindow::Icon::Warning);
    }
}

QUrl CItemPageCommands::focusedItemPage(Item& item) const
{
    if (!focusedItem(item))
        return QUrl();
    const QUrl url = itemPageAddress(item.id);
    if (url.isEmpty())
        UserPrompt::inform(m_window, noAddressText(), IMainWindow::Icon::Warning);
    return url;
}

void CItemPageCommands::viewItemPage()
{
    Item item;
    const QUrl url = focusedItemPage(item);
    if (url.isEmpty())
        return;
    if (m_showInBrowser && m_showInBrowser(url))
        return;
    openInSystemBrowser(url);
}

void CItemPageCommands::emailSeller()
{
    Item item;
    if (!focusedItem(item))
        return;
    if (item.seller.isEmpty()) {
        UserPrompt::inform(m_window,
                           tr("The seller of item #%1 is not known yet, so there is no one to "
                              "write to. Refresh the item and try again.")
                               .arg(item.id),
                           IMainWindow::Icon::Warning);
        return;
    }
    const QUrl url = siteAddress(QStringLiteral("%s_URL_EmailToMember"),
                                 QString::fromLatin1(QUrl::toPercentEncoding(item.seller)));
    if (url.isEmpty()) {
        UserPrompt::inform(m_window, noAddressText(), IMainWindow::Icon::Warning);
        return;
    }
    const AppSettings& settings = m_app.settings();
    const QString subject =
        fillLetter(settings.sellerSubject, settings.login, item.id, item.title, item.seller);
    const QString body =
        fillLetter(settings.sellerBody, settings.login, item.id, item.title, item.seller);
    if (m_showContactForm && m_showContactForm(url, subject, body))
        return;
    QString letter = subject + QLatin1String("\n\n") + body;
    QGuiApplication::clipboard()->setText(
        letter.replace(QLatin1String("\r\n"), QLatin1String("\n")));
    showStatus(tr("The letter to the seller of item #%1 is on the clipboard: paste it into the "
                  "contact form.")
                   .arg(item.id),
               ProgramLog::Info);
    openInSystemBrowser(url);
}

void CItemPageCommands::savePage()
{
    Item item;
    const QUrl url = focusedItemPage(item);
    if (url.isEmpty())
        return;
    AppSettings& settings = m_app.settings();
    const QString start = QDir(settings.saveFolder).exists() && !settings.saveFolder.isEmpty()
                              ? settings.saveFolder
                              : QDir::homePath();
    const QString folder = m_chooseFolder(m_window, start);
    if (folder.isEmpty())
        return;
    if (settings.saveFolder != folder) {
        settings.saveFolder = folder;
        settings.writeKey(m_app.userRegistry(), &AppSettings::saveFolder);
    }

    if (!m_thread) {
        auto saver = std::make_unique<ItemPageSaver>();
        connect(saver.get(), &ItemPageSaver::finished, this, &CItemPageCommands::saveDone);
        m_thread = std::make_unique<WorkerThread>(QStringLiteral("save page"));
        m_saver = m_thread->start(std::move(saver));
    }
    ItemPageSaver* saver = m_saver;
    const QString address = url.toString(QUrl::FullyEncoded);
    const QString id = item.id;
    if (!m_thread->post([saver, address, id, folder] { saver->save(address, id, folder); })) {
        UserPrompt::inform(m_window, tr("The page cannot be saved now."),
                           IMainWindow::Icon::Warning);
        return;
    }
    ++m_savesRunning;
}

void CItemPageCommands::saveDone(const ItemPageSaveResult& result)
{
    m_savesRunning = qMax(0, m_savesRunning - 1);
    if (result.success) {
        const QString text = QString::asprintf(StringTable::text(217).toUtf8().constData(),
                                               result.folder.toUtf8().constData());
        showStatus(text, ProgramLog::Info);
        UserPrompt::inform(m_window, text, IMainWindow::Icon::Information);
    } else {
        UserPrompt::inform(m_window, result.error, IMainWindow::Icon::Warning);
    }
    Q_EMIT saveFinished(result.success);
}
