#include "mail/mailsocket.h"

#include <QDeadlineTimer>
#include <QFile>

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <openssl/bio.h>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int remainingMs(const QDeadlineTimer& deadline)
{
    const qint64 left = deadline.remainingTime();
    return left < 0 ? -1 : static_cast<int>(qMin<qint64>(left, 1 << 30));
}

// Waits until `fd` is ready for `events`; false when the deadline passes first.
bool waitFor(int fd, short events, const QDeadlineTimer& deadline)
{
    pollfd p{fd, events, 0};
    while (true) {
        const int r = ::poll(&p, 1, remainingMs(deadline));
        if (r > 0)
            return true;
        if (r == 0 || errno != EINTR)
            return false;
    }
}

// TLS over the socket through send() with MSG_NOSIGNAL: a server that hangs up must not
// raise SIGPIPE in the program, which the stock socket BIO's write() would.
int bioWrite(BIO* bio, const char* data, int length)
{
    const int fd = static_cast<int>(reinterpret_cast<intptr_t>(BIO_get_data(bio)));
    BIO_clear_retry_flags(bio);
    const ssize_t n = ::send(fd, data, static_cast<size_t>(length), MSG_NOSIGNAL);
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR))
        BIO_set_retry_write(bio);
    return static_cast<int>(n);
}

int bioRead(BIO* bio, char* data, int length)
{
    const int fd = static_cast<int>(reinterpret_cast<intptr_t>(BIO_get_data(bio)));
    BIO_clear_retry_flags(bio);
    const ssize_t n = ::recv(fd, data, static_cast<size_t>(length), 0);
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR))
        BIO_set_retry_read(bio);
    return static_cast<int>(n);
}

long bioControl(BIO*, int command, long, void*)
{
    return command == BIO_CTRL_FLUSH ? 1 : 0;
}

BIO_METHOD* socketMethod()
{
    static BIO_METHOD* const method = [] {
        BIO_METHOD* m =
            BIO_meth_new(BIO_get_new_index() | BIO_TYPE_SOURCE_SINK, "gavelin mail socket");
        BIO_meth_set_write(m, bioWrite);
        BIO_meth_set_read(m, bioRead);
        BIO_meth_set_ctrl(m, bioControl);
        return m;
    }();
    return method;
}

QString openSslError()
{
    const unsigned long code = ERR_get_error();
    ERR_clear_error();
    if (code == 0)
        return {};
    char text[256];
    ERR_error_string_n(code, text, sizeof text);
    return QString::fromLatin1(text);
}

} // namespace

MailSocket::MailSocket() = default;

MailSocket::~MailSocket()
{
    close();
}

void MailSocket::fail(Failure failure, int code, const QString& text)
{
    m_failure = failure;
    m_errorCode = code;
    m_errorText = text;
}

bool MailSocket::connectTo(const QString& host, int port, int timeoutMs)
{
    close();
    fail(NoFailure, 0, {});
    const QDeadlineTimer deadline(timeoutMs);
    const QByteArray name = host.trimmed().toUtf8();
    if (port <= 0 || port > 65535) {
        fail(ConnectFailure, EINVAL, QStringLiteral("the port %1 is not valid").arg(port));
        return false;
    }

    sockaddr_in dotted{};
    dotted.sin_family = AF_INET;
    dotted.sin_port = htons(static_cast<uint16_t>(port));
    if (::inet_pton(AF_INET, name.constData(), &dotted.sin_addr) == 1)
        return connectOne(&dotted, sizeof dotted, AF_INET, remainingMs(deadline));

    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    const int lookup =
        name.isEmpty() ? EAI_NONAME : ::getaddrinfo(name.constData(), nullptr, &hints, &found);
    if (lookup != 0) {
        fail(LookupFailure, lookup,
             QStringLiteral("cannot find the server %1: %2")
                 .arg(host, QString::fromLocal8Bit(::gai_strerror(lookup))));
        return false;
    }
    bool connected = false;
    for (addrinfo* a = found; a && !connected && !deadline.hasExpired(); a = a->ai_next) {
        if (a->ai_family == AF_INET)
            reinterpret_cast<sockaddr_in*>(a->ai_addr)->sin_port = htons(uint16_t(port));
        else if (a->ai_family == AF_INET6)
            reinterpret_cast<sockaddr_in6*>(a->ai_addr)->sin6_port = htons(uint16_t(port));
        else
            continue;
        connected = connectOne(a->ai_addr, a->ai_addrlen, a->ai_family, remainingMs(deadline));
    }
    ::freeaddrinfo(found);
    if (!connected && m_failure == NoFailure)
        fail(ConnectFailure, ETIMEDOUT, QStringLiteral("no answer from the server"));
    return connected;
}

bool MailSocket::connectOne(const void* address, unsigned length, int family, int timeoutMs)
{
    const int fd = ::socket(family, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) {
        fail(CreateFailure, errno,
             QStringLiteral("cannot create a socket: %1")
                 .arg(QString::fromLocal8Bit(strerror(errno))));
        return false;
    }
    int error = 0;
    if (::connect(fd, static_cast<const sockaddr*>(address), length) != 0) {
        error = errno;
        if (error == EINPROGRESS) {
            error = ETIMEDOUT;
            if (waitFor(fd, POLLOUT, QDeadlineTimer(timeoutMs))) {
                socklen_t size = sizeof error;
                if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) != 0)
                    error = errno;
            }
        }
    }
    if (error != 0) {
        ::close(fd);
        fail(ConnectFailure, error,
             QStringLiteral("cannot connect to the server: %1")
                 .arg(QString::fromLocal8Bit(strerror(error))));
        return false;
    }
    // Commands go out in pieces and each waits for its reply: no Nagle delay on the pieces.
    const int on = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    m_fd = fd;
    fail(NoFailure, 0, {});
    return true;
}

bool MailSocket::startTls(const QString& host, const QString& extraCaFile, int timeoutMs)
{
    if (m_fd < 0 || m_ssl) {
        fail(TlsFailure, 0, QStringLiteral("TLS: no plain connection to secure"));
        return false;
    }
    const QDeadlineTimer deadline(timeoutMs);
    ERR_clear_error();
    m_context = SSL_CTX_new(TLS_client_method());
    if (!m_context) {
        fail(TlsFailure, 0, QStringLiteral("TLS: cannot start: %1").arg(openSslError()));
        return false;
    }
    SSL_CTX_set_min_proto_version(m_context, TLS1_2_VERSION);
    SSL_CTX_set_verify(m_context, SSL_VERIFY_PEER, nullptr);
    SSL_CTX_set_mode(m_context,
                     SSL_MODE_ENABLE_PARTIAL_WRITE | SSL_MODE_ACCEPT_MOVING_WRITE_BUFFER);
    // A server that drops the line without a close_notify has still ended the reply.
    SSL_CTX_set_options(m_context, SSL_OP_IGNORE_UNEXPECTED_EOF);
    SSL_CTX_set_default_verify_paths(m_context);
    if (!extraCaFile.isEmpty() &&
        SSL_CTX_load_verify_locations(m_context, QFile::encodeName(extraCaFile).constData(),
                                      nullptr) != 1) {
        fail(TlsFailure, 0,
             QStringLiteral("TLS: cannot read the certificates in %1").arg(extraCaFile));
        freeTls();
        return false;
    }

    m_ssl = SSL_new(m_context);
    BIO* bio = BIO_new(socketMethod());
    BIO_set_data(bio, reinterpret_cast<void*>(static_cast<intptr_t>(m_fd)));
    BIO_set_init(bio, 1);
    SSL_set_bio(m_ssl, bio, bio);
    const QByteArray name = host.trimmed().toUtf8();
    in6_addr scratch;
    const bool isAddress = ::inet_pton(AF_INET, name.constData(), &scratch) == 1 ||
                           ::inet_pton(AF_INET6, name.constData(), &scratch) == 1;
    if (isAddress) {
        X509_VERIFY_PARAM_set1_ip_asc(SSL_get0_param(m_ssl), name.constData());
    } else {
        SSL_set1_host(m_ssl, name.constData());
        SSL_set_tlsext_host_name(m_ssl, name.constData());
    }

    while (true) {
        const int r = SSL_connect(m_ssl);
        if (r == 1)
            return true;
        const int error = SSL_get_error(m_ssl, r);
        bool ready = false;
        if (error == SSL_ERROR_WANT_READ)
            ready = waitFor(m_fd, POLLIN, deadline);
        else if (error == SSL_ERROR_WANT_WRITE)
            ready = waitFor(m_fd, POLLOUT, deadline);
        if (ready)
            continue;
        const long verdict = SSL_get_verify_result(m_ssl);
        QString text;
        if (verdict != X509_V_OK) {
            text = QStringLiteral("TLS: the server's certificate is not trusted: %1")
                       .arg(QString::fromLatin1(X509_verify_cert_error_string(verdict)));
        } else if (error == SSL_ERROR_WANT_READ || error == SSL_ERROR_WANT_WRITE) {
            text = QStringLiteral("TLS: the server did not complete the handshake in time");
        } else {
            const QString detail = openSslError();
            text =
                detail.isEmpty()
                    ? QStringLiteral("TLS: the server closed the connection during the handshake")
                    : QStringLiteral("TLS: the handshake failed: %1").arg(detail);
        }
        fail(TlsFailure, static_cast<int>(verdict), text);
        freeTls();
        return false;
    }
}

qsizetype MailSocket::read(char* buffer, qsizetype size)
{
    if (m_fd < 0)
        return -1;
    if (!m_ssl) {
        const ssize_t n = ::recv(m_fd, buffer, static_cast<size_t>(size), 0);
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR))
            return kWouldBlock;
        return n;
    }
    std::lock_guard<std::mutex> lock(m_tlsMutex);
    ERR_clear_error();
    const int n = SSL_read(m_ssl, buffer, static_cast<int>(qMin<qsizetype>(size, 1 << 30)));
    if (n > 0)
        return n;
    switch (SSL_get_error(m_ssl, n)) {
    case SSL_ERROR_WANT_READ:
    case SSL_ERROR_WANT_WRITE:
        return kWouldBlock;
    case SSL_ERROR_ZERO_RETURN:
        return 0;
    case SSL_ERROR_SYSCALL:
        return errno == 0 ? 0 : -1;
    default:
        return -1;
    }
}

bool MailSocket::hasPending() const
{
    std::lock_guard<std::mutex> lock(m_tlsMutex);
    return m_ssl && SSL_pending(m_ssl) > 0;
}

bool MailSocket::waitReadable(int timeoutMs) const
{
    if (m_fd < 0)
        return false;
    return hasPending() || waitFor(m_fd, POLLIN, QDeadlineTimer(timeoutMs));
}

bool MailSocket::writeAll(QByteArrayView data, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    qsizetype sent = 0;
    while (sent < data.size()) {
        if (m_fd < 0)
            return false;
        const size_t left = static_cast<size_t>(data.size() - sent);
        short waitEvents = POLLOUT;
        if (!m_ssl) {
            const ssize_t n = ::send(m_fd, data.data() + sent, left, MSG_NOSIGNAL);
            if (n > 0) {
                sent += n;
                continue;
            }
            if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)
                return false;
        } else {
            std::unique_lock<std::mutex> lock(m_tlsMutex);
            ERR_clear_error();
            const int n =
                SSL_write(m_ssl, data.data() + sent, static_cast<int>(qMin<size_t>(left, 1 << 20)));
            if (n > 0) {
                sent += n;
                continue;
            }
            const int error = SSL_get_error(m_ssl, n);
            if (error == SSL_ERROR_WANT_READ)
                waitEvents = POLLIN;
            else if (error != SSL_ERROR_WANT_WRITE)
                return false;
        }
        if (!waitFor(m_fd, waitEvents, deadline))
            return false;
    }
    return true;
}

void MailSocket::shutdown(int how)
{
    if (m_fd >= 0)
        ::shutdown(m_fd, how);
}

void MailSocket::freeTls()
{
    std::lock_guard<std::mutex> lock(m_tlsMutex);
    if (m_ssl)
        SSL_free(m_ssl);
    if (m_context)
        SSL_CTX_free(m_context);
    m_ssl = nullptr;
    m_context = nullptr;
}

void MailSocket::close()
{
    if (m_ssl) {
        std::lock_guard<std::mutex> lock(m_tlsMutex);
        // One try, never waited for: the socket is non-blocking.
        SSL_shutdown(m_ssl);
        ERR_clear_error();
    }
    freeTls();
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}
