#include "app/registry.h"

#include "app/settingsfile.h"

#include <QFile>
#include <QMutexLocker>
#include <limits>

Registry::Registry(const QString& iniPath) : m_path(iniPath)
{
    checkFile();
    if (!m_damaged)
        m_settings = std::make_unique<QSettings>(m_path, QSettings::IniFormat);
}

Registry::~Registry()
{
    if (m_settings) {
        m_settings->sync();
        SettingsFile::makePrivate(m_path);
    }
}

void Registry::checkFile()
{
    const SettingsFile::Inspection file = SettingsFile::inspect(m_path);
    // The file holds passwords, and older versions left it readable by everyone.
    SettingsFile::makePrivate(m_path);
    switch (file.state) {
    case SettingsFile::State::Missing:
    case SettingsFile::State::Utf8:
        break;
    case SettingsFile::State::Windows1252: {
        QString error;
        if (!SettingsFile::convertToUtf8(m_path, file.content, &error)) {
            m_damaged = true;
            m_damageReason =
                QStringLiteral("is in Windows-1252 and cannot be rewritten as UTF-8 (%1)")
                    .arg(error);
            return;
        }
        m_notice = QStringLiteral("was in Windows-1252 and is now kept in UTF-8; the original "
                                  "is kept as %1")
                       .arg(SettingsFile::backupPath(m_path));
        break;
    }
    case SettingsFile::State::Damaged:
        m_damaged = true;
        m_damageReason = file.reason;
        return;
    }
    if (file.state == SettingsFile::State::Missing)
        return;
    QSettings probe(m_path, QSettings::IniFormat);
    (void)probe.allKeys();
    if (probe.status() != QSettings::NoError) {
        m_damaged = true;
        m_damageReason = QStringLiteral("is damaged");
    }
}

bool Registry::isDamaged() const
{
    QMutexLocker lock(&m_mutex);
    return m_damaged;
}

QString Registry::damageReason() const
{
    QMutexLocker lock(&m_mutex);
    return m_damageReason;
}

QString Registry::notice() const
{
    QMutexLocker lock(&m_mutex);
    return m_notice;
}

QString Registry::keyPath(const QString& section, const QString& key)
{
    QString path = section;
    path.replace('\\', '/');
    if (!path.isEmpty() && !key.isEmpty())
        path += '/';
    return path + key;
}

QVariant Registry::rawValue(const QString& path) const
{
    if (m_damaged)
        return m_pending.value(path);
    return m_settings->value(path);
}

void Registry::setRaw(const QString& path, const QVariant& value)
{
    if (m_damaged)
        m_pending.insert(path, value);
    else
        m_settings->setValue(path, value);
}

int Registry::readInt(const QString& section, const QString& key, int defaultValue) const
{
    QMutexLocker lock(&m_mutex);
    const QVariant value = rawValue(keyPath(section, key));
    if (!value.isValid())
        return defaultValue;
    bool ok = false;
    const qlonglong number = value.toString().trimmed().toLongLong(&ok);
    // Values are 32-bit: an unsigned form of a negative number reads back as that number.
    if (!ok || number < std::numeric_limits<qint32>::min() ||
        number > std::numeric_limits<quint32>::max())
        return defaultValue;
    return static_cast<qint32>(static_cast<quint32>(number));
}

QString Registry::readStr(const QString& section, const QString& key,
                          const QString& defaultValue) const
{
    QMutexLocker lock(&m_mutex);
    const QVariant value = rawValue(keyPath(section, key));
    if (!value.isValid())
        return defaultValue;
    // A hand-edited value with commas comes back from the INI reader as a list.
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(',');
    if (value.typeId() == QMetaType::QByteArray)
        return QString::fromUtf8(value.toByteArray());
    return value.toString();
}

QString Registry::readInverted(const QString& section, const QString& key) const
{
    QMutexLocker lock(&m_mutex);
    const QVariant value = rawValue(keyPath(section, key));
    if (!value.isValid())
        return QString();
    const QByteArray stored =
        value.typeId() == QMetaType::QByteArray ? value.toByteArray() : value.toString().toLatin1();
    return QString::fromUtf8(invertBytes(stored));
}

void Registry::writeInt(const QString& section, const QString& key, int value)
{
    QMutexLocker lock(&m_mutex);
    setRaw(keyPath(section, key), value);
}

void Registry::writeStr(const QString& section, const QString& key, const QString& value)
{
    QMutexLocker lock(&m_mutex);
    setRaw(keyPath(section, key), value);
}

void Registry::writeInverted(const QString& section, const QString& key, const QString& value)
{
    QMutexLocker lock(&m_mutex);
    setRaw(keyPath(section, key), invertBytes(value.toUtf8()));
}

bool Registry::contains(const QString& section, const QString& key) const
{
    QMutexLocker lock(&m_mutex);
    const QString path = keyPath(section, key);
    return m_damaged ? m_pending.contains(path) : m_settings->contains(path);
}

void Registry::removeValue(const QString& section, const QString& key)
{
    QMutexLocker lock(&m_mutex);
    const QString path = keyPath(section, key);
    if (m_damaged)
        m_pending.remove(path);
    else
        m_settings->remove(path);
}

void Registry::removeSection(const QString& section)
{
    QMutexLocker lock(&m_mutex);
    const QString prefix = keyPath(section, QString());
    if (m_damaged) {
        for (auto it = m_pending.begin(); it != m_pending.end();) {
            if (it.key().startsWith(prefix + '/'))
                it = m_pending.erase(it);
            else
                ++it;
        }
    } else {
        m_settings->remove(prefix);
    }
}

QStringList Registry::valueNames(const QString& section) const
{
    QMutexLocker lock(&m_mutex);
    const QString prefix = keyPath(section, QString());
    if (m_damaged) {
        QStringList names;
        for (auto it = m_pending.cbegin(); it != m_pending.cend(); ++it) {
            const QString rest = prefix.isEmpty() ? it.key() : it.key().mid(prefix.size() + 1);
            if ((prefix.isEmpty() || it.key().startsWith(prefix + '/')) && !rest.contains('/'))
                names << rest;
        }
        return names;
    }
    m_settings->beginGroup(prefix);
    QStringList names = m_settings->childKeys();
    m_settings->endGroup();
    return names;
}

QStringList Registry::subsections(const QString& section) const
{
    QMutexLocker lock(&m_mutex);
    const QString prefix = keyPath(section, QString());
    if (m_damaged) {
        QStringList groups;
        for (auto it = m_pending.cbegin(); it != m_pending.cend(); ++it) {
            if (!prefix.isEmpty() && !it.key().startsWith(prefix + '/'))
                continue;
            const QString rest = prefix.isEmpty() ? it.key() : it.key().mid(prefix.size() + 1);
            const int slash = rest.indexOf('/');
            if (slash > 0 && !groups.contains(rest.left(slash)))
                groups << rest.left(slash);
        }
        return groups;
    }
    m_settings->beginGroup(prefix);
    QStringList groups = m_settings->childGroups();
    m_settings->endGroup();
    return groups;
}

bool Registry::copyTree(const QString& from, Registry& target, const QString& to) const
{
    if (&target == this)
        return false;
    QMap<QString, QVariant> values;
    {
        QMutexLocker lock(&m_mutex);
        if (m_damaged)
            return false;
        m_settings->beginGroup(keyPath(from, QString()));
        const QStringList keys = m_settings->allKeys();
        for (const QString& key : keys)
            values.insert(key, m_settings->value(key));
        m_settings->endGroup();
    }
    QMutexLocker lock(&target.m_mutex);
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        target.setRaw(keyPath(to, it.key()), it.value());
    return true;
}

bool Registry::sync()
{
    QMutexLocker lock(&m_mutex);
    if (!m_settings)
        return false;
    m_settings->sync();
    SettingsFile::makePrivate(m_path);
    return m_settings->status() == QSettings::NoError;
}

bool Registry::commitDamaged()
{
    QMutexLocker lock(&m_mutex);
    if (!m_damaged)
        return true;
    // The unreadable file is kept beside the new one, never silently thrown away.
    const QString keep = m_path + ".damaged";
    QFile::remove(keep);
    if (!QFile::rename(m_path, keep) && !QFile::remove(m_path))
        return false;
    m_settings = std::make_unique<QSettings>(m_path, QSettings::IniFormat);
    for (auto it = m_pending.cbegin(); it != m_pending.cend(); ++it)
        m_settings->setValue(it.key(), it.value());
    m_pending.clear();
    m_damaged = false;
    m_damageReason.clear();
    m_settings->sync();
    SettingsFile::makePrivate(m_path);
    return m_settings->status() == QSettings::NoError;
}

QByteArray Registry::invertBytes(const QByteArray& bytes)
{
    QByteArray out(bytes.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < bytes.size(); ++i)
        out[i] = static_cast<char>(~static_cast<unsigned char>(bytes[i]));
    return out;
}
