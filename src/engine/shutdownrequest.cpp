#include "engine/shutdownrequest.h"

#include "app/appcontext.h"
#include "app/imainwindow.h"
#include "app/stringtable.h"
#include "engine/iprocessrunner.h"

namespace {

// Bid status codes the request looks at.
constexpr int kActive = 1;
constexpr int kActiveOutbid = 2;
constexpr int kRunning = 3;
constexpr int kRunningOutbid = 4;

} // namespace

ShutdownRequest::Outcome ShutdownRequest::run(const Items& items)
{
    ProgramLog& log = m_app.log();
    bool activeRemain = false;
    {
        ItemsLockGuard guard(m_app.itemsLock());
        if (!guard.isHeld()) {
            log.write(QStringLiteral("Shutdown system: the bids list stayed locked."),
                      ProgramLog::Error);
            return Outcome::Failed;
        }
        const int count = items.count ? items.count() : 0;
        for (int i = 0; i < count; ++i) {
            const int status = items.status(i);
            if (status == kRunning || status == kRunningOutbid) {
                // That bid asks again when it ends.
                if (items.setShutdownWhenFinished)
                    items.setShutdownWhenFinished(i);
                return Outcome::Deferred;
            }
            if (status == kActive || status == kActiveOutbid)
                activeRemain = true;
        }
    }

    IMainWindow::Question question;
    question.caption = StringTable::text(376);
    question.text = StringTable::text(377);
    if (activeRemain)
        question.text += QLatin1Char(' ') + StringTable::text(360);
    question.buttons = IMainWindow::Buttons::OkCancel;
    question.icon = IMainWindow::Icon::Warning;
    question.defaultAnswer = IMainWindow::AnswerOk;
    question.countdownSeconds = kCountdownSeconds;
    IMainWindow* window = m_app.mainWindow();
    const int answer = window ? window->ask(question) : question.defaultAnswer;
    if (answer != IMainWindow::AnswerOk && answer != IMainWindow::AnswerYes) {
        log.write(StringTable::text(477), ProgramLog::Warning);
        return Outcome::Cancelled;
    }

    if (markShuttingDown)
        markShuttingDown();
    log.write(StringTable::text(476), ProgramLog::Warning);
    const QString program = QStringLiteral("systemctl");
    const IProcessRunner::Result result = m_runner.run(program, {QStringLiteral("poweroff")});
    if (!result.succeeded()) {
        log.write(result.errorText(program), ProgramLog::Error);
        return Outcome::Failed;
    }
    log.write(StringTable::text(463), ProgramLog::Success);
    return Outcome::PoweredOff;
}
