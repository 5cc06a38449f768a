#pragma once

#include <QByteArray>
#include <QByteArrayView>

// What a POP3 client reads out of the bytes a server sent: where a reply ends and the
// parts of a reply the mail commands use. Pure functions of their input, for the client,
// its worker thread and the fuzzer.
namespace Pop3Reply {

// "\r\n" ends a one-line reply, ".\r\n" a multi-line one (TOP, RETR).
inline constexpr QByteArrayView kLineEnd = "\r\n";
inline constexpr QByteArrayView kMultiLineEnd = ".\r\n";

// Whether `received` (everything gathered for the reply so far) is complete. A negative
// reply ("-ERR", any case) ends with its first line whatever was awaited. A multi-line
// reply ends only with a line that is a single dot, so a body line that ends with a full
// stop, or a read that happens to end after one, never cuts the reply short.
bool isComplete(QByteArrayView received, QByteArrayView terminator);

// Only a reply that begins with "-" is negative; anything else, also an empty reply,
// counts as positive.
bool isNegative(QByteArrayView reply);

// The text of a STAT reply after "+OK " without the line end: "count size". Empty when
// the reply is too short to hold one.
QByteArray statText(QByteArrayView reply);

// From the greeting, the first "<" up to the first ">" after it, both included; empty
// when there is none.
QByteArray apopTimestamp(QByteArrayView greeting);

// The value of the first occurrence (case-sensitive) of `label` ("From:", "Subject:"):
// from one character after the label up to the next "\r\n" or the end. False when the
// label does not occur.
bool headerValue(QByteArrayView reply, QByteArrayView label, QByteArray& value);

} // namespace Pop3Reply
