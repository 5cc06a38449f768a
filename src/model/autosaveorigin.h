#pragma once

#include <QByteArrayView>
#include <QString>

// Which list file the autosave copy is a copy of, kept in a small record beside
// "autosave.dat" so that the copy itself stays an ordinary list that every reader takes.
// The record names the digest of the copy it belongs to: a record left over from an
// earlier copy, or one whose copy was replaced by a crash between the two writes, names
// no list at all, and the recovered list is then saved like a new one.
class AutosaveOrigin
{
public:
    // Records `listPath` as the origin of `copy` (the bytes just written to the autosave
    // file). An empty `listPath` removes the record.
    static bool write(const QString& recordPath, const QString& listPath, QByteArrayView copy,
                      QString* error = nullptr);
    // The list whose copy `copyPath` holds, or empty when the record is missing, unreadable
    // or belongs to another copy.
    static QString read(const QString& recordPath, const QString& copyPath);
    static void remove(const QString& recordPath);
};
