#pragma once

#include <QString>
#include <QStringList>

class IProcessRunner;

// The phone-book of pppd: each file in the peers folder is an entry, dialled with
// "pon ENTRY" and hung up with "poff ENTRY".
class DialUpConnection
{
public:
    static constexpr auto kPeersFolder = "/etc/ppp/peers";

    explicit DialUpConnection(IProcessRunner& runner,
                              QString peersFolder = QString::fromLatin1(kPeersFolder));

    // The entries, sorted; false when the folder cannot be read (no dial-up on this system).
    bool entries(QStringList* names) const;

    // Starts the link for `entry`. `error` says why not.
    bool dial(const QString& entry, QString* error);
    bool hangUp(const QString& entry, QString* error);

    // pppd reads an entry name as a file below the peers folder and an argument starting
    // with '-' as an option, so a name is plain letters, digits, '.', '_' and '-'.
    static bool isValidEntry(const QString& entry);

    QString peersFolder() const { return m_peersFolder; }

private:
    bool runFor(const char* program, const QString& entry, QString* error);

    IProcessRunner& m_runner;
    QString m_peersFolder;
};
