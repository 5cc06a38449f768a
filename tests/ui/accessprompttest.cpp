// The access password in front of the list's changing commands.

#include "bidsviewfixture.h"
#include "model/accesslock.h"
#include "promptrecorder.h"
#include "ui/accesspromptdlg.h"

#include <QSignalSpy>
#include <QtTest>
#include <optional>

class AccessPromptTest : public QObject
{
    Q_OBJECT

private:
    // Enters the queued passwords (no value: Cancel) and counts the prompts.
    struct Typist
    {
        Typist()
        {
            CAccessPromptDlg::setResponder([this]() -> std::optional<QString> {
                ++asked;
                return entries.isEmpty() ? std::nullopt : entries.takeFirst();
            });
        }
        ~Typist() { CAccessPromptDlg::setResponder({}); }
        QList<std::optional<QString>> entries;
        int asked = 0;
    };

    static void guard(BidsViews& views)
    {
        const auto gate = [&views] {
            return CAccessPromptDlg::pass(nullptr, views.doc.accessLock());
        };
        views.list->setAccessGate(gate);
        views.tree->setAccessGate(gate);
        views.app().settings().lock = 1;
        views.app().settings().lockPassword = QStringLiteral("Open Sesame");
        views.app().settings().idleTime = 5;
    }

private Q_SLOTS:
    void wrongPasswordOrCancelAbandonsTheCommand()
    {
        BidsViews views;
        guard(views);
        PromptRecorder prompts;
        Typist typist;
        QSignalSpy adds(views.list.get(), &CBidsRightView::addItemRequested);

        typist.entries = {QStringLiteral("open sesame"), std::nullopt};
        views.list->addItem();
        QCOMPARE(prompts.texts(), QStringList{AccessLock::deniedText()});
        views.list->addItem();
        QCOMPARE(typist.asked, 2);
        QCOMPARE(prompts.texts().size(), 1); // Cancel is no error
        QCOMPARE(adds.count(), 0);

        typist.entries = {QStringLiteral("Open Sesame")};
        views.list->addItem();
        views.list->addItem(); // unlocked now: no second question
        QCOMPARE(typist.asked, 3);
        QCOMPARE(adds.count(), 2);
    }

    void idleListLocksAgain()
    {
        BidsViews views;
        guard(views);
        Typist typist;
        typist.entries = {QStringLiteral("Open Sesame"), QStringLiteral("Open Sesame")};
        QSignalSpy adds(views.list.get(), &CBidsRightView::addItemRequested);
        views.list->addItem();
        QCOMPARE(typist.asked, 1);

        // The unlock counts as activity: four idle minutes later it is still open...
        AccessLock& lock = views.doc.accessLock();
        lock.checkIdle(BidsViews::kNow + 4 * 60, 5);
        views.list->addItem();
        QCOMPARE(typist.asked, 1);
        // ...at five it asks again.
        lock.checkIdle(BidsViews::kNow + 5 * 60, 5);
        views.list->addItem();
        QCOMPARE(typist.asked, 2);
        QCOMPARE(adds.count(), 3);
    }

    void lookingAtAFinishedBidNeedsNoPassword()
    {
        BidsViews views;
        guard(views);
        Typist typist;
        CBidItem* won = views.addItem("1000000001", StatusActive, -1, "Won");
        views.addItem("1000000002", StatusActive, -1, "Running");
        won->setStatus(StatusWon);
        views.doc.changed();
        QSignalSpy edits(views.list.get(), &CBidsRightView::editItemRequested);

        views.list->selectRow(0);
        views.list->editFocused(); // the running bid: cancelled
        QCOMPARE(typist.asked, 1);
        views.tree->selectFolder(CBidFolder::ClosedAuctionsId);
        QCOMPARE(views.list->model()->rowCount(), 1);
        views.list->selectRow(0);
        views.list->editFocused();
        QCOMPARE(typist.asked, 1);
        QCOMPARE(edits.count(), 1);
    }

    void switchedOffLockNeverAsks()
    {
        BidsViews views;
        guard(views);
        views.app().settings().lock = 0;
        Typist typist;
        QSignalSpy adds(views.list.get(), &CBidsRightView::addItemRequested);
        views.list->addItem();
        QCOMPARE(typist.asked, 0);
        QCOMPARE(adds.count(), 1);
    }
};

QTEST_MAIN(AccessPromptTest)
#include "accessprompttest.moc"
