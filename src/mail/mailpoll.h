#pragma once

#include "mail/pop3account.h"
#include "mail/pop3client.h"

#include <QJsonObject>
#include <QList>
#include <QMetaType>
#include <QString>
#include <QStringList>
#include <atomic>
#include <functional>
#include <memory>

class CBidItem;
class CBidsDoc;
class MailCommandText;
class ProgramLog;
struct AppSettings;
struct ItemPageResult;

// What one poll did with one mail of the mailbox.
struct MailPollOutcome
{
    int number = 0;
    QString from;
    // What was done or why not, in order ("added #... with price ...", "no command tag").
    QStringList actions;
    bool deleted = false;
};

// How one poll went.
struct MailPollReport
{
    // The mailbox was read to its end (or to the per-poll limit).
    bool completed = false;
    // Why the poll ended early: the POP3 client's status text or the program's own words.
    QString error;
    int messageCount = 0;
    QList<MailPollOutcome> mails;

    // As the control command "mail-check" answers it, and back.
    QJsonObject toJson() const;
    static MailPollReport fromJson(const QJsonObject& json);
    // One line per mail, then a summary, as `gavelind mail check` prints it.
    QStringList lines() const;
};
Q_DECLARE_METATYPE(MailPollReport)

// One check of the command mailbox: connect, log in, read every mail from the accepted
// sender that carries the tag "qzvtmc", carry out its commands against the bids list and
// delete the mails that were carried out; quit and disconnect on every path.
//
// Commands: "addbid" (lot=, price=), "deactive" (lot=), "change" (lot=, maxprice=) and
// "list", which asks for the bids-list mail through the list request. A command is refused,
// with a line in the log and the list unchanged, for an item number that is not ten digits
// or not in the list, a price that is no valid maximum price, and an item that is being
// bid on or has ended.
//
// Thread contract: run() on one thread (the poll thread); it takes the items lock for
// every change. abort() from any thread ends the poll at the next wait.
class MailPoll
{
public:
    // Reads the page of item `id` into `item` (not yet in the list).
    using ItemReader = std::function<ItemPageResult(CBidItem& item, const QString& id)>;

    // Mails beyond this many are left for the next poll, so that one poll stays bounded.
    static constexpr int kMaxMailsPerPoll = 5000;

    MailPoll(Pop3Account account, CBidsDoc& doc, ProgramLog& log,
             std::shared_ptr<const AppSettings> settings);
    ~MailPoll();

    // Unset: the current site's item page is read.
    void setItemReader(ItemReader reader) { m_readItem = std::move(reader); }
    // Asked from the poll thread for each mail with "list"; unset: nothing is sent.
    void setListRequest(std::function<void()> request) { m_listRequest = std::move(request); }

    MailPollReport run();
    void abort();

    // The log's warning for a poll that takes commands from anyone.
    static QString noAcceptedSenderText();

private:
    bool session(MailPollReport& report);
    bool processMail(int number, MailPollOutcome& outcome);
    bool addBid(const MailCommandText& text, MailPollOutcome& outcome);
    bool deactivate(const MailCommandText& text, MailPollOutcome& outcome);
    bool change(const MailCommandText& text, MailPollOutcome& outcome);
    // The item as a command may touch it; null (and the refusal logged) otherwise. The
    // caller holds the items lock.
    CBidItem* commandTarget(const QString& number, const QString& numberText,
                            MailPollOutcome& outcome);
    void refuse(MailPollOutcome& outcome, const QString& text);
    void errorReport(MailPollReport* report = nullptr);

    Pop3Account m_account;
    CBidsDoc& m_doc;
    ProgramLog& m_log;
    std::shared_ptr<const AppSettings> m_settings;
    ItemReader m_readItem;
    std::function<void()> m_listRequest;
    Pop3Client m_client;
    std::atomic<bool> m_aborted{false};
};
