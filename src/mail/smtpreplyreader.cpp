#include "mail/smtpreplyreader.h"

int SmtpReplyReader::codeOf(QByteArrayView reply)
{
    if (reply.size() < 3)
        return -1;
    const char a = reply[0], b = reply[1], c = reply[2];
    // "000" or letters would read as 0, which callers take for success.
    if (a < '1' || a > '5' || b < '0' || b > '9' || c < '0' || c > '9')
        return -1;
    return (a - '0') * 100 + (b - '0') * 10 + (c - '0');
}

void SmtpReplyReader::clear()
{
    m_buffer.clear();
    m_text.clear();
    m_scanned = 0;
    m_code = -1;
    m_state = Incomplete;
}

SmtpReplyReader::State SmtpReplyReader::add(QByteArrayView bytes)
{
    if (m_state != Incomplete)
        return m_state;
    m_buffer.append(bytes.data(), bytes.size());
    qsizetype lineStart = m_scanned;
    while (true) {
        const qsizetype lineFeed = m_buffer.indexOf('\n', lineStart);
        if (lineFeed < 0)
            break;
        const QByteArrayView line =
            QByteArrayView(m_buffer).sliced(lineStart, lineFeed - lineStart);
        const bool continues = line.size() >= 4 && line[3] == '-';
        if (!continues) {
            qsizetype end = lineFeed;
            if (end > 0 && m_buffer[end - 1] == '\r')
                --end;
            m_text = m_buffer.left(end);
            m_code = codeOf(m_text);
            // The last line carries a code too, or the reply is garbage.
            if (codeOf(line) < 0)
                m_code = -1;
            m_state = m_code < 0 ? Invalid : Complete;
            m_buffer.clear();
            return m_state;
        }
        lineStart = lineFeed + 1;
    }
    m_scanned = lineStart;
    if (m_buffer.size() > kMaxReplySize) {
        m_text = m_buffer.left(kMaxReplySize);
        m_state = Invalid;
    }
    return m_state;
}
