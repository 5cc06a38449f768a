#pragma once

#include <QString>
#include <QtGlobal>

// The page a bid thread could not place after signing in, kept for diagnosis in the folder
// "Bidding" of the data folder as "BidProblem_<item>_<ddMM_HHmmss>.txt".
class BidProblemFile
{
public:
    // The file's path for item `itemId` at local time `localTime` (seconds since 1970). The
    // id comes from the user or a page: anything but letters and digits becomes '_', so
    // the name always stays inside the folder.
    static QString path(const QString& dataDir, const QString& itemId, qint64 localTime);

    // Writes `pageText` with every occurrence of `password` masked. Best effort: creates
    // the folder when missing; false when the folder or the file cannot be written.
    static bool save(const QString& dataDir, const QString& itemId, qint64 localTime,
                     const QString& pageText, const QString& password);
};
