#pragma once

#include <QMap>
#include <QMutex>
#include <QSettings>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <memory>

// One settings root (per-user or machine-wide) kept in an INI file. Sections are key
// paths such as "Options" or "Options\Frame"; values are 32-bit numbers or strings, and
// secrets are kept inverted (every byte complemented). Safe to use from any thread.
//
// A file that cannot be read or parsed (not a regular file, too large, not text, not an
// INI file) is left untouched: reads give defaults and writes are held in memory until
// commitDamaged() is called by an explicit save of the options or a forced `settings set`.
// An older file in Windows-1252 is converted to UTF-8 once, the original kept beside it.
// The file is kept private to the user (0600): it holds passwords.
class Registry
{
public:
    explicit Registry(const QString& iniPath);
    ~Registry();

    Registry(const Registry&) = delete;
    Registry& operator=(const Registry&) = delete;

    QString path() const { return m_path; }
    bool isDamaged() const;
    QString damageReason() const;
    // What the start-up log should tell about the file (a conversion), else empty.
    QString notice() const;

    int readInt(const QString& section, const QString& key, int defaultValue) const;
    QString readStr(const QString& section, const QString& key,
                    const QString& defaultValue = QString()) const;
    // An inverted value that was never set reads as an empty string.
    QString readInverted(const QString& section, const QString& key) const;

    void writeInt(const QString& section, const QString& key, int value);
    void writeStr(const QString& section, const QString& key, const QString& value);
    void writeInverted(const QString& section, const QString& key, const QString& value);

    bool contains(const QString& section, const QString& key) const;
    void removeValue(const QString& section, const QString& key);
    void removeSection(const QString& section);
    // Value names directly in a section, and its direct subsections.
    QStringList valueNames(const QString& section) const;
    QStringList subsections(const QString& section) const;
    // Copies every value below `from` to the same relative paths below `to` in `target`.
    bool copyTree(const QString& from, Registry& target, const QString& to) const;

    // Writes pending values to disk. False when the file could not be written, or is
    // damaged and holds the values back.
    bool sync();
    // The user saved the options: a damaged file is replaced by the values held in memory
    // and kept as "<file>.damaged". False when it could not be moved aside or written.
    bool commitDamaged();

    // Complements every byte: the same operation stores and restores an inverted value.
    static QByteArray invertBytes(const QByteArray& bytes);

private:
    static QString keyPath(const QString& section, const QString& key);
    QVariant rawValue(const QString& path) const;
    void setRaw(const QString& path, const QVariant& value);
    void checkFile();

    QString m_path;
    mutable QMutex m_mutex;
    std::unique_ptr<QSettings> m_settings;
    bool m_damaged = false;
    QString m_damageReason;
    QString m_notice;
    QMap<QString, QVariant> m_pending; // writes held back while the file is damaged
};
