#pragma once

#include "engine/iprocessrunner.h"

// Runs programs with QProcess and waits for them, at most a bounded time.
class ProcessRunner : public IProcessRunner
{
public:
    static constexpr int kDefaultTimeoutMs = 120000;

    explicit ProcessRunner(int timeoutMs = kDefaultTimeoutMs) : m_timeoutMs(timeoutMs) {}

    Result run(const QString& program, const QStringList& arguments) override;

private:
    int m_timeoutMs;
};
