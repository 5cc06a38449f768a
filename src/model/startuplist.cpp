#include "model/startuplist.h"

#include "app/appcontext.h"
#include "model/bidsdoc.h"
#include "model/documentstore.h"
#include "model/listenvironment.h"

#include <QFileInfo>

QString StartupList::defaultListQuestion()
{
    return QStringLiteral(
        "The file List1.bid, which includes a list of the saved items, already exists on your "
        "computer.\nDo you want to resume using the existing file? If No, the program will "
        "create a new empty list with the same name.");
}

StartupList::Source StartupList::load(CBidsDoc& doc, const AskYesNo& askYesNo)
{
    DocumentStore store(doc);
    const std::optional<AppPaths>& paths = doc.environment().paths();
    if (!paths) {
        store.resetToNewList();
        return Source::NewList;
    }

    const QString autosave = paths->autosaveFile();
    const QFileInfo autosaveInfo(autosave);
    if (doc.settings().autoSave != 0 && autosaveInfo.isFile() && autosaveInfo.size() > 0) {
        AppContext::logWrite(QStringLiteral("Try load 'autosave.dat' file!"), ProgramLog::Info);
        store.resetToNewList();
        QString reason;
        Source source = Source::Autosave;
        if (!store.readFile(autosave, &reason)) {
            AppContext::logWrite(QStringLiteral("'autosave.dat' file is corrupted!"),
                                 ProgramLog::Error);
            source = Source::AutosaveCorrupted;
        }
        // A new list with the copy's content (or none): the user's own file is not touched.
        store.finishLoad();
        doc.setModified(true);
        return source;
    }

    const QStringList recent = doc.settings().recentFiles;
    const QString last = recent.isEmpty() ? QString() : recent.first();
    if (!last.isEmpty() && QFileInfo::exists(last)) {
        AppContext::logWrite(QStringLiteral("Try load recent file '%1'").arg(last));
        if (store.open(last))
            return Source::RecentFile;
        return Source::RecentFileFailed;
    }

    const QString defaultList = paths->documentsDir() + QLatin1Char('/') + defaultListName();
    if (QFileInfo::exists(defaultList) && askYesNo && askYesNo(defaultListQuestion())) {
        if (store.open(defaultList))
            return Source::DefaultList;
        return Source::DefaultListFailed;
    }
    store.resetToNewList();
    return Source::NewList;
}
