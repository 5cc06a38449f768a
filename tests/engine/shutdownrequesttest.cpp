#include "enginefakes.h"

#include "app/stringtable.h"
#include "engine/shutdownrequest.h"
#include "support/apphome.h"

#include <gtest/gtest.h>

namespace {

class ShutdownRequestTest : public ::testing::Test
{
protected:
    void SetUp() override { home.app().setMainWindow(&window); }
    void TearDown() override { home.app().setMainWindow(nullptr); }

    ShutdownRequest::Outcome run()
    {
        ShutdownRequest request(home.app(), runner);
        request.markShuttingDown = [this] { ++marked; };
        ShutdownRequest::Items items;
        items.count = [this] { return static_cast<int>(statuses.size()); };
        items.status = [this](int i) { return statuses[static_cast<size_t>(i)]; };
        items.setShutdownWhenFinished = [this](int i) { flagged.push_back(i); };
        return request.run(items);
    }

    AppHome home;
    AnsweringWindow window;
    FakeRunner runner;
    std::vector<int> statuses;
    std::vector<int> flagged;
    int marked = 0;
};

} // namespace

TEST_F(ShutdownRequestTest, WaitsForARunningBid)
{
    statuses = {7, 1, 4, 3};
    EXPECT_EQ(run(), ShutdownRequest::Outcome::Deferred);
    EXPECT_EQ(flagged, std::vector<int>{2}); // the first running one asks again when it ends
    EXPECT_TRUE(window.questions.isEmpty());
    EXPECT_TRUE(runner.calls().isEmpty());
}

TEST_F(ShutdownRequestTest, CountDownThenPowerOff)
{
    statuses = {7, 8, 9};
    EXPECT_EQ(run(), ShutdownRequest::Outcome::PoweredOff);
    ASSERT_EQ(window.questions.size(), 1);
    const IMainWindow::Question& question = window.questions[0];
    EXPECT_EQ(question.caption, "Shutdown system");
    EXPECT_EQ(question.text, StringTable::text(377));
    EXPECT_EQ(question.countdownSeconds, 10);
    EXPECT_EQ(runner.calls(), QStringList{"systemctl poweroff"});
    EXPECT_EQ(marked, 1);
    const QString log = home.logText();
    EXPECT_TRUE(log.indexOf("Shutdown system...") <
                log.indexOf("Shutdown system... successfully!"));
}

TEST_F(ShutdownRequestTest, WarnsAboutActiveBidsAndCanBeCancelled)
{
    statuses = {2, 8};
    window.answer = IMainWindow::AnswerCancel;
    EXPECT_EQ(run(), ShutdownRequest::Outcome::Cancelled);
    EXPECT_EQ(window.questions[0].text, StringTable::text(377) + " " + StringTable::text(360));
    EXPECT_TRUE(home.logText().contains("Shutdown system... is cancelled!"));
    EXPECT_TRUE(runner.calls().isEmpty());
    EXPECT_EQ(marked, 0);
}

TEST_F(ShutdownRequestTest, FailedPowerOffIsLogged)
{
    runner.exitCodes["systemctl"] = 1;
    runner.outputs["systemctl"] = "Access denied";
    EXPECT_EQ(run(), ShutdownRequest::Outcome::Failed);
    const QString log = home.logText();
    EXPECT_TRUE(log.contains("systemctl exited with code 1: Access denied"));
    EXPECT_FALSE(log.contains("successfully"));
}
