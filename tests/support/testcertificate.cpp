#include "support/testcertificate.h"

#include <QFile>
#include <QProcess>

TestCertificate::TestCertificate()
{
    QProcess openssl;
    openssl.setProcessChannelMode(QProcess::MergedChannels);
    openssl.start(QStringLiteral("openssl"),
                  {"req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1",
                   "-nodes", "-days", "2", "-subj", "/CN=gavelin-test", "-addext",
                   "subjectAltName=IP:127.0.0.1", "-keyout", keyFile(), "-out", certFile()});
    if (!openssl.waitForFinished(30000) || openssl.exitStatus() != QProcess::NormalExit ||
        openssl.exitCode() != 0) {
        m_error = "openssl could not make a certificate: " + openssl.errorString() + " " +
                  QString::fromLocal8Bit(openssl.readAll());
        return;
    }
    const auto everyone = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther;
    QFile::setPermissions(m_dir.path(), everyone | QFile::WriteOwner | QFile::ExeOwner |
                                            QFile::ExeGroup | QFile::ExeOther);
    QFile::setPermissions(certFile(), everyone | QFile::WriteOwner);
    QFile::setPermissions(keyFile(), everyone | QFile::WriteOwner);
    m_valid = true;
}
