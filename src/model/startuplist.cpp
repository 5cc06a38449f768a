#include "model/startuplist.h"

#include "app/appcontext.h"
#include "model/autosaveorigin.h"
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
        // The copy goes back to the file it was made from when the list is next saved; a
        // copy of a list that had no file stays a new list.
        const QString origin = source == Source::Autosave
                                   ? AutosaveOrigin::read(paths->autosaveOriginFile(), autosave)
                                   : QString();
        if (!origin.isEmpty())
            doc.setPath(origin);
        store.finishLoad();
        if (source == Source::Autosave)
            AppContext::logMessage(recoveredText(origin), ProgramLog::Warning);
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
    if (QFileInfo::exists(defaultList) && askYesNo) {
        if (askYesNo(defaultListQuestion())) {
            if (store.open(defaultList))
                return Source::DefaultList;
            return Source::DefaultListFailed;
        }
        // The user chose a new empty list under that name: the file is now its own.
        store.resetToNewList();
        doc.setPath(defaultList);
        return Source::NewList;
    }
    store.resetToNewList();
    return Source::NewList;
}

QString StartupList::recoveredText(const QString& origin)
{
    if (origin.isEmpty())
        return QStringLiteral("The program ended abnormally: the unsaved new list was recovered "
                              "from the autosave copy.");
    return QStringLiteral("The program ended abnormally: the list \"%1\" was recovered from "
                          "the autosave copy and is saved to that file again.")
        .arg(origin);
}
