#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <QTemporaryDir>
#include <memory>

class QProcess;
class TestCertificate;

// A real SMTP server for the mail tests: aiosmtpd (Debian's python3-aiosmtpd) run by
// smtpserver.py on a free loopback port. Every accepted mail is kept as it arrived and as
// Python's email package reads it (see smtpserver.py). The destructor stops it.
class SmtpServer
{
public:
    struct Options
    {
        // Not empty: AUTH LOGIN with these credentials is required before MAIL FROM.
        QString user;
        QString password;
        // EHLO is answered with 502, so the client must fall back to HELO.
        bool refuseEhlo = false;
        // Offer STARTTLS, or speak TLS from the first byte, with this certificate.
        const TestCertificate* startTls = nullptr;
        const TestCertificate* implicitTls = nullptr;
    };

    explicit SmtpServer(const Options& options);
    SmtpServer() : SmtpServer(Options{}) {}
    ~SmtpServer();

    SmtpServer(const SmtpServer&) = delete;
    SmtpServer& operator=(const SmtpServer&) = delete;

    bool isRunning() const;
    QString errorString() const { return m_error; }
    int port() const { return m_port; }

    int messageCount() const;
    // Mail `n` (from 1) as the email package read it; empty when there is none.
    QJsonObject message(int n) const;
    QByteArray rawMessage(int n) const;

private:
    QTemporaryDir m_dir;
    std::unique_ptr<QProcess> m_process;
    int m_port = 0;
    QString m_error;
};
