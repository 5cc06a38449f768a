#include "support/smtpserver.h"

#include "support/testcertificate.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QProcess>

#include <csignal>
#include <sys/prctl.h>

SmtpServer::SmtpServer(const Options& options) : m_process(std::make_unique<QProcess>())
{
    QStringList arguments{QStringLiteral(GAVELIN_SOURCE_DIR "/tests/support/smtpserver.py"),
                          "--dir", m_dir.path()};
    if (!options.user.isEmpty())
        arguments << "--user" << options.user << "--password" << options.password;
    if (options.refuseEhlo)
        arguments << "--ehlo-502";
    if (options.startTls)
        arguments << "--starttls" << options.startTls->certFile() << options.startTls->keyFile();
    if (options.implicitTls)
        arguments << "--implicit-tls" << options.implicitTls->certFile()
                  << options.implicitTls->keyFile();
    // Debian's own interpreter: the one that has python3-aiosmtpd.
    m_process->setProgram(QStringLiteral("/usr/bin/python3"));
    m_process->setArguments(arguments);
    m_process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    // A test that crashes must not leave the server behind.
    m_process->setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
    m_process->start();
    if (!m_process->waitForStarted(5000)) {
        m_error = "cannot start /usr/bin/python3: " + m_process->errorString();
        return;
    }
    const QDeadlineTimer deadline(15000);
    QByteArray output;
    while (!deadline.hasExpired() && !output.contains('\n')) {
        if (m_process->state() != QProcess::Running) {
            m_error = "smtpserver.py ended (is python3-aiosmtpd installed?)";
            return;
        }
        m_process->waitForReadyRead(100);
        output += m_process->readAllStandardOutput();
    }
    const QByteArray line = output.left(output.indexOf('\n')).trimmed();
    if (line.startsWith("port="))
        m_port = line.mid(5).toInt();
    if (m_port <= 0)
        m_error = "smtpserver.py printed no port: " + QString::fromUtf8(line);
}

SmtpServer::~SmtpServer()
{
    if (m_process->state() == QProcess::NotRunning)
        return;
    m_process->terminate();
    if (!m_process->waitForFinished(5000)) {
        m_process->kill();
        m_process->waitForFinished(3000);
    }
}

bool SmtpServer::isRunning() const
{
    return m_port > 0 && m_process->state() == QProcess::Running;
}

int SmtpServer::messageCount() const
{
    return int(QDir(m_dir.path()).entryList({QStringLiteral("*.json")}, QDir::Files).size());
}

QJsonObject SmtpServer::message(int n) const
{
    QFile file(m_dir.filePath(QStringLiteral("%1.json").arg(n)));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QJsonDocument::fromJson(file.readAll()).object();
}

QByteArray SmtpServer::rawMessage(int n) const
{
    QFile file(m_dir.filePath(QStringLiteral("%1.eml").arg(n)));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
