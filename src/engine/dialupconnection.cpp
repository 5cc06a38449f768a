#include "engine/dialupconnection.h"

#include "engine/iprocessrunner.h"

#include <QDir>
#include <QFileInfo>

DialUpConnection::DialUpConnection(IProcessRunner& runner, QString peersFolder)
    : m_runner(runner), m_peersFolder(std::move(peersFolder))
{
}

bool DialUpConnection::isValidEntry(const QString& entry)
{
    if (entry.isEmpty() || entry.size() > 255 || entry.startsWith(QLatin1Char('-')) ||
        entry.startsWith(QLatin1Char('.')))
        return false;
    for (const QChar c : entry) {
        const bool plain = (c >= QLatin1Char('a') && c <= QLatin1Char('z')) ||
                           (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) ||
                           (c >= QLatin1Char('0') && c <= QLatin1Char('9')) ||
                           c == QLatin1Char('.') || c == QLatin1Char('_') || c == QLatin1Char('-');
        if (!plain)
            return false;
    }
    return true;
}

bool DialUpConnection::entries(QStringList* names) const
{
    names->clear();
    const QDir folder(m_peersFolder);
    if (!folder.exists() || !QFileInfo(m_peersFolder).isReadable())
        return false;
    const QFileInfoList files =
        folder.entryInfoList(QDir::Files | QDir::Readable | QDir::NoDotAndDotDot, QDir::Name);
    for (const QFileInfo& file : files) {
        // Editor backups and package leftovers are not entries.
        const QString name = file.fileName();
        if (isValidEntry(name) && !name.endsWith(QLatin1Char('~')) &&
            !name.endsWith(QLatin1String(".dpkg-old")) &&
            !name.endsWith(QLatin1String(".dpkg-dist")))
            names->append(name);
    }
    return true;
}

bool DialUpConnection::runFor(const char* program, const QString& entry, QString* error)
{
    const QString name = QString::fromLatin1(program);
    if (!isValidEntry(entry)) {
        *error = QStringLiteral("'%1' is not a dial-up entry name.").arg(entry);
        return false;
    }
    const IProcessRunner::Result result = m_runner.run(name, {entry});
    if (result.succeeded())
        return true;
    *error = result.errorText(name);
    return false;
}

bool DialUpConnection::dial(const QString& entry, QString* error)
{
    return runFor("pon", entry, error);
}

bool DialUpConnection::hangUp(const QString& entry, QString* error)
{
    return runFor("poff", entry, error);
}
