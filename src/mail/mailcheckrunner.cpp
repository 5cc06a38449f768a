#include "mail/mailcheckrunner.h"

#include "app/appcontext.h"
#include "app/workerthread.h"
#include "mail/mailnotifications.h"
#include "mail/mailsender.h"
#include "model/bidsdoc.h"
#include "sites/siteaccess.h"
#include "web/itempagereader.h"

// Runs one poll on the poll thread.
class MailPollWorker : public QObject
{
    Q_OBJECT
public:
    void run(const std::shared_ptr<MailPoll>& poll, std::atomic<bool>* running)
    {
        MailPollReport report = poll->run();
        // The flag belongs to the poll thread's end, whatever happens to the report.
        running->store(false);
        Q_EMIT done(report);
    }

Q_SIGNALS:
    void done(const MailPollReport& report);
};

MailCheckRunner::MailCheckRunner(AppContext& app, CBidsDoc& doc, QObject* parent)
    : QObject(parent), m_app(app), m_doc(doc), m_sender(std::make_unique<MailSender>(app, this))
{
    qRegisterMetaType<MailPollReport>();
}

MailCheckRunner::~MailCheckRunner()
{
    if (m_poll)
        m_poll->abort();
    m_thread.reset();
}

bool MailCheckRunner::checkNow()
{
    bool expected = false;
    if (!m_running.compare_exchange_strong(expected, true))
        return false;
    const std::shared_ptr<const AppSettings> settings = m_app.settingsSnapshot();
    Pop3Account account = Pop3Account::fromSettings(*settings);
    if (account.host.isEmpty()) {
        m_running = false;
        return false;
    }
    if (m_accountSetup)
        m_accountSetup(account);
    // The previous poll's thread has ended its job; it goes before the next one starts.
    m_thread.reset();
    m_poll = std::make_shared<MailPoll>(account, m_doc, m_app.log(), settings);
    MailPoll::ItemReader readItem = m_itemReader;
    if (!readItem) {
        // Made here: the site profile is the window thread's to read.
        const ItemPageReader reader;
        readItem = [reader](CBidItem& item, const QString& id) { return reader.read(item, id); };
    }
    m_poll->setItemReader(std::move(readItem));
    m_poll->setListRequest([this] {
        QMetaObject::invokeMethod(
            this, [this] { notify(MailNotifications::BidsList); }, Qt::QueuedConnection);
    });

    auto worker = std::make_unique<MailPollWorker>();
    connect(worker.get(), &MailPollWorker::done, this, &MailCheckRunner::pollDone);
    m_thread = std::make_unique<WorkerThread>(QStringLiteral("Mail check"));
    MailPollWorker* running = m_thread->start(std::move(worker));
    const std::shared_ptr<MailPoll> poll = m_poll;
    std::atomic<bool>* flag = &m_running;
    if (!m_thread->post([running, poll, flag] { running->run(poll, flag); })) {
        m_running = false;
        return false;
    }
    return true;
}

void MailCheckRunner::pollDone(const MailPollReport& report)
{
    // The poll thread cleared the flag itself; a next poll may be running already.
    if (!m_running)
        m_poll.reset();
    Q_EMIT pollFinished(report);
}

void MailCheckRunner::notify(int kind, const QString& itemId)
{
    const AppSettings& settings = m_app.settings();
    if (settings.smtpServer.trimmed().isEmpty())
        return;
    const QString viewItemUrl = BuildSiteProfile().urlViewItem;
    OutgoingMail mail;
    {
        ItemsLockGuard guard(m_doc.itemsLock());
        if (!guard.isHeld()) {
            m_app.log().message(QStringLiteral("Zaru Vuzarovuz: the bids list stayed locked; "
                                               "the notification was not sent."),
                                ProgramLog::Error);
            return;
        }
        if (kind == MailNotifications::BidsList) {
            mail = MailNotifications::bidsListMail(m_doc, viewItemUrl);
        } else {
            const CBidItem* item = m_doc.itemById(itemId);
            if (!item) {
                m_app.log().write(QStringLiteral("Zaru Vuzarovuz: item #%1 is gone; no "
                                                 "notification was sent.")
                                      .arg(itemId),
                                  ProgramLog::Warning);
                return;
            }
            if (kind == MailNotifications::AuctionEnded)
                mail = MailNotifications::endedMail(*item, viewItemUrl);
            else if (kind == MailNotifications::Outbid)
                mail = MailNotifications::outbidMail(*item, viewItemUrl);
            else
                return;
        }
    }
    m_app.log().write(mail.subject);
    m_sender->send(std::move(mail));
}

#include "mailcheckrunner.moc"
