#include "sites/settingstool.h"

#include "app/appcontext.h"
#include "app/appsettings.h"
#include "app/registry.h"
#include "sites/builtinsitetable.h"
#include "sites/sitehosts.h"

#include <QRegularExpression>
#include <QTextStream>

namespace {

const QString kSites = QStringLiteral("Sites");
const QString kCommands = QStringLiteral("Sites\\Commands");
const QString kRecent = QStringLiteral("Recent File List");

QString escaped(QString value)
{
    value.replace(QLatin1String("\\"), QLatin1String("\\\\"));
    value.replace(QLatin1String("\r"), QLatin1String("\\r"));
    value.replace(QLatin1String("\n"), QLatin1String("\\n"));
    value.replace(QLatin1String("\t"), QLatin1String("\\t"));
    return value;
}

// The built-in value of a per-site key "<site>_<profile key>".
std::optional<QString> siteDefault(const QString& name)
{
    static const QRegularExpression siteName(QStringLiteral("^siteName(\\d{1,9})$"));
    const QRegularExpressionMatch match = siteName.match(name);
    if (match.hasMatch()) {
        const int site =
            match.captured(1).toInt() == 1 ? SiteHosts::UnitedStates : SiteHosts::Germany;
        return SiteHosts::siteName(site);
    }
    if (name.endsWith(QLatin1String("_KeyWord_TimeReg")))
        return QString::fromLatin1(BuiltInSiteTable::kDefaultTimePattern);
    for (const QString& key : BuiltInSiteTable::keys()) {
        if (name.size() > key.size() + 1 && name.endsWith('_' + key)) {
            const QString site = name.left(name.size() - key.size() - 1);
            return BuiltInSiteTable::defaultValue(key, BuiltInSiteTable::languageOf(site));
        }
    }
    return std::nullopt;
}

} // namespace

SettingsTool::SettingsTool(Registry& user, Registry& machine) : m_user(user), m_machine(machine) {}

QString SettingsTool::normalizeSection(const QString& section)
{
    QString normalized = section;
    normalized.replace('/', '\\');
    if (normalized == QLatin1String("(root)") || normalized == QLatin1String("\\"))
        return QString();
    return normalized;
}

bool SettingsTool::isMachineSection(const QString& section)
{
    const QString s = normalizeSection(section);
    return s.isEmpty() || s == kSites || s.startsWith(kSites + '\\') || s == QLatin1String("URL");
}

Registry& SettingsTool::storeOf(const QString& section) const
{
    return isMachineSection(section) ? m_machine : m_user;
}

std::optional<SettingsTool::Key> SettingsTool::describe(const QString& section,
                                                        const QString& key) const
{
    if (key.isEmpty())
        return std::nullopt;
    if (!isMachineSection(section)) {
        for (const SettingKey& row : settingKeys()) {
            if (section != QLatin1String(row.section) || key != QLatin1String(row.key))
                continue;
            if (std::holds_alternative<int AppSettings::*>(row.field))
                return Key{Kind::Int, QString::number(row.intDefault)};
            return Key{row.inverted ? Kind::Secret : Kind::Str, QString::fromUtf8(row.strDefault),
                       row.secret};
        }
        if (section == kRecent)
            return Key{Kind::Str, std::nullopt};
        return std::nullopt;
    }
    if (section.isEmpty()) {
        if (key == QLatin1String("versionApp"))
            return Key{Kind::Int, QString::number(AppContext::builtInVersion())};
        if (key == QLatin1String("SSVer") || key == QLatin1String("lastChecked"))
            return Key{Kind::Int, QStringLiteral("0")};
        return Key{Kind::Str, std::nullopt};
    }
    if (section == kSites) {
        if (key == QLatin1String("sitesCount"))
            return Key{Kind::Int, QStringLiteral("2")};
        return Key{Kind::Str, siteDefault(key)};
    }
    if (section == kCommands) {
        for (const auto& [name, fallback] : BuiltInSiteTable::commandDefaults()) {
            if (name == key)
                return Key{Kind::Str, fallback};
        }
    }
    if (section == QLatin1String("URL"))
        return Key{Kind::Str, QString()};
    return Key{Kind::Str, std::nullopt};
}

QString SettingsTool::display(const QString& section, const QString& key, const Key& info) const
{
    Registry& store = storeOf(section);
    if (info.secret && !m_showSecrets) {
        const QString value = info.kind == Kind::Secret ? store.readInverted(section, key)
                                                        : store.readStr(section, key);
        return value.isEmpty() ? QStringLiteral("(empty)") : QStringLiteral("(set)");
    }
    switch (info.kind) {
    case Kind::Secret:
        return store.readInverted(section, key);
    case Kind::Int:
        return QString::number(store.readInt(section, key, info.fallback.value_or("0").toInt()));
    case Kind::Str:
        break;
    }
    return store.readStr(section, key, info.fallback.value_or(QString()));
}

std::optional<QString> SettingsTool::get(const QString& rawSection, const QString& key) const
{
    const QString section = normalizeSection(rawSection);
    const std::optional<Key> info = describe(section, key);
    if (!info || (!info->fallback && !storeOf(section).contains(section, key)))
        return std::nullopt;
    return display(section, key, *info);
}

bool SettingsTool::set(const QString& rawSection, const QString& key, const QString& value,
                       QString* error, bool replaceDamaged)
{
    const QString section = normalizeSection(rawSection);
    const std::optional<Key> info = describe(section, key);
    if (!info) {
        if (error)
            *error = QStringLiteral("unknown setting %1\\%2").arg(section, key);
        return false;
    }
    Registry& store = storeOf(section);
    // A damaged file would only hold the value in memory until this process ends.
    const bool damaged = store.isDamaged();
    if (damaged && !replaceDamaged) {
        if (error)
            *error = QStringLiteral("the settings file %1 %2; nothing was changed. With "
                                    "--force it is replaced and the old file kept as %1.damaged")
                         .arg(store.path(), store.damageReason());
        return false;
    }
    if (info->kind == Kind::Int) {
        bool ok = false;
        const int number = value.trimmed().toInt(&ok);
        if (!ok) {
            if (error)
                *error = QStringLiteral("%1\\%2 takes a whole number, not \"%3\"")
                             .arg(section, key, value);
            return false;
        }
        store.writeInt(section, key, number);
    } else if (info->kind == Kind::Secret) {
        store.writeInverted(section, key, value);
    } else {
        store.writeStr(section, key, value);
    }
    if (damaged && !store.commitDamaged()) {
        if (error)
            *error = QStringLiteral("the damaged settings file %1 could not be replaced")
                         .arg(store.path());
        return false;
    }
    if (!store.sync()) {
        if (error)
            *error = QStringLiteral("the settings file %1 could not be written").arg(store.path());
        return false;
    }
    return true;
}

QStringList SettingsTool::damageWarnings() const
{
    QStringList lines;
    for (const Registry* store : {&m_user, &m_machine}) {
        if (store->isDamaged())
            lines << QStringLiteral("the settings file %1 %2: defaults are shown")
                         .arg(store->path(), store->damageReason());
    }
    return lines;
}

QStringList SettingsTool::exportLines() const
{
    QStringList lines;
    QString current;
    const auto header = [&](const QString& title) {
        if (title != current)
            lines << QStringLiteral("[%1]").arg(title);
        current = title;
    };
    for (const SettingKey& row : settingKeys()) {
        const QString section = QString::fromLatin1(row.section);
        const QString key = QString::fromLatin1(row.key);
        header(section);
        lines << QStringLiteral("%1 = %2").arg(
            key, escaped(display(section, key, *describe(section, key))));
    }
    const auto stored = [&](Registry& store, const QString& section, const QString& title) {
        const QStringList names = store.valueNames(section);
        if (names.isEmpty())
            return;
        header(title);
        for (const QString& key : names)
            lines << QStringLiteral("%1 = %2").arg(key, escaped(*get(section, key)));
    };
    stored(m_user, kRecent, kRecent);
    header(QStringLiteral("(root)"));
    for (const char* key : {"versionApp", "SSVer"})
        lines << QStringLiteral("%1 = %2").arg(QLatin1String(key),
                                               *get(QString(), QLatin1String(key)));
    header(kSites);
    lines << QStringLiteral("sitesCount = %1").arg(*get(kSites, QStringLiteral("sitesCount")));
    QStringList siteValues = m_machine.valueNames(kSites);
    siteValues.removeAll(QStringLiteral("sitesCount"));
    siteValues.sort();
    for (const QString& key : siteValues)
        lines << QStringLiteral("%1 = %2").arg(key, escaped(*get(kSites, key)));
    header(kCommands);
    for (const auto& [name, fallback] : BuiltInSiteTable::commandDefaults())
        lines << QStringLiteral("%1 = %2").arg(name, escaped(*get(kCommands, name)));
    header(QStringLiteral("URL"));
    for (const char* key : {"URLSettings", "URLPatchWS", "URLPatchNS"})
        lines << QStringLiteral("%1 = %2").arg(
            QLatin1String(key), escaped(*get(QStringLiteral("URL"), QLatin1String(key))));
    return lines;
}

int SettingsTool::run(const QStringList& rawArguments, QTextStream& out, QTextStream& err)
{
    const QString usage =
        QStringLiteral("Usage: gavelind settings get [--show-secrets] SECTION KEY\n"
                       "       gavelind settings set [--force] SECTION KEY VALUE\n"
                       "       gavelind settings export [--show-secrets]\n");
    QStringList arguments;
    bool force = false;
    bool showSecrets = false;
    bool optionsEnded = false;
    for (const QString& argument : rawArguments) {
        if (!optionsEnded && argument == QLatin1String("--"))
            optionsEnded = true;
        else if (!optionsEnded && argument == QLatin1String("--force"))
            force = true;
        else if (!optionsEnded && argument == QLatin1String("--show-secrets"))
            showSecrets = true;
        else
            arguments << argument;
    }
    const QString action = arguments.value(0);
    const bool reading = action == QLatin1String("get") || action == QLatin1String("export");
    if ((force && action != QLatin1String("set")) || (showSecrets && !reading)) {
        err << usage;
        return 2;
    }
    setShowSecrets(showSecrets);
    const auto warnDamaged = [&] {
        for (const QString& warning : damageWarnings())
            err << "gavelind settings: " << warning << '\n';
    };
    if (action == QLatin1String("get") && arguments.size() == 3) {
        warnDamaged();
        const std::optional<QString> value = get(arguments[1], arguments[2]);
        if (!value) {
            err << "gavelind settings: no value " << normalizeSection(arguments[1]) << '\\'
                << arguments[2] << '\n';
            return 1;
        }
        out << *value << '\n';
        return 0;
    }
    if (action == QLatin1String("set") && arguments.size() == 4) {
        QString error;
        if (!set(arguments[1], arguments[2], arguments[3], &error, force)) {
            err << "gavelind settings: " << error << '\n';
            return 1;
        }
        return 0;
    }
    if (action == QLatin1String("export") && arguments.size() == 1) {
        warnDamaged();
        for (const QString& line : exportLines())
            out << line << '\n';
        return 0;
    }
    err << usage;
    return 2;
}
