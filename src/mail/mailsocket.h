#pragma once

#include <QByteArrayView>
#include <QString>
#include <mutex>

struct ssl_st;
struct ssl_ctx_st;

// One TCP connection to a mail server on a non-blocking POSIX socket, optionally under
// TLS (OpenSSL). The server's certificate is checked against the system's store (plus an
// optional extra file) and against the host name or address that was dialled.
//
// Thread contract: connectTo(), startTls(), shutdown() and close() run on the owner's
// thread while no other thread uses the socket. In between, one thread may read while
// another writes (the POP3 worker and its owner); the TLS calls are serialised inside.
class MailSocket
{
public:
    enum Failure
    {
        NoFailure,
        LookupFailure, // errorCode() is the resolver's code
        CreateFailure,
        ConnectFailure, // errorCode() is errno
        TlsFailure
    };
    // read(): nothing has arrived yet.
    static constexpr qsizetype kWouldBlock = -2;

    MailSocket();
    ~MailSocket();

    MailSocket(const MailSocket&) = delete;
    MailSocket& operator=(const MailSocket&) = delete;

    // A dotted IPv4 address, else the resolver's addresses in its order, until one takes the
    // connection; within timeoutMs in all. Closes any earlier connection first.
    bool connectTo(const QString& host, int port, int timeoutMs);
    // The TLS handshake on the connected socket; `host` is what the certificate must name.
    bool startTls(const QString& host, const QString& extraCaFile, int timeoutMs);

    bool isOpen() const { return m_fd >= 0; }
    bool isEncrypted() const { return m_ssl != nullptr; }
    int fd() const { return m_fd; }

    // Up to `size` bytes: the count, 0 once the peer has closed, -1 on an error, or
    // kWouldBlock when nothing is there yet.
    qsizetype read(char* buffer, qsizetype size);
    // Decrypted bytes wait inside TLS that a poll() on the socket would not announce.
    bool hasPending() const;
    // Waits until data (or the peer's close) can be read; false after timeoutMs.
    bool waitReadable(int timeoutMs) const;
    // Sends all of `data`, waiting for room at most timeoutMs in all.
    bool writeAll(QByteArrayView data, int timeoutMs);

    // ::shutdown() with SHUT_RD, SHUT_WR or SHUT_RDWR; nothing without a socket.
    void shutdown(int how);
    // Ends TLS politely when it runs, closes the socket; the object can connect again.
    void close();

    Failure failure() const { return m_failure; }
    int errorCode() const { return m_errorCode; }
    // One line for the log: why the last connectTo() or startTls() failed.
    QString errorText() const { return m_errorText; }

private:
    bool connectOne(const void* address, unsigned length, int family, int timeoutMs);
    void fail(Failure failure, int code, const QString& text);
    void freeTls();

    int m_fd = -1;
    ssl_ctx_st* m_context = nullptr;
    ssl_st* m_ssl = nullptr;
    mutable std::mutex m_tlsMutex;
    Failure m_failure = NoFailure;
    int m_errorCode = 0;
    QString m_errorText;
};
