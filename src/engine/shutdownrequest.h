#pragma once

#include <functional>

class AppContext;
class IProcessRunner;

// Switches the computer off when the last bid the user marked has finished (main-window
// message 0x46D): deferred while a bid runs, otherwise after a count-down question.
class ShutdownRequest
{
public:
    enum class Outcome
    {
        Deferred,
        Cancelled,
        PoweredOff,
        Failed
    };

    // The bids as the request walks them, under the items lock.
    struct Items
    {
        std::function<int()> count;
        std::function<int(int index)> status;
        std::function<void(int index)> setShutdownWhenFinished;
    };

    static constexpr int kCountdownSeconds = 10;

    ShutdownRequest(AppContext& app, IProcessRunner& runner) : m_app(app), m_runner(runner) {}

    Outcome run(const Items& items);

    // Called just before power-off, so the main window stops asking questions.
    std::function<void()> markShuttingDown;

private:
    AppContext& m_app;
    IProcessRunner& m_runner;
};
