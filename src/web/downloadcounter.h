#pragma once

// The number of page downloads running in the process. A scope holds one count, so
// every way out of a download gives it back. Hang-up waits until none is running.
class DownloadCounter
{
public:
    DownloadCounter();
    ~DownloadCounter();

    DownloadCounter(const DownloadCounter&) = delete;
    DownloadCounter& operator=(const DownloadCounter&) = delete;

    static int running();
};
