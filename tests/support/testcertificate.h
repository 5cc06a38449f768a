#pragma once

#include <QString>
#include <QTemporaryDir>

// A throw-away self-signed server certificate for 127.0.0.1 (made with the openssl
// program), for TLS tests: trusted only by a client that is given certFile() as an extra
// trust anchor. The folder and files are readable by all, so that a server running as
// another user can load them.
class TestCertificate
{
public:
    TestCertificate();

    bool isValid() const { return m_valid; }
    QString errorString() const { return m_error; }
    QString certFile() const { return m_dir.filePath(QStringLiteral("cert.pem")); }
    QString keyFile() const { return m_dir.filePath(QStringLiteral("key.pem")); }

private:
    QTemporaryDir m_dir;
    bool m_valid = false;
    QString m_error;
};
