#include "ui/addfrombrowser.h"

#include "app/appcontext.h"
#include "app/commandline.h"
#include "app/itemslock.h"
#include "app/stringtable.h"
#include "app/workerthread.h"
#include "model/bideditform.h"
#include "model/bidfolder.h"
#include "model/bidsdoc.h"
#include "model/itemcommands.h"
#include "model/modelclock.h"
#include "sites/siteaccess.h"
#include "sites/sitehosts.h"
#include "sites/sitesettings.h"
#include "ui/accesspromptdlg.h"
#include "ui/biditemdlg.h"
#include "ui/userprompt.h"
#include "web/downloadoptions.h"
#include "web/itempagejob.h"
#include "web/itempagereader.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QRegularExpression>
#include <QThread>
#include <QUrl>
#include <QUrlQuery>

namespace {

// Item numbers longer than this are not numbers of an item.
constexpr int kMaxIdDigits = 19;

bool isItemNumber(const QString& text)
{
    static const QRegularExpression digits(QStringLiteral("^[0-9]{1,%1}$").arg(kMaxIdDigits));
    return digits.match(text).hasMatch();
}

QString viewItemAddress(const SiteSettings& sites, const QString& site)
{
    return sites.value(site + QLatin1String("_URL_ViewItem"));
}

// The item number in `url`: the "item" field of the query, the number that takes the place
// of "%s" in the site's item page address, or the last number of an "/itm/" path.
QString itemNumberOf(const QUrl& url, const QString& address, const QString& viewItem)
{
    const QString field = QUrlQuery(url).queryItemValue(QStringLiteral("item")).trimmed();
    if (isItemNumber(field))
        return field;
    const qsizetype at = viewItem.indexOf(QLatin1String("%s"));
    if (at > 0 && address.startsWith(viewItem.left(at), Qt::CaseInsensitive)) {
        static const QRegularExpression leading(QStringLiteral("^[0-9]+"));
        const QString number = leading.match(address.mid(at)).captured();
        if (isItemNumber(number))
            return number;
    }
    static const QRegularExpression itmPath(QStringLiteral("/itm/(?:[^/]+/)?([0-9]+)$"));
    const QString number = itmPath.match(url.path()).captured(1);
    return isItemNumber(number) ? number : QString();
}

// The reader for `site`: its keywords and conventions with the user's account data.
ItemPageReader readerFor(const SiteSettings& sites, const QString& site)
{
    SiteProfile profile = BuildSiteProfile();
    if (profile.siteName != site) {
        profile.siteName = site;
        const QString prefix = site + QLatin1Char('_');
        for (const SiteProfile::TextField& field : SiteProfile::textFields())
            profile.*(field.field) = sites.value(prefix + QLatin1String(field.key));
        profile.conventions = BuildSiteConventions(site);
    }
    return ItemPageReader(std::move(profile), sites.value(site + "_KeyWord_Description"),
                          sites.value(site + "_KeyWord_ReadyBid"));
}

} // namespace

CAddFromBrowser::Target CAddFromBrowser::target(const QString& address, const SiteSettings* sites)
{
    Target result;
    const QString text = CommandLine::itemAddress(address);
    const QUrl url(text, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    if (!sites || !url.isValid() || url.host().isEmpty() ||
        (scheme != QLatin1String("http") && scheme != QLatin1String("https"))) {
        result.refusal = notAnItemPageText(address);
        return result;
    }

    QString site = SiteHosts::siteName(SiteHosts::siteOfAddress(text));
    if (site.isEmpty()) {
        for (const QString& listed : sites->siteList()) {
            const QUrl viewItem(viewItemAddress(*sites, listed));
            if (viewItem.host().compare(url.host(), Qt::CaseInsensitive) == 0 &&
                viewItem.port(80) == url.port(80)) {
                site = listed;
                break;
            }
        }
    }
    const QString viewItem = site.isEmpty() ? QString() : viewItemAddress(*sites, site);
    const QString id = viewItem.isEmpty() ? QString() : itemNumberOf(url, text, viewItem);
    if (id.isEmpty()) {
        result.refusal = notAnItemPageText(address);
        return result;
    }
    result.site = site;
    result.itemId = id;
    return result;
}

QString CAddFromBrowser::notAnItemPageText(const QString& address)
{
    return tr("\"%1\" is not the page of an auction on a known site. Nothing was added.")
        .arg(address.trimmed());
}

CAddFromBrowser::CAddFromBrowser(QWidget* window, CBidsDoc& doc, FolderSource selectedFolder,
                                 QObject* parent)
    : QObject(parent), m_window(window), m_doc(doc), m_selectedFolder(std::move(selectedFolder))
{
}

CAddFromBrowser::~CAddFromBrowser()
{
    // A download cannot be cut short: it ends on its own, unreported.
    if (m_thread && m_busy)
        m_thread->detach();
}

void CAddFromBrowser::add(const QString& address)
{
    if (address.trimmed().isEmpty())
        return;
    m_queue.append({address, QString(), false});
    if (!m_busy)
        next();
}

void CAddFromBrowser::addShownPage(const QString& address, const QString& pageText)
{
    m_queue.append({address, pageText, true});
    if (!m_busy)
        next();
}

void CAddFromBrowser::readShownPage(const Request& request)
{
    const SiteSettings* sites = SiteSettings::current();
    const QString site =
        AppContext::current() ? AppContext::current()->settings().currentSite : QString();
    if (!sites || site.isEmpty()) {
        refuse(StringTable::text(204));
        return;
    }
    // A page the site serves is never this large; its text would only stall the window.
    if (request.pageText.size() > DownloadOptions::kMaxPageBytes) {
        AppContext::logWrite(QStringLiteral("The shown page has %1 characters: too large to be "
                                            "an item page.")
                                 .arg(request.pageText.size()),
                             ProgramLog::Error);
        UserPrompt::inform(m_window, StringTable::text(204), IMainWindow::Icon::Error);
        finish(false);
        return;
    }
    QElapsedTimer timer;
    timer.start();
    auto item = std::make_shared<CBidItem>();
    item->setEndTime(ModelClock::siteNow() + 24 * 60 * 60);
    const ItemPageResult result =
        readerFor(*sites, site).parse(*item, request.address, request.pageText);
    AppContext::logWrite(QStringLiteral("The shown page was read in %1 ms (%2 characters).")
                             .arg(timer.elapsed())
                             .arg(request.pageText.size()),
                         ProgramLog::Info);
    pageRead(item, result);
}

void CAddFromBrowser::next()
{
    if (m_queue.isEmpty())
        return;
    m_busy = true;
    const Request request = m_queue.takeFirst();
    const QString& address = request.address;
    if (!CAccessPromptDlg::pass(m_window, m_doc.accessLock())) {
        finish(false);
        return;
    }
    if (request.shown) {
        readShownPage(request);
        return;
    }
    const SiteSettings* sites = SiteSettings::current();
    const Target found = target(address, sites);
    if (!found.refusal.isEmpty()) {
        refuse(found.refusal);
        return;
    }
    AppContext::logWrite(
        QStringLiteral("Adding item #%1 of %2 from a browser.").arg(found.itemId, found.site));

    if (!m_thread) {
        auto job = std::make_unique<ItemPageJob>();
        connect(job.get(), &ItemPageJob::done, this, &CAddFromBrowser::pageRead);
        m_thread = std::make_unique<WorkerThread>(QStringLiteral("add from browser"));
        m_job = m_thread->start(std::move(job));
    }
    auto item = std::make_shared<CBidItem>();
    item->setId(found.itemId);
    // As the dialog starts: a page without an end time keeps a day from now.
    item->setEndTime(ModelClock::siteNow() + 24 * 60 * 60);
    const ItemPageReader reader = readerFor(*sites, found.site);
    ItemPageJob* job = m_job;
    if (!m_thread->post([job, reader, item] { job->read(reader, item); }))
        refuse(tr("The item page cannot be read now."));
}

void CAddFromBrowser::refuse(const QString& text)
{
    AppContext::logMessage(text, ProgramLog::Warning);
    UserPrompt::inform(m_window, text, IMainWindow::Icon::Warning);
    finish(false);
}

void CAddFromBrowser::finish(bool added)
{
    m_busy = false;
    Q_EMIT finished(added);
    // The next address waits for the event loop, so a long queue never nests.
    if (!m_queue.isEmpty())
        QMetaObject::invokeMethod(this, &CAddFromBrowser::next, Qt::QueuedConnection);
}

void CAddFromBrowser::pageRead(const std::shared_ptr<CBidItem>& page, const ItemPageResult& result)
{
    if (!result.success) {
        AppContext::logWrite(result.message(), ProgramLog::Error);
        UserPrompt::inform(m_window, StringTable::text(204), IMainWindow::Icon::Error);
        finish(false);
        return;
    }
    finish(runDialog(*page, result.minBid));
}

bool CAddFromBrowser::runDialog(const CBidItem& page, float minBid)
{
    // The list may have been locked while the page was read.
    if (!CAccessPromptDlg::pass(m_window, m_doc.accessLock()))
        return false;
    ItemCommands commands(m_doc);
    CBidFolder* selected = m_selectedFolder ? m_selectedFolder() : nullptr;
    const AddItemStart start = commands.beginAdd(selected);
    if (!start.credentialsQuestion.isEmpty()) {
        if (UserPrompt::confirm(m_window, start.credentialsQuestion, IMainWindow::Icon::Warning) &&
            m_openOptions)
            m_openOptions();
        return false;
    }
    // A closed folder is selected: the bid goes to "Open auctions" instead.
    CBidFolder* target = start.target;
    if (!target) {
        ItemsLockGuard guard(m_doc.itemsLock());
        target = m_doc.folderById(CBidFolder::OpenAuctionsId);
    }

    CBidItemDlg dialog(CBidItemDlg::Mode::Add, page, &m_doc.itemsLock(), m_window);
    dialog.setFolderChoices(start.folderChoices);
    // The page's notice (Buy It Now, private, ended) as a fetch would show it.
    dialog.statusLabel()->setText(
        CBidItemDlg::fetchedStatusText(page, minBid, ModelClock::siteNow()));
    const int answer = m_runDialog ? m_runDialog(dialog) : dialog.exec();
    if (answer != QDialog::Accepted)
        return false;

    const BidEditForm form = dialog.form();
    CBidItem* added = nullptr;
    const QString refusal =
        commands.addItem(dialog.newBid(form), form.folderChoice, target, &added);
    if (!refusal.isEmpty()) {
        UserPrompt::inform(m_window, refusal, IMainWindow::Icon::Warning);
        return false;
    }
    QString conflict;
    {
        ItemsLockGuard guard(m_doc.itemsLock());
        CBidFolder* folder = m_doc.indexOf(added) >= 0 ? added->folder() : nullptr;
        // A private auction shows no bidders, so the folder cannot tell which item won.
        if (folder && added->isPrivate() && folder->onlyOneItemWins()) {
            folder->setOnlyOneItemWins(false);
            m_doc.changed();
            conflict = StringTable::text(277);
        }
    }
    if (!conflict.isEmpty())
        UserPrompt::inform(m_window, conflict, IMainWindow::Icon::Warning);
    return true;
}
