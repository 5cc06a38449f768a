#pragma once

#include <QtGlobal>

// Limits of every page download and browser load. Tests lower the time-out so that none
// waits a minute for a dead server.
class DownloadOptions
{
public:
    static constexpr int kDefaultTimeoutMs = 60000;
    // A whole transfer may take this many time-outs, so a server that trickles bytes
    // cannot hold a download for ever.
    static constexpr int kTransferTimeouts = 5;
    static constexpr qint64 kDefaultMaxBytes = 32 * 1024 * 1024;
    // An item page is about a megabyte; one many times that size is hostile or broken,
    // and reading it would only keep a bid from its moment.
    static constexpr qint64 kMaxPageBytes = 8 * 1024 * 1024;

    // Connect, send and receive time-out (no progress for this long ends the transfer).
    static int timeoutMs();
    static void setTimeoutMs(int milliseconds);
    static int transferTimeoutMs() { return timeoutMs() * kTransferTimeouts; }

    // A larger answer is refused rather than held in memory.
    static qint64 maxBytes();
    static void setMaxBytes(qint64 bytes);
    // The limit of a page that is parsed (a page read as text, a browser load):
    // kMaxPageBytes, or maxBytes() when that is lower.
    static qint64 maxPageBytes() { return qMin(maxBytes(), kMaxPageBytes); }

    static void reset();
};
