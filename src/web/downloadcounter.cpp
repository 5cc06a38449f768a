#include "web/downloadcounter.h"

#include <atomic>

namespace {
std::atomic<int> g_running{0};
}

DownloadCounter::DownloadCounter()
{
    g_running.fetch_add(1);
}

DownloadCounter::~DownloadCounter()
{
    g_running.fetch_sub(1);
}

int DownloadCounter::running()
{
    return g_running.load();
}
