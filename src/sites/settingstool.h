#pragma once

#include <QString>
#include <QStringList>
#include <optional>

class Registry;
class QTextStream;

// `gavelind settings`: reads and writes single values of the per-user and the
// machine-wide store, and prints all of them. Passwords (inverted on disk or not) are
// shown as "(set)" or "(empty)" unless showing them was asked for. A store whose file is
// damaged takes no value unless replacing it was asked for. Sections are written
// "Options", "Login", "Sites\Commands" (or "Sites/Commands"); "(root)" or "" is the
// machine-wide root. Sites, URL and the root live in the machine-wide store, every other
// section per user.
class SettingsTool
{
public:
    SettingsTool(Registry& user, Registry& machine);

    // The value as the program sees it (its default when absent); nothing for a value
    // that is neither stored nor known.
    std::optional<QString> get(const QString& section, const QString& key) const;
    // Stores a value; numbers are checked. False with `error` set when refused or not
    // written. A damaged settings file refuses it unless `replaceDamaged`: the file is then
    // kept as "<file>.damaged" and a new one holds the value.
    bool set(const QString& section, const QString& key, const QString& value, QString* error,
             bool replaceDamaged = false);
    // Every value, one "key = value" line each under "[section]" headers; line breaks and
    // backslashes in values are escaped.
    QStringList exportLines() const;

    // Passwords in clear for get() and exportLines().
    void setShowSecrets(bool on) { m_showSecrets = on; }
    // One line for each damaged store: its file, why, and that defaults are shown.
    QStringList damageWarnings() const;

    // Arguments after the command name: get SECTION KEY | set SECTION KEY VALUE | export,
    // with --show-secrets (get, export) and --force (set) anywhere before a "--".
    int run(const QStringList& arguments, QTextStream& out, QTextStream& err);

    static QString normalizeSection(const QString& section);
    static bool isMachineSection(const QString& section);

private:
    enum class Kind
    {
        Int,
        Str,
        Secret
    };
    struct Key
    {
        Kind kind;
        std::optional<QString> fallback;
        bool secret = false;
    };
    std::optional<Key> describe(const QString& section, const QString& key) const;
    QString display(const QString& section, const QString& key, const Key& info) const;
    Registry& storeOf(const QString& section) const;

    Registry& m_user;
    Registry& m_machine;
    bool m_showSecrets = false;
};
