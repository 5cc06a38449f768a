// The controller's side of the mail commands: timer 7 asks for a check only while the mail
// commands are on, follows the options, and the document's notifications reach the mail
// hook on the main thread.

#include "enginefakes.h"

#include "engine/maincontroller.h"
#include "model/bidsdoc.h"
#include "model/bidsrebuild.h"
#include "support/apphome.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

TEST(MainControllerMail, TimerSevenAndNotificationsReachTheHooks)
{
    EnsureCoreApplication();
    AppHome home;
    AnsweringWindow window;
    home.app().setMainWindow(&window);
    AppSettings& settings = home.app().settings();
    settings.useMC = 1;
    settings.mailCheckMinutes = 7;
    settings.notifyOutbid = 1;
    {
        MainController controller(home.app(), [&window]() -> IMainWindow* { return &window; });
        controller.threads() = {};
        int checks = 0;
        QList<std::pair<int, QString>> notes;
        controller.mailCheck = [&checks] { ++checks; };
        controller.mailNotification = [&notes](int kind, const QString& id) {
            notes << std::make_pair(kind, id);
        };

        controller.startTimers(false);
        EXPECT_EQ(controller.timerInterval(MainController::TimerMailCheck), 7 * 60000);
        controller.onTimer(MainController::TimerMailCheck);
        EXPECT_EQ(checks, 1);
        // Switched off in the options: the timer stops, and a late expiry does nothing.
        settings.useMC = 0;
        controller.settingsApplied();
        EXPECT_FALSE(controller.isTimerActive(MainController::TimerMailCheck));
        controller.onTimer(MainController::TimerMailCheck);
        EXPECT_EQ(checks, 1);
        // Command 1235 is the user's: it runs whatever the switch says.
        controller.checkMail();
        EXPECT_EQ(checks, 2);
        settings.useMC = 1;
        settings.mailCheckMinutes = 3;
        controller.settingsApplied();
        EXPECT_EQ(controller.timerInterval(MainController::TimerMailCheck), 3 * 60000);

        // The outbid scan posts 0x472; it arrives on the main thread with the item's number.
        CBidsDoc& doc = controller.document();
        auto item = std::make_unique<CBidItem>();
        item->setId(QStringLiteral("1234567890"));
        item->setStatus(StatusActiveOutbid);
        doc.appendItem(std::move(item), doc.folderById(CBidFolder::OpenAuctionsId));
        {
            ItemsLockGuard guard(doc.itemsLock());
            BidsRebuild(doc).outbidScan();
            BidsRebuild(doc).outbidScan();
        }
        EXPECT_TRUE(notes.isEmpty());
        QCoreApplication::processEvents();
        ASSERT_EQ(notes.size(), 1);
        EXPECT_EQ(notes.first(), std::make_pair(2, QStringLiteral("1234567890")));
        controller.shutdown();
    }
    home.app().setMainWindow(nullptr);
}
