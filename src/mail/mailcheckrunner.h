#pragma once

#include "mail/mailpoll.h"

#include <QObject>
#include <QString>
#include <atomic>
#include <functional>
#include <memory>

class AppContext;
class CBidsDoc;
class MailSender;
class WorkerThread;

// The program's mail commands and notifications: command 1235 (timer 7 and "Check mail
// now") starts one poll of the command mailbox on a thread of its own, and message 0x472
// sends the ended, outbid and bids-list mails through the SMTP settings.
//
// At most one poll runs: a check asked for while one runs is dropped, not queued. The
// running flag is cleared when the poll thread's job ends, whatever way it ends.
//
// Thread contract: made, used and destroyed on the window thread; pollFinished() arrives
// there. Destroying it stops a running poll at its next wait.
class MailCheckRunner : public QObject
{
    Q_OBJECT
public:
    MailCheckRunner(AppContext& app, CBidsDoc& doc, QObject* parent = nullptr);
    ~MailCheckRunner() override;

    // Command 1235. False when a poll was running already (this one is dropped) or no POP3
    // server is set.
    bool checkNow();
    bool isRunning() const { return m_running.load(); }

    // Message 0x472: 1 an auction has ended, 2 outbid (both for `itemId`), 3 the bids list.
    // Nothing is sent without an SMTP server.
    void notify(int kind, const QString& itemId = QString());

    MailSender& sender() { return *m_sender; }
    // Runs on this thread before each poll starts, with the account from the settings:
    // tests set TLS trust and time-outs there.
    void setAccountSetup(std::function<void(Pop3Account&)> setup)
    {
        m_accountSetup = std::move(setup);
    }
    // Unset: the current site's item pages are read.
    void setItemReader(MailPoll::ItemReader reader) { m_itemReader = std::move(reader); }

Q_SIGNALS:
    void pollFinished(const MailPollReport& report);

private:
    void pollDone(const MailPollReport& report);

    AppContext& m_app;
    CBidsDoc& m_doc;
    std::unique_ptr<MailSender> m_sender;
    std::unique_ptr<WorkerThread> m_thread;
    std::shared_ptr<MailPoll> m_poll;
    std::atomic<bool> m_running{false};
    std::function<void(Pop3Account&)> m_accountSetup;
    MailPoll::ItemReader m_itemReader;
};
