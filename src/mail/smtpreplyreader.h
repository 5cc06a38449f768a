#pragma once

#include <QByteArray>
#include <QByteArrayView>

// Gathers one SMTP reply from the reads of a socket. The reply ends with its last line,
// the first line whose code is not followed by "-", so a multi-line reply (EHLO) is taken
// whole however the network splits it and nothing of it is left for the next command.
class SmtpReplyReader
{
public:
    enum State
    {
        Incomplete,
        Complete,
        // No SMTP reply: too long without an end, or a first or last line without a
        // three-digit code.
        Invalid
    };

    // Bytes the client reads from the socket at once.
    static constexpr qsizetype kReadSize = 1024;
    // Far above any real reply (a line is at most 512 bytes); past it the server is garbage.
    static constexpr qsizetype kMaxReplySize = 64 * 1024;

    // Adds what one read returned. Once complete or invalid, further bytes are ignored.
    State add(QByteArrayView bytes);
    State state() const { return m_state; }
    // Everything up to the end of the last line, without that line's line end.
    QByteArray text() const { return m_text; }
    // The three-digit code of the first line; -1 unless complete with a valid code.
    int code() const { return m_code; }
    void clear();

    // The code of a reply line: three digits, the first 1 to 5; -1 otherwise.
    static int codeOf(QByteArrayView reply);

private:
    QByteArray m_buffer;
    QByteArray m_text;
    qsizetype m_scanned = 0;
    int m_code = -1;
    State m_state = Incomplete;
};
