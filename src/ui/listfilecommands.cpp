#include "ui/listfilecommands.h"

#include "app/appcontext.h"
#include "app/itemslock.h"
#include "model/bidsdoc.h"
#include "model/documentstore.h"
#include "model/recentfiles.h"
#include "ui/commandid.h"
#include "ui/mainframe.h"
#include "ui/userprompt.h"

#include <QAction>
#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QPointer>
#include <QTimer>
#include <algorithm>

namespace {

// Often enough that the title's change mark and the recent-file menu follow the list
// without notice from it.
constexpr int kTitleRefreshMs = 1000;

} // namespace

CListFileCommands::CListFileCommands(CMainFrame& frame, CBidsDoc& doc, DocumentStore& store)
    : QObject(&frame), m_frame(frame), m_doc(doc), m_store(store)
{
    const std::pair<int, void (CListFileCommands::*)()> commands[] = {
        {CmdFileNew, &CListFileCommands::newList},
        {CmdFileOpen, &CListFileCommands::openList},
    };
    for (const auto& [id, slot] : commands) {
        QAction* action = m_frame.command(id);
        action->setEnabled(true);
        connect(action, &QAction::triggered, this, slot);
    }
    QAction* save = m_frame.command(CmdFileSave);
    save->setEnabled(true);
    connect(save, &QAction::triggered, this, [this] { saveList(); });
    QAction* saveAs = m_frame.command(CmdFileSaveAs);
    saveAs->setEnabled(true);
    connect(saveAs, &QAction::triggered, this, [this] { saveListAs(); });

    // The start-up load or another part of the program may have opened a file meanwhile.
    connect(recentFilesMenu(), &QMenu::aboutToShow, this, &CListFileCommands::rebuildRecentMenu);
    m_frame.setExitGuard(
        [self = QPointer<CListFileCommands>(this)] { return !self || self->confirmClose(); });

    m_titleTimer = new QTimer(this);
    connect(m_titleTimer, &QTimer::timeout, this, &CListFileCommands::updateTitle);
    m_titleTimer->start(kTitleRefreshMs);
    // The list is loaded after this, shortly before the window is shown: the title must be
    // right from the first moment the window is seen.
    m_frame.installEventFilter(this);
    refresh();
}

bool CListFileCommands::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == &m_frame && event->type() == QEvent::Show)
        updateTitle();
    return QObject::eventFilter(watched, event);
}

bool CListFileCommands::hasChanges(const CBidsDoc& doc)
{
    if (!doc.isModified())
        return false;
    // A new list that nobody has touched yet has nothing to save or to ask about.
    if (!doc.path().isEmpty() || doc.itemCount() > 0)
        return true;
    return std::any_of(doc.folders().begin(), doc.folders().end(),
                       [](const auto& folder) { return folder->id() >= 0; });
}

QMenu* CListFileCommands::recentFilesMenu() const
{
    return m_frame.recentFilesMenu();
}

void CListFileCommands::refresh()
{
    rebuildRecentMenu();
    updateTitle();
}

void CListFileCommands::updateTitle()
{
    QString title;
    bool modified = false;
    {
        // A worker holding the list gets its way: the next beat tries again.
        ItemsLockGuard guard(m_doc.itemsLock(), 0);
        if (!guard.isHeld())
            return;
        title = m_doc.title();
        modified = hasChanges(m_doc);
    }
    const QString text = QStringLiteral("%1[*] - %2").arg(title, AppContext::applicationTitle());
    if (m_frame.windowTitle() != text)
        m_frame.setWindowTitle(text);
    m_frame.setWindowModified(modified);
    // A list opened at start-up may be the first recent file: the menu must open then.
    if (recentFilesMenu()->isEnabled() == RecentFiles(m_doc.environment()).list().isEmpty())
        rebuildRecentMenu();
}

void CListFileCommands::rebuildRecentMenu()
{
    QMenu* menu = recentFilesMenu();
    menu->clear();
    menu->setToolTipsVisible(true);
    const QStringList files = RecentFiles(m_doc.environment()).list();
    int number = 0;
    for (const QString& path : files) {
        if (number == AppSettings::kMaxRecentFiles)
            break;
        ++number;
        QString text = RecentFiles::menuText(path);
        text.replace(QLatin1Char('&'), QLatin1String("&&"));
        const QString label = number < 10    ? QStringLiteral("&%1 %2").arg(number).arg(text)
                              : number == 10 ? QStringLiteral("1&0 %1").arg(text)
                                             : QStringLiteral("%1 %2").arg(number).arg(text);
        QAction* action = menu->addAction(label);
        action->setData(path);
        action->setToolTip(path);
        // Queued: opening rebuilds this menu, which deletes the action that was chosen.
        connect(
            action, &QAction::triggered, this, [this, path] { openRecent(path); },
            Qt::QueuedConnection);
    }
    menu->setEnabled(number > 0);
}

void CListFileCommands::showMessage(const QString& text)
{
    if (!text.isEmpty())
        UserPrompt::inform(&m_frame, text, IMainWindow::Icon::Error);
}

QString CListFileCommands::chooseFile(FileDialog kind, const QString& start)
{
    if (m_chooser)
        return m_chooser(kind, start);
    QFileDialog dialog(&m_frame, kind == FileDialog::Open ? tr("Open") : tr("Save As"), start,
                       DocumentStore::fileFilter());
    dialog.setDefaultSuffix(DocumentStore::defaultExtension());
    if (kind == FileDialog::Open) {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}

bool CListFileCommands::confirmClose()
{
    bool modified = false;
    QString title;
    {
        ItemsLockGuard guard(m_doc.itemsLock());
        modified = hasChanges(m_doc);
        title = m_doc.title();
    }
    if (!modified)
        return true;
    if (m_store.wantsSilentSave()) {
        QString message;
        if (m_store.saveSilently(&message)) {
            refresh();
            return true;
        }
        // The list could not be saved where it lives: the user decides what happens to it.
        showMessage(message);
    }
    IMainWindow::Question question;
    question.text = tr("Save changes to %1?").arg(title);
    question.buttons = IMainWindow::Buttons::YesNoCancel;
    question.icon = IMainWindow::Icon::Warning;
    question.defaultAnswer = IMainWindow::AnswerYes;
    switch (UserPrompt::ask(&m_frame, question)) {
    case IMainWindow::AnswerYes:
        return saveList();
    case IMainWindow::AnswerNo:
        return true;
    default:
        return false;
    }
}

bool CListFileCommands::mayReplaceList()
{
    // Reading another list discards every bid, and a running one would lose its thread.
    QString refusal;
    {
        ItemsLockGuard guard(m_doc.itemsLock());
        refusal = m_store.openRefusal();
    }
    if (!refusal.isEmpty()) {
        UserPrompt::inform(&m_frame, refusal, IMainWindow::Icon::Warning);
        return false;
    }
    return confirmClose();
}

void CListFileCommands::newList()
{
    if (!mayReplaceList())
        return;
    m_doc.newDocument();
    refresh();
}

void CListFileCommands::openList()
{
    if (!mayReplaceList())
        return;
    // The last list opened is offered again.
    QString start = m_store.openDialogFolder();
    if (start.isEmpty() || !QFileInfo::exists(start))
        start = dialogFolder(FileDialog::Open);
    const QString path = chooseFile(FileDialog::Open, start);
    if (path.isEmpty())
        return;
    m_store.rememberOpenDialogPath(path);
    QString message;
    if (!m_store.open(path, &message))
        showMessage(message);
    refresh();
}

void CListFileCommands::openRecent(const QString& path)
{
    if (!mayReplaceList())
        return;
    QString message;
    if (!m_store.openRecent(path, &message))
        showMessage(message);
    refresh();
}

bool CListFileCommands::saveList()
{
    QString path;
    {
        ItemsLockGuard guard(m_doc.itemsLock());
        path = m_doc.path();
    }
    if (path.isEmpty())
        return saveListAs();
    QString message;
    const bool saved = m_store.save(path, &message);
    showMessage(message);
    refresh();
    return saved;
}

QString CListFileCommands::dialogFolder(FileDialog kind) const
{
    QString listFolder;
    {
        ItemsLockGuard guard(m_doc.itemsLock());
        if (!m_doc.path().isEmpty())
            listFolder = QFileInfo(m_doc.path()).absolutePath();
    }
    QString initDir = m_store.openDialogFolder();
    if (!initDir.isEmpty() && !QFileInfo(initDir).isDir())
        initDir = QFileInfo(initDir).absolutePath();
    const QString documents = QFileInfo(m_store.silentSavePath()).absolutePath();
    const QStringList candidates = kind == FileDialog::SaveAs
                                       ? QStringList{listFolder, initDir, documents}
                                       : QStringList{initDir, listFolder, documents};
    // A folder that is not there would leave the dialog wherever the program was started.
    for (const QString& folder : candidates) {
        if (!folder.isEmpty() && QFileInfo(folder).isDir())
            return folder;
    }
    return QDir::homePath();
}

bool CListFileCommands::saveListAs()
{
    const QString name = QFileInfo(m_store.silentSavePath()).fileName();
    QString path =
        chooseFile(FileDialog::SaveAs, dialogFolder(FileDialog::SaveAs) + QLatin1Char('/') + name);
    if (path.isEmpty())
        return false;
    if (QFileInfo(path).suffix().isEmpty())
        path += QLatin1Char('.') + DocumentStore::defaultExtension();
    QString message;
    const bool saved = m_store.save(path, &message);
    showMessage(message);
    refresh();
    return saved;
}
