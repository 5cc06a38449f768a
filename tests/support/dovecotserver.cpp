#include "support/dovecotserver.h"

#include "support/testcertificate.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QThread>

#include <arpa/inet.h>
#include <csignal>
#include <grp.h>
#include <netinet/in.h>
#include <poll.h>
#include <pwd.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

const char kDovecot[] = "/usr/sbin/dovecot";

// A loopback port nobody listens on right now.
int freePort()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    int port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    ::close(fd);
    return port;
}

// Whether a POP3 greeting arrives on the port.
bool greets(int port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bool ok = false;
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
        pollfd wait{fd, POLLIN, 0};
        char reply[256] = {};
        ok = ::poll(&wait, 1, 2000) > 0 && ::recv(fd, reply, sizeof reply - 1, 0) > 3 &&
             QByteArray(reply).startsWith("+OK");
        ::send(fd, "quit\r\n", 6, MSG_NOSIGNAL);
    }
    ::close(fd);
    return ok;
}

} // namespace

DovecotServer::DovecotServer(const TestCertificate* certificate)
{
    if (!QFile::exists(QString::fromLatin1(kDovecot))) {
        m_error = "Dovecot is not installed (Debian package dovecot-pop3d)";
        return;
    }
    if (::getuid() == 0) {
        const passwd* nobody = ::getpwnam("nobody");
        if (!nobody) {
            m_error = "running as root and there is no user nobody to run Dovecot as";
            return;
        }
        m_uid = nobody->pw_uid;
        m_gid = nobody->pw_gid;
    } else {
        m_uid = ::getuid();
        m_gid = ::getgid();
    }
    for (const char* folder :
         {"run", "state", "home/Maildir/new", "home/Maildir/cur", "home/Maildir/tmp"})
        QDir().mkpath(path(QString::fromLatin1(folder)));
    // A port can be taken between choosing and binding it; then Dovecot ends and we retry.
    for (int attempt = 0; attempt < 3 && !isRunning(); ++attempt) {
        if (startOnce(certificate))
            m_error.clear();
    }
}

DovecotServer::~DovecotServer()
{
    stop();
}

bool DovecotServer::isRunning() const
{
    return m_process && m_process->state() == QProcess::Running && m_port > 0;
}

void DovecotServer::writeConfiguration(const TestCertificate* certificate)
{
    const passwd* account = ::getpwuid(m_uid);
    const group* team = ::getgrgid(m_gid);
    const QString user = account ? QString::fromLocal8Bit(account->pw_name) : QString();
    const QString groupName = team ? QString::fromLocal8Bit(team->gr_name) : QString();
    QString config = QStringLiteral("base_dir = %1/run\n"
                                    "state_dir = %1/state\n"
                                    "log_path = %1/dovecot.log\n"
                                    "protocols = pop3\n"
                                    "listen = 127.0.0.1\n"
                                    "disable_plaintext_auth = no\n"
                                    "auth_mechanisms = plain apop\n"
                                    "auth_failure_delay = 0\n"
                                    "default_internal_user = %2\n"
                                    "default_internal_group = %3\n"
                                    "default_login_user = %2\n"
                                    "mail_location = maildir:~/Maildir\n"
                                    "service pop3-login {\n"
                                    "  inet_listener pop3 {\n    port = %4\n  }\n")
                         .arg(m_dir.path(), user, groupName)
                         .arg(m_port);
    if (certificate) {
        config += QStringLiteral("  inet_listener pop3s {\n    port = %1\n    ssl = yes\n  }\n")
                      .arg(m_tlsPort);
    }
    config += QStringLiteral("  chroot =\n}\n"
                             "service anvil {\n  chroot =\n"
                             // No growing delay after the failed logins the tests make.
                             "  unix_listener anvil-auth-penalty {\n    mode = 0\n  }\n}\n"
                             "passdb {\n  driver = passwd-file\n"
                             "  args = scheme=PLAIN username_format=%u %1/passwd\n}\n"
                             "userdb {\n  driver = passwd-file\n"
                             "  args = username_format=%u %1/passwd\n}\n")
                  .arg(m_dir.path());
    if (certificate) {
        config += QStringLiteral("ssl = yes\nssl_cert = <%1\nssl_key = <%2\n")
                      .arg(certificate->certFile(), certificate->keyFile());
    } else {
        config += QStringLiteral("ssl = no\n");
    }
    QFile file(path(QStringLiteral("dovecot.conf")));
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    file.write(config.toUtf8());
    file.close();

    QFile users(path(QStringLiteral("passwd")));
    users.open(QIODevice::WriteOnly | QIODevice::Truncate);
    users.write(QStringLiteral("%1:{PLAIN}%2:%3:%4::%5/home::nodelay=y\n")
                    .arg(QString::fromLatin1(kUser), QString::fromLatin1(kPassword))
                    .arg(m_uid)
                    .arg(m_gid)
                    .arg(m_dir.path())
                    .toUtf8());
    users.close();

    if (::getuid() == 0) {
        ::chown(QFile::encodeName(m_dir.path()).constData(), m_uid, m_gid);
        QDirIterator all(m_dir.path(), QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                         QDirIterator::Subdirectories);
        while (all.hasNext())
            ::chown(QFile::encodeName(all.next()).constData(), m_uid, m_gid);
    }
}

bool DovecotServer::startOnce(const TestCertificate* certificate)
{
    stop();
    m_port = freePort();
    m_tlsPort = certificate ? freePort() : 0;
    writeConfiguration(certificate);
    m_process = std::make_unique<QProcess>();
    m_process->setProgram(QString::fromLatin1(kDovecot));
    m_process->setArguments({"-F", "-c", path(QStringLiteral("dovecot.conf"))});
    m_process->setProcessChannelMode(QProcess::ForwardedChannels);
    const bool root = ::getuid() == 0;
    const uid_t uid = m_uid;
    const gid_t gid = m_gid;
    m_process->setChildProcessModifier([root, uid, gid] {
        if (root && (::setgroups(0, nullptr) != 0 || ::setgid(gid) != 0 || ::setuid(uid) != 0))
            ::_exit(126);
        // After the change of user, which clears it: a test that crashes must not leave
        // the server behind.
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
    });
    m_process->start();
    if (!m_process->waitForStarted(5000)) {
        m_error = "cannot start Dovecot: " + m_process->errorString();
        return false;
    }
    const QDeadlineTimer deadline(15000);
    while (!deadline.hasExpired()) {
        if (m_process->state() != QProcess::Running)
            break;
        // Dovecot binds every listener before it serves the first.
        if (greets(m_port))
            return true;
        QThread::msleep(50);
    }
    m_error = "Dovecot did not start: " + logTail();
    stop();
    m_port = 0;
    return false;
}

void DovecotServer::stop()
{
    if (!m_process || m_process->state() == QProcess::NotRunning)
        return;
    m_process->terminate();
    if (!m_process->waitForFinished(5000)) {
        m_process->kill();
        m_process->waitForFinished(3000);
    }
}

QString DovecotServer::logTail() const
{
    QFile log(path(QStringLiteral("dovecot.log")));
    if (!log.open(QIODevice::ReadOnly))
        return QStringLiteral("(no log)");
    return QString::fromLocal8Bit(log.readAll().right(1500));
}

void DovecotServer::addMail(const QByteArray& content)
{
    // Maildir names sort in delivery order, which Dovecot keeps as the message order.
    const QString name = QStringLiteral("home/Maildir/new/%1.M%2P%3.gavelin")
                             .arg(1700000000 + m_delivered)
                             .arg(m_delivered, 6, 10, QLatin1Char('0'))
                             .arg(::getpid());
    ++m_delivered;
    QFile file(path(name));
    file.open(QIODevice::WriteOnly);
    file.write(content);
    file.close();
    if (::getuid() == 0)
        ::chown(QFile::encodeName(file.fileName()).constData(), m_uid, m_gid);
}

int DovecotServer::mailCount() const
{
    return int(QDir(path(QStringLiteral("home/Maildir/new"))).entryList(QDir::Files).size() +
               QDir(path(QStringLiteral("home/Maildir/cur"))).entryList(QDir::Files).size());
}

void DovecotServer::clearMailbox()
{
    for (const char* folder : {"home/Maildir/new", "home/Maildir/cur"}) {
        QDir dir(path(QString::fromLatin1(folder)));
        for (const QString& file : dir.entryList(QDir::Files))
            dir.remove(file);
    }
}
