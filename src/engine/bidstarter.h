#pragma once

#include "sites/siteprofile.h"

#include <QObject>
#include <QString>
#include <functional>

class AppContext;
class CBidsDoc;
class IBidWorker;

// The user's and the scheduler's ways into bidding: the Start routine (the one place a bid
// thread for bidding comes into being), Start bids (command 32807), the manual Start
// (32805) and Stop (32806). Main thread only.
//
// The Start routine takes the items lock, releases it around the item page read, log lines
// and the creation of the bid thread, and looks the item up again by id after each.
class BidStarter : public QObject
{
    Q_OBJECT
public:
    enum class Outcome
    {
        Gone,           // no such item (any more), or the lock was not had
        TooMany,        // quantity above the lot size: Not active
        Finished,       // the auction was over: Won, Private or Lost
        AlreadyRunning, // a live bid thread serves it already
        NoMaxPrice,     // Stopped
        Started,        // Running or Running / outbidded, a bid thread posted Start
        Refused,        // the user or a check said no (manual start, stop)
        Stopped,        // Stop: quit or no thread
        Retracting,     // Stop: the thread retracts
    };

    // The engine's seams; each has a working default (the real bid thread and page read).
    struct Hooks
    {
        std::function<SiteProfile()> buildProfile;
        // The item page read of the refresh (ItemPageUpdate::read).
        std::function<bool(const QString& itemId, const SiteProfile& profile)> readItemPage;
        // A new bid thread for the item, not started; made with the lock released.
        std::function<IBidWorker*(const QString& itemId)> createThread;
        // Post Start (0x465) with the profile; under the lock, after setBidThread.
        std::function<void(IBidWorker* thread, SiteProfile profile)> postStart;
        // A bid began: flash the window and start the tray flash (timer 4).
        std::function<void()> started;
        // The access lock check of the changing commands; true to go on.
        std::function<bool()> accessGate;
        // Opens the options so the user can enter the account.
        std::function<void()> openOptions;
    };

    BidStarter(AppContext& app, CBidsDoc& doc, QObject* parent = nullptr);
    ~BidStarter() override;

    Hooks& hooks() { return m_hooks; }

    // The Start routine for one item.
    Outcome startItem(const QString& itemId);
    // Command 32807: starts every item with the ready mark, in list order; returns how many.
    int startReadyBids();
    // Command 32805 for the selected item: checks, the question, then the Start routine.
    Outcome manualStart(const QString& itemId);
    // Command 32806 for the selected item: checks, the stop dialog, then its effects.
    Outcome stop(const QString& itemId);
    // What the manual Start and Stop do once their checks passed and the user said yes
    // (the control commands ask nobody).
    Outcome startConfirmed(const QString& itemId);
    Outcome stopConfirmed(const QString& itemId, bool retract);

private:
    bool credentialsReady();
    void show(const QString& text, int level);

    AppContext& m_app;
    CBidsDoc& m_doc;
    Hooks m_hooks;
};
