// The wall clock against the monotonic one, both driven by the test.

#include "enginefakes.h"

#include "engine/clockjumpdetector.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

namespace {

class ClockJumpDetectorTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        EnsureCoreApplication();
        detector.setClocks([this] { return wall; }, [this] { return steady; });
        QObject::connect(&detector, &ClockJumpDetector::jumped,
                         [this](qint64 delta) { jumps.push_back(delta); });
    }

    // Both clocks move on by `ms`, as they do when nothing happens.
    void pass(qint64 ms)
    {
        wall += ms;
        steady += ms;
    }

    qint64 wall = 1700000000000;
    qint64 steady = 5000;
    ClockJumpDetector detector;
    std::vector<qint64> jumps;
};

} // namespace

TEST_F(ClockJumpDetectorTest, JumpsBeyondTheThresholdEitherWay)
{
    pass(1000);
    detector.check();
    // A late check (a busy main thread) moves both clocks alike.
    pass(30000);
    detector.check();
    // Drift and a small correction by a time daemon stay below the threshold.
    pass(1000);
    wall += 1500;
    detector.check();
    EXPECT_TRUE(jumps.empty());

    // The user sets the clock an hour ahead, then 5 s back.
    pass(1000);
    wall += 3600000;
    detector.check();
    pass(1000);
    wall -= 5000;
    detector.check();
    // Each jump counts once: the next check compares from where it left off.
    pass(1000);
    detector.check();
    EXPECT_EQ(jumps, (std::vector<qint64>{3600000, -5000}));

    // Waking from suspend: the monotonic clock stood still while the wall clock ran.
    wall += 8 * 3600000;
    detector.check();
    ASSERT_EQ(jumps.size(), 3u);
    EXPECT_EQ(jumps.back(), 8 * 3600000);
}

TEST_F(ClockJumpDetectorTest, ThresholdAndTimerAreSettable)
{
    detector.setThresholdMs(200);
    wall += 300;
    detector.check();
    EXPECT_EQ(jumps, (std::vector<qint64>{300}));

    // The timer makes the same check; a new start compares from the start on.
    wall += 10000;
    detector.start(0);
    EXPECT_TRUE(detector.isActive());
    wall += 10000;
    for (int i = 0; i < 100 && jumps.size() < 2; ++i)
        QCoreApplication::processEvents();
    detector.stop();
    EXPECT_FALSE(detector.isActive());
    EXPECT_EQ(jumps, (std::vector<qint64>{300, 10000}));
}
