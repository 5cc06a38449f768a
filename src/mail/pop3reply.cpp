#include "mail/pop3reply.h"

namespace {

bool startsWithNoCase(QByteArrayView text, QByteArrayView prefix)
{
    return text.size() >= prefix.size() &&
           text.first(prefix.size()).compare(prefix, Qt::CaseInsensitive) == 0;
}

} // namespace

namespace Pop3Reply {

bool isComplete(QByteArrayView received, QByteArrayView terminator)
{
    if (received.isEmpty() || terminator.isEmpty())
        return false;
    if (startsWithNoCase(received, "-ERR"))
        return received.contains(kLineEnd);
    if (terminator == kMultiLineEnd)
        return received.endsWith("\r\n.\r\n");
    return received.endsWith(terminator);
}

bool isNegative(QByteArrayView reply)
{
    return reply.startsWith('-');
}

QByteArray statText(QByteArrayView reply)
{
    // After "+OK " and before "\r\n".
    if (reply.size() <= 6)
        return {};
    return reply.sliced(4, reply.size() - 6).toByteArray();
}

QByteArray apopTimestamp(QByteArrayView greeting)
{
    const qsizetype open = greeting.indexOf('<');
    if (open < 0)
        return {};
    const qsizetype close = greeting.indexOf('>', open + 1);
    if (close < 0)
        return {};
    return greeting.sliced(open, close - open + 1).toByteArray();
}

bool headerValue(QByteArrayView reply, QByteArrayView label, QByteArray& value)
{
    const qsizetype at = reply.indexOf(label);
    if (at < 0)
        return false;
    const qsizetype start = at + label.size() + 1;
    if (start >= reply.size()) {
        value.clear();
        return true;
    }
    qsizetype end = reply.indexOf(kLineEnd, start);
    if (end < 0)
        end = reply.size();
    value = reply.sliced(start, end - start).toByteArray();
    return true;
}

} // namespace Pop3Reply
