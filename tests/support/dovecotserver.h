#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <memory>

class QProcess;
class TestCertificate;

// A real POP3 server for the mail tests: Dovecot (Debian's dovecot-pop3d) run without
// privileges from a configuration in a temporary folder, on free loopback ports, with one
// passwd-file user whose Maildir the test fills. It offers USER/PASS and APOP; given a
// certificate also STLS on port() and implicit TLS on tlsPort(). Run as root, it runs as
// the user "nobody". The destructor stops it.
class DovecotServer
{
public:
    static constexpr const char* kUser = "alice";
    static constexpr const char* kPassword = "Tr0ub4dor&3";

    explicit DovecotServer(const TestCertificate* certificate = nullptr);
    ~DovecotServer();

    DovecotServer(const DovecotServer&) = delete;
    DovecotServer& operator=(const DovecotServer&) = delete;

    bool isRunning() const;
    QString errorString() const { return m_error; }
    int port() const { return m_port; }
    int tlsPort() const { return m_tlsPort; }

    // Delivers one mail; the mailbox lists mails in the order they were added.
    void addMail(const QByteArray& content);
    // Mails in the mailbox as files (before a session's deletions are committed by QUIT,
    // deleted mails are still counted).
    int mailCount() const;
    void clearMailbox();

private:
    bool startOnce(const TestCertificate* certificate);
    void writeConfiguration(const TestCertificate* certificate);
    QString path(const QString& relative) const { return m_dir.filePath(relative); }
    QString logTail() const;
    void stop();

    QTemporaryDir m_dir;
    std::unique_ptr<QProcess> m_process;
    int m_port = 0;
    int m_tlsPort = 0;
    int m_delivered = 0;
    // The account the server runs as: this process's, or "nobody" when that is root.
    unsigned m_uid = 0;
    unsigned m_gid = 0;
    QString m_error;
};
