#pragma once

#include "mail/mailsecurity.h"
#include "mail/mailsocket.h"

#include <QByteArray>
#include <QString>
#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>

class QThread;

// A small synchronous POP3 client. Each operation sends its command (a login up to two)
// and blocks until the reply is complete, the connection ends or the reply time-out
// passes; the socket itself is serviced by a worker thread of the client that gathers
// what the server sends and wakes the waiting owner.
//
// Every operation returns false on failure and leaves a fixed one-line status text that
// LastMessage() fetches. The status texts are for the log; none ever holds a password.
//
// Thread contract: one owner thread calls every operation; abort() may be called from any
// thread. The owner ends with Disconnect() (the destructor does it when forgotten).
class Pop3Client
{
public:
    static constexpr qsizetype kChunkSize = 2048;
    static constexpr int kReplyTimeoutMs = 20000;
    // A reply that grows past this is not a mail server talking: the connection is dropped.
    static constexpr qsizetype kMaxReplySize = 64 * 1024 * 1024;

    Pop3Client();
    ~Pop3Client();

    Pop3Client(const Pop3Client&) = delete;
    Pop3Client& operator=(const Pop3Client&) = delete;

    // How long a reply may keep the owner waiting while the worker is idle; the wait starts
    // again while the worker is handling data. Also bounds the TCP connect and TLS handshake.
    void setReplyTimeout(int milliseconds) { m_replyTimeoutMs = milliseconds; }

    // Connects, starts the worker and reads the greeting (its APOP timestamp is kept). With
    // TLS the greeting is read encrypted (implicit) or STLS follows it.
    bool Connect(const QString& host, int port, const MailSecurity& security = {});
    bool Login(const QString& user, const QString& password, bool useApop);
    // "count size" of the mailbox.
    bool Stat(QString& text);
    // The whole reply: status line, headers, blank line, first body line, final dot line.
    bool Top(int message, QByteArray& text);
    // The whole reply including the status line.
    bool Retrieve(int message, QByteArray& text);
    bool Delete(int message);
    bool GetFrom(int message, QString& text);
    bool GetSubject(int message, QString& text);
    // Sends QUIT without waiting for the answer.
    bool Quit();
    // QUIT when logged in, stops the worker and closes the socket; always succeeds.
    bool Disconnect();
    // Copies the status text into `text` unless it is empty.
    bool LastMessage(QString& text) const;

    // Any thread: ends the wait in progress and every later one until the next Connect(),
    // for a poll that must stop now (program exit).
    void abort();

    bool isConnected() const { return m_connected.load(); }
    bool isLoggedIn() const { return m_loggedIn.load(); }
    bool isEncrypted() const { return m_socket.isEncrypted(); }
    QByteArray apopTimestamp() const { return m_apopTimestamp; }

private:
    bool command(const QByteArray& line, QByteArrayView terminator, QByteArray& reply);
    bool sendLine(const QByteArray& line);
    void expect(QByteArrayView terminator);
    bool waitForReply(QByteArray& reply);
    bool header(int message, QByteArrayView label, const char* missing, QString& text);
    bool startWorker();
    void stopWorker();
    bool secureAfterGreeting(const QString& host, const MailSecurity& security);
    void setStatus(const QString& text);

    // Worker thread.
    void workerLoop();
    bool readBurst();
    void closeFromWorker(const QString& text);

    MailSocket m_socket;
    std::unique_ptr<QThread> m_worker;
    // The worker's second wake-up besides the socket: a byte here tells it to end.
    int m_exitPipe[2] = {-1, -1};
    int m_replyTimeoutMs = kReplyTimeoutMs;

    std::atomic<bool> m_connected{false};
    std::atomic<bool> m_loggedIn{false};
    std::atomic<bool> m_workerBusy{false};
    std::atomic<bool> m_aborted{false};

    // Shared by owner and worker: the reply being gathered, what ends it, whether it is
    // complete (the response event), and the status text.
    mutable std::mutex m_mutex;
    std::condition_variable m_response;
    bool m_responseSignalled = false;
    QByteArray m_terminator;
    QByteArray m_received;
    QString m_status;

    QByteArray m_apopTimestamp;
};
