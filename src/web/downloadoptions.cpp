#include "web/downloadoptions.h"

#include <atomic>

namespace {
std::atomic<int> g_timeoutMs{DownloadOptions::kDefaultTimeoutMs};
std::atomic<qint64> g_maxBytes{DownloadOptions::kDefaultMaxBytes};
} // namespace

int DownloadOptions::timeoutMs()
{
    return g_timeoutMs.load();
}

void DownloadOptions::setTimeoutMs(int milliseconds)
{
    g_timeoutMs.store(qMax(1, milliseconds));
}

qint64 DownloadOptions::maxBytes()
{
    return g_maxBytes.load();
}

void DownloadOptions::setMaxBytes(qint64 bytes)
{
    g_maxBytes.store(qMax<qint64>(1, bytes));
}

void DownloadOptions::reset()
{
    g_timeoutMs.store(kDefaultTimeoutMs);
    g_maxBytes.store(kDefaultMaxBytes);
}
