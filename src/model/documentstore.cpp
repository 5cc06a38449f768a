#include "model/documentstore.h"

#include "app/appcontext.h"
#include "app/stringtable.h"
#include "model/autosaveorigin.h"
#include "model/bidlistfile.h"
#include "model/bidsdoc.h"
#include "model/filecheck.h"
#include "model/idocumentevents.h"
#include "model/recentfiles.h"
#include "model/safefilewriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

void setMessage(QString* message, const QString& text)
{
    if (message)
        *message = text;
}

} // namespace

QString DocumentStore::fileFilter()
{
    return QStringLiteral("Bid files (*.bid);;All Files (*)");
}

QString DocumentStore::openDialogFolder() const
{
    return m_doc.settings().initDir;
}

void DocumentStore::rememberOpenDialogPath(const QString& path)
{
    const ListEnvironment& environment = m_doc.environment();
    environment.settings().initDir = path;
    if (Registry* registry = environment.userRegistry())
        environment.settings().writeKey(*registry, &AppSettings::initDir);
}

QString DocumentStore::openFailureText(const QString& path, const QString& reason)
{
    return QStringLiteral("Failed to open the bid list \"%1\": %2.").arg(path, reason);
}

QString DocumentStore::saveFailureText(const QString& path, const QString& reason)
{
    return QStringLiteral("Failed to save the bid list \"%1\": %2.").arg(path, reason);
}

QString DocumentStore::openRefusal() const
{
    return m_doc.anyRunning() ? CBidsDoc::runningBidsMessage() : QString();
}

bool DocumentStore::readFile(const QString& path, QString* reason)
{
    const QFileInfo info(path);
    QFile file(path);
    *reason = FileCheck::notReadable(path);
    if (!reason->isEmpty())
        return false;
    if (info.size() > kMaxFileSize) {
        *reason = QStringLiteral("it is too large to be a bid list");
        return false;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        *reason = file.errorString();
        return false;
    }
    // Mapped rather than copied: a large file costs no memory of its own.
    const qint64 size = file.size();
    QByteArray copy;
    QByteArrayView data;
    if (size > 0) {
        if (const uchar* mapped = file.map(0, size)) {
            data = QByteArrayView(reinterpret_cast<const char*>(mapped), size);
        } else {
            copy = file.readAll();
            data = copy;
        }
    }
    QString error;
    if (!BidListFile::read(data, m_doc, BidListReadContext::forList(m_doc), &error)) {
        *reason = error;
        return false;
    }
    return true;
}

void DocumentStore::finishLoad()
{
    m_doc.ensureBuiltInFolders();
    m_doc.setModified(false);
    m_doc.setSelectedFolderId(CBidFolder::OpenAuctionsId);
    m_doc.events().foldersChanged();
    m_doc.rebuild();
}

void DocumentStore::resetToNewList()
{
    m_doc.newDocument();
}

bool DocumentStore::open(const QString& path, QString* message)
{
    ItemsLockGuard guard(m_doc.itemsLock());
    QFile probe(path);
    // Checked before opening: opening a FIFO would wait for a writer.
    QString refusal = FileCheck::notReadable(path);
    if (refusal.isEmpty() && !probe.open(QIODevice::ReadOnly))
        refusal = probe.errorString();
    if (!refusal.isEmpty()) {
        // Nothing was read: the current list stays.
        const QString& reason = refusal;
        setMessage(message, openFailureText(path, reason));
        AppContext::logWrite(openFailureText(path, reason), ProgramLog::Error);
        return false;
    }
    probe.close();
    QString reason;
    // The list in memory is about to be replaced: a copy of it would be recovered into the
    // wrong list after a crash.
    if (!isAutosaveCopy(path))
        dropAutosaveCopy();
    if (!readFile(path, &reason)) {
        setMessage(message, openFailureText(path, reason));
        AppContext::logWrite(openFailureText(path, reason), ProgramLog::Error);
        resetToNewList();
        return false;
    }
    m_doc.setPath(QFileInfo(path).absoluteFilePath());
    finishLoad();
    RecentFiles(m_doc.environment()).add(path);
    return true;
}

bool DocumentStore::openRecent(const QString& path, QString* message)
{
    if (open(path, message))
        return true;
    RecentFiles(m_doc.environment()).remove(path);
    return false;
}

bool DocumentStore::save(const QString& path, QString* message)
{
    QByteArray content;
    {
        ItemsLockGuard guard(m_doc.itemsLock());
        content = BidListFile::write(m_doc);
    }
    QString error;
    if (!SafeFileWriter::write(path, content, &error)) {
        setMessage(message, saveFailureText(path, error));
        AppContext::logWrite(saveFailureText(path, error), ProgramLog::Error);
        return false;
    }
    ItemsLockGuard guard(m_doc.itemsLock());
    m_doc.setPath(QFileInfo(path).absoluteFilePath());
    m_doc.setModified(false);
    if (!path.contains(QLatin1String("autosave.dat"))) {
        RecentFiles(m_doc.environment()).add(path);
        // The saved file is newer than the copy: after a crash it is the one to load.
        dropAutosaveCopy();
    }
    return true;
}

bool DocumentStore::isAutosaveCopy(const QString& path) const
{
    const std::optional<AppPaths>& paths = m_doc.environment().paths();
    return paths && QFileInfo(path) == QFileInfo(paths->autosaveFile());
}

void DocumentStore::dropAutosaveCopy()
{
    if (const std::optional<AppPaths>& paths = m_doc.environment().paths()) {
        QFile::remove(paths->autosaveFile());
        AutosaveOrigin::remove(paths->autosaveOriginFile());
    }
}

bool DocumentStore::wantsSilentSave() const
{
    return m_doc.saveSilently() || m_doc.settings().autoSaveList != 0;
}

QString DocumentStore::silentSavePath() const
{
    if (!m_doc.path().isEmpty())
        return m_doc.path();
    QString title = m_doc.title();
    for (const QChar stop : {QLatin1Char(':'), QLatin1Char('/'), QLatin1Char('\\')}) {
        const qsizetype cut = title.indexOf(stop);
        if (cut >= 0)
            title.truncate(cut);
    }
    if (title.isEmpty())
        title = QStringLiteral("List1");
    const std::optional<AppPaths>& paths = m_doc.environment().paths();
    const QString folder = paths ? paths->documentsDir() : QDir::homePath();
    const auto taken = [](const QString& path) {
        const QFileInfo info(path);
        return info.exists() || info.isSymLink();
    };
    QString path = folder + QLatin1Char('/') + title + QStringLiteral(".bid");
    if (!taken(path))
        return path;
    // Another list lives there (an earlier "List1.bid"): a new list never replaces it, it
    // takes the next free number instead.
    qsizetype digits = title.size();
    while (digits > 0 && title.at(digits - 1).isDigit())
        --digits;
    const QString stem = title.left(digits);
    int number = digits < title.size() ? QStringView(title).mid(digits).toInt() : 1;
    for (int tries = 0; tries < 10000; ++tries) {
        path =
            folder + QLatin1Char('/') + stem + QString::number(++number) + QStringLiteral(".bid");
        if (!taken(path))
            break;
    }
    return path;
}

bool DocumentStore::saveSilently(QString* message)
{
    const QString path = silentSavePath();
    QDir().mkpath(QFileInfo(path).absolutePath());
    return save(path, message);
}

bool DocumentStore::autosave(QString* message)
{
    const std::optional<AppPaths>& paths = m_doc.environment().paths();
    if (!paths)
        return false;
    const QString path = paths->autosaveFile();
    AppContext::logWrite(StringTable::text(473), ProgramLog::Info);
    QByteArray content;
    QString origin;
    {
        ItemsLockGuard guard(m_doc.itemsLock());
        content = BidListFile::write(m_doc);
        origin = m_doc.path();
    }
    // A list opened from the autosave copy itself has no file of its own to go back to.
    if (isAutosaveCopy(origin))
        origin.clear();
    QDir().mkpath(QFileInfo(path).absolutePath());
    QString error;
    if (!SafeFileWriter::write(path, content, &error)) {
        setMessage(message, saveFailureText(path, error));
        AppContext::logWrite(saveFailureText(path, error), ProgramLog::Error);
        return false;
    }
    // Without the record a recovered copy is saved as a new list: nothing is overwritten.
    if (!AutosaveOrigin::write(paths->autosaveOriginFile(), origin, content, &error))
        AppContext::logWrite(saveFailureText(paths->autosaveOriginFile(), error),
                             ProgramLog::Warning);
    return true;
}
