#include "mail/mailpoll.h"

#include "app/appsettings.h"
#include "app/itemslock.h"
#include "app/programlog.h"
#include "app/stringtable.h"
#include "mail/mailcommandtext.h"
#include "model/bidsdoc.h"
#include "web/itempagereader.h"

#include <QJsonArray>

namespace {

QByteArray utf8(const QString& text)
{
    return text.toUtf8();
}

// A From header for the report: one short line.
QString shownSender(const QString& from)
{
    QString shown = from.left(120);
    for (QChar& c : shown) {
        if (c.unicode() < 32)
            c = QLatin1Char(' ');
    }
    return shown.trimmed();
}

} // namespace

QJsonObject MailPollReport::toJson() const
{
    QJsonArray list;
    for (const MailPollOutcome& mail : mails) {
        list.append(
            QJsonObject{{QStringLiteral("number"), mail.number},
                        {QStringLiteral("from"), mail.from},
                        {QStringLiteral("actions"), QJsonArray::fromStringList(mail.actions)},
                        {QStringLiteral("deleted"), mail.deleted}});
    }
    QJsonObject json{{QStringLiteral("completed"), completed},
                     {QStringLiteral("messages"), messageCount},
                     {QStringLiteral("mails"), list}};
    if (!error.isEmpty())
        json.insert(QStringLiteral("pollError"), error);
    return json;
}

MailPollReport MailPollReport::fromJson(const QJsonObject& json)
{
    MailPollReport report;
    report.completed = json.value(QStringLiteral("completed")).toBool();
    report.error = json.value(QStringLiteral("pollError")).toString();
    report.messageCount = json.value(QStringLiteral("messages")).toInt();
    for (const QJsonValue& value : json.value(QStringLiteral("mails")).toArray()) {
        const QJsonObject object = value.toObject();
        MailPollOutcome mail;
        mail.number = object.value(QStringLiteral("number")).toInt();
        mail.from = object.value(QStringLiteral("from")).toString();
        for (const QJsonValue& action : object.value(QStringLiteral("actions")).toArray())
            mail.actions << action.toString();
        mail.deleted = object.value(QStringLiteral("deleted")).toBool();
        report.mails << mail;
    }
    return report;
}

QStringList MailPollReport::lines() const
{
    QStringList out;
    int deleted = 0;
    for (const MailPollOutcome& mail : mails) {
        QStringList actions = mail.actions;
        if (mail.deleted) {
            actions << QStringLiteral("deleted");
            ++deleted;
        }
        out << QStringLiteral("mail %1 from %2: %3")
                   .arg(mail.number)
                   .arg(mail.from.isEmpty() ? QStringLiteral("(unknown)") : mail.from,
                        actions.join(QStringLiteral("; ")));
    }
    out << QStringLiteral("%1 mail(s) in the mailbox, %2 looked at, %3 carried out and deleted")
               .arg(messageCount)
               .arg(mails.size())
               .arg(deleted);
    if (!error.isEmpty())
        out << QStringLiteral("the mail check ended early: %1").arg(error);
    return out;
}

MailPoll::MailPoll(Pop3Account account, CBidsDoc& doc, ProgramLog& log,
                   std::shared_ptr<const AppSettings> settings)
    : m_account(std::move(account)), m_doc(doc), m_log(log), m_settings(std::move(settings))
{
    m_client.setReplyTimeout(m_account.replyTimeoutMs);
}

MailPoll::~MailPoll() = default;

void MailPoll::abort()
{
    m_aborted = true;
    m_client.abort();
}

QString MailPoll::noAcceptedSenderText()
{
    return QStringLiteral("Zaru Vuzarovuz: no accepted sender is set; commands are taken from "
                          "any mail that carries the tag.");
}

MailPollReport MailPoll::run()
{
    MailPollReport report;
    if (m_account.host.isEmpty()) {
        report.error = QStringLiteral("No POP3 server is set.");
        return report;
    }
    if (m_account.acceptedSender.isEmpty())
        m_log.write(noAcceptedSenderText(), ProgramLog::Warning);
    report.completed = session(report);
    // Also after a failed connect: the worker may run when only the greeting failed.
    m_client.Disconnect();
    return report;
}

bool MailPoll::session(MailPollReport& report)
{
    if (!m_client.Connect(m_account.host, m_account.port, m_account.security) ||
        !m_client.Login(m_account.user, m_account.password, false)) {
        errorReport(&report);
        return false;
    }
    QString stat;
    if (!m_client.Stat(stat)) {
        errorReport(&report);
        return false;
    }
    bool isNumber = false;
    const int count = stat.section(QLatin1Char(' '), 0, 0).toInt(&isNumber);
    if (!isNumber || count < 0) {
        report.error = QStringLiteral("The server's mailbox size \"%1\" is no number.")
                           .arg(stat.left(40).simplified());
        m_log.message(StringTable::text(417), ProgramLog::Error);
        m_log.write(QStringLiteral("MC: ") + report.error, ProgramLog::Error);
        return false;
    }
    report.messageCount = count;
    const int last = qMin(count, kMaxMailsPerPoll);
    for (int number = 1; number <= last; ++number) {
        if (m_aborted) {
            report.error = QStringLiteral("The mail check was stopped.");
            return false;
        }
        MailPollOutcome outcome;
        outcome.number = number;
        const bool carriedOut = processMail(number, outcome);
        if (carriedOut) {
            if (!m_client.Delete(number)) {
                report.mails << outcome;
                errorReport(&report);
                return false;
            }
            outcome.deleted = true;
        }
        report.mails << outcome;
        // A connection that is gone fails every later mail at once: stop here (its
        // failure was reported with the mail).
        if (!m_client.isConnected()) {
            m_client.LastMessage(report.error);
            return false;
        }
    }
    if (!m_client.Quit())
        errorReport();
    return true;
}

bool MailPoll::processMail(int number, MailPollOutcome& outcome)
{
    QString from;
    if (!m_client.GetFrom(number, from)) {
        outcome.actions << QStringLiteral("headers not read");
        errorReport();
        return false;
    }
    outcome.from = shownSender(from);
    if (!m_account.acceptedSender.isEmpty() &&
        !from.toLower().contains(m_account.acceptedSender.toLower())) {
        outcome.actions << QStringLiteral("from another sender: left in the mailbox");
        return false;
    }
    QByteArray mail;
    if (!m_client.Retrieve(number, mail)) {
        outcome.actions << QStringLiteral("not retrieved");
        errorReport();
        return false;
    }
    const MailCommandText text(mail);
    if (!text.hasTag()) {
        outcome.actions << QStringLiteral("no command tag: left in the mailbox");
        return false;
    }
    bool done = false;
    if (text.hasAddBid())
        done = addBid(text, outcome) || done;
    if (text.hasDeactivate())
        done = deactivate(text, outcome) || done;
    if (text.hasChange())
        done = change(text, outcome) || done;
    if (text.hasList()) {
        if (m_listRequest)
            m_listRequest();
        m_log.message(StringTable::text(416), ProgramLog::Success);
        outcome.actions << QStringLiteral("bids list requested");
        return true;
    }
    if (!done) {
        m_log.message(StringTable::text(419), ProgramLog::Success);
        m_log.write(QStringLiteral("msg: \"%1\"").arg(text.excerpt()));
        outcome.actions << QStringLiteral("no command carried out: left in the mailbox");
    }
    return done;
}

void MailPoll::refuse(MailPollOutcome& outcome, const QString& text)
{
    m_log.write(QStringLiteral("Zaru Vuzarovuz: ") + text, ProgramLog::Warning);
    outcome.actions << text;
}

CBidItem* MailPoll::commandTarget(const QString& number, const QString& numberText,
                                  MailPollOutcome& outcome)
{
    if (number.isEmpty()) {
        refuse(outcome, QStringLiteral("\"lot=%1\" is no ten-digit item number.").arg(numberText));
        return nullptr;
    }
    CBidItem* item = m_doc.itemById(number);
    if (!item) {
        refuse(outcome, QStringLiteral("Item #%1 is not in the bids list.").arg(number));
        return nullptr;
    }
    // A bid thread owns a running item; a finished one keeps its verdict, as the item
    // dialog shows it read-only.
    if (CBidItem::isRunningStatus(item->status())) {
        refuse(outcome, QStringLiteral("Item #%1 is being bid on; the command was not carried "
                                       "out.")
                            .arg(number));
        return nullptr;
    }
    if (CBidItem::isFinishedStatus(item->status())) {
        refuse(outcome,
               QStringLiteral("Item #%1 has ended; the command was not carried out.").arg(number));
        return nullptr;
    }
    return item;
}

bool MailPoll::addBid(const MailCommandText& text, MailPollOutcome& outcome)
{
    const QString number = text.itemNumber();
    if (number.isEmpty()) {
        refuse(
            outcome,
            QStringLiteral("\"lot=%1\" is no ten-digit item number.").arg(text.itemNumberText()));
        return false;
    }
    const MailCommandText::Price price = text.addBidPrice();
    if (price.present && !price.valid) {
        refuse(outcome, QStringLiteral("Item #%1 was not added: \"%2\" is no valid price.")
                            .arg(number, price.given));
        return false;
    }
    {
        ItemsLockGuard guard(m_doc.itemsLock());
        if (!guard.isHeld()) {
            refuse(
                outcome,
                QStringLiteral("the bids list stayed locked; item #%1 was not added.").arg(number));
            return false;
        }
        if (m_doc.itemById(number)) {
            outcome.actions << QStringLiteral("item #%1 is already in the list").arg(number);
            return false;
        }
    }

    // The page is read without the lock: the new item is nobody else's yet.
    auto item = std::make_unique<CBidItem>();
    item->setId(number);
    const ItemPageResult page =
        m_readItem ? m_readItem(*item, number) : ItemPageReader().read(*item, number);
    if (!page.success) {
        m_log.write(page.message(), ProgramLog::Error);
        outcome.actions
            << QStringLiteral("item #%1 not added: the item page was not read").arg(number);
        return false;
    }
    if (m_settings->login.isEmpty() || m_settings->password.isEmpty() || item->isBuyItNow() ||
        !price.present)
        item->setStatus(StatusNotActive);
    item->setMaxPrice(price.present ? price.value : 0.0f);
    item->setRefreshed(false);
    {
        ItemsLockGuard guard(m_doc.itemsLock());
        if (!guard.isHeld()) {
            refuse(
                outcome,
                QStringLiteral("the bids list stayed locked; item #%1 was not added.").arg(number));
            return false;
        }
        if (m_doc.itemById(number)) {
            outcome.actions << QStringLiteral("item #%1 is already in the list").arg(number);
            return false;
        }
        m_doc.ensureBuiltInFolders();
        m_doc.appendItem(std::move(item), m_doc.folderById(CBidFolder::OpenAuctionsId));
        m_doc.setSelectedFolderId(CBidFolder::OpenAuctionsId);
        m_doc.changed();
    }
    m_log.message(QString::asprintf(utf8(StringTable::text(414)).constData(),
                                    utf8(number).constData(), utf8(price.text).constData()),
                  ProgramLog::Success);
    outcome.actions << QStringLiteral("added #%1 with price %2").arg(number, price.text);
    return true;
}

bool MailPoll::deactivate(const MailCommandText& text, MailPollOutcome& outcome)
{
    const QString number = text.itemNumber();
    {
        ItemsLockGuard guard(m_doc.itemsLock());
        if (!guard.isHeld()) {
            refuse(outcome,
                   QStringLiteral("the bids list stayed locked; nothing was deactivated."));
            return false;
        }
        CBidItem* item = commandTarget(number, text.itemNumberText(), outcome);
        if (!item)
            return false;
        item->setStatus(StatusNotActive);
        m_doc.changed();
    }
    m_log.message(
        QString::asprintf(utf8(StringTable::text(418)).constData(), utf8(number).constData()),
        ProgramLog::Success);
    outcome.actions << QStringLiteral("deactivated #%1").arg(number);
    return true;
}

bool MailPoll::change(const MailCommandText& text, MailPollOutcome& outcome)
{
    const QString number = text.itemNumber();
    const MailCommandText::Price price = text.changePrice();
    if (!price.present)
        return false;
    if (!price.valid) {
        refuse(outcome, QStringLiteral("Item #%1 was not changed: \"%2\" is no valid price.")
                            .arg(number, price.given));
        return false;
    }
    float changed = 0.0f;
    {
        ItemsLockGuard guard(m_doc.itemsLock());
        if (!guard.isHeld()) {
            refuse(outcome, QStringLiteral("the bids list stayed locked; nothing was changed."));
            return false;
        }
        CBidItem* item = commandTarget(number, text.itemNumberText(), outcome);
        if (!item)
            return false;
        item->setMaxPrice(price.value);
        item->setRefreshed(false);
        changed = item->maxPrice();
        m_doc.changed();
    }
    m_log.message(QString::asprintf(utf8(StringTable::text(429)).constData(),
                                    utf8(number).constData(), double(changed)),
                  ProgramLog::Success);
    outcome.actions
        << QStringLiteral("changed #%1 to %2").arg(number, QString::number(changed, 'f', 2));
    return true;
}

void MailPoll::errorReport(MailPollReport* report)
{
    QString status;
    m_client.LastMessage(status);
    m_log.message(StringTable::text(417), ProgramLog::Error);
    m_log.write(QStringLiteral("MC: ") + status, ProgramLog::Error);
    if (report)
        report->error = status;
}
