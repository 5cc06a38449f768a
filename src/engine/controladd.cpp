#include "engine/controladd.h"

#include "app/appcontext.h"
#include "app/controlprotocol.h"
#include "app/stringtable.h"
#include "app/workerthread.h"
#include "model/bideditform.h"
#include "model/bidsdoc.h"
#include "model/itemcommands.h"
#include "model/modelclock.h"
#include "web/itempagejob.h"
#include "web/itempagereader.h"

#include <QJsonArray>
#include <QThread>

namespace {

constexpr qint64 kOneDay = 24 * 60 * 60;

QString field(const QJsonObject& request, const char* name)
{
    return request.value(QLatin1String(name)).toString().trimmed();
}

} // namespace

ControlAdd::ControlAdd(AppContext& app, CBidsDoc& doc, QObject* parent)
    : QObject(parent), m_app(app), m_doc(doc)
{
}

ControlAdd::~ControlAdd()
{
    // A download cannot be cut short: let it end on its own, unreported.
    if (m_thread && m_reading)
        m_thread->detach();
}

QString ControlAdd::gate(CBidsDoc& doc)
{
    if (doc.accessLock().isRequired())
        return AccessLock::deniedText();
    const AppSettings& settings = doc.settings();
    if (settings.login.isEmpty() || settings.password.isEmpty())
        return StringTable::text(424);
    return QString();
}

void ControlAdd::run(const QJsonObject& request, ControlRegistry::Reply reply)
{
    if (m_reading) {
        reply(ControlProtocol::errorReply(QStringLiteral("busy: another bid is being added")));
        return;
    }
    const QString refusal = gate(m_doc);
    if (!refusal.isEmpty()) {
        reply(ControlProtocol::errorReply(refusal));
        return;
    }
    const QString id = field(request, "item");
    if (id.size() != BidEditForm::kIdLength) {
        reply(ControlProtocol::errorReply(StringTable::text(153)));
        return;
    }
    const QString folderName = field(request, "folder");
    {
        ItemsLockGuard guard(m_doc.itemsLock(), ItemsLock::kPeriodicPassWaitMs);
        if (!guard.isHeld()) {
            reply(ControlProtocol::errorReply(
                QStringLiteral("the bid list is busy; try again in a moment")));
            return;
        }
        // Known before the download: a duplicate is refused as the dialog's OK would.
        if (m_doc.openItemById(id)) {
            reply(ControlProtocol::errorReply(StringTable::text(168)));
            return;
        }
        if (!folderName.isEmpty()) {
            const CBidFolder* folder = m_doc.folderByName(folderName);
            if (!folder) {
                reply(ControlProtocol::errorReply(
                    QStringLiteral("There is no folder named \"%1\".").arg(folderName)));
                return;
            }
            if (CBidFolder::isClosedType(folder)) {
                reply(ControlProtocol::errorReply(
                    QStringLiteral("The folder \"%1\" holds finished auctions only.")
                        .arg(folderName)));
                return;
            }
        }
    }

    if (!m_thread) {
        auto job = std::make_unique<ItemPageJob>();
        m_thread = std::make_unique<WorkerThread>(QStringLiteral("control add"));
        m_job = job.get();
        connect(job.get(), &ItemPageJob::done, this,
                [this](const std::shared_ptr<CBidItem>& item, const ItemPageResult& result) {
                    m_reading = false;
                    const QJsonObject pendingRequest = m_request;
                    const ControlRegistry::Reply pendingReply = std::move(m_reply);
                    m_reply = nullptr;
                    pageRead(pendingRequest, pendingReply, item, result);
                });
        m_thread->start(std::move(job));
    }
    auto item = std::make_shared<CBidItem>();
    item->setId(id);
    // As the dialog starts: a page without an end time keeps a day from now.
    item->setEndTime(ModelClock::siteNow() + kOneDay);
    m_request = request;
    m_reply = std::move(reply);
    m_reading = true;
    // The site's profile is taken here, on the main thread.
    const ItemPageReader reader;
    ItemPageJob* job = m_job;
    if (!m_thread->post([job, reader, item] { job->read(reader, item); })) {
        m_reading = false;
        const ControlRegistry::Reply refused = std::move(m_reply);
        m_reply = nullptr;
        refused(ControlProtocol::errorReply(QStringLiteral("the item page cannot be read now")));
    }
}

void ControlAdd::pageRead(const QJsonObject& request, const ControlRegistry::Reply& reply,
                          const std::shared_ptr<CBidItem>& page, const ItemPageResult& result)
{
    if (!reply)
        return;
    if (!result.success) {
        const QString message = result.message();
        AppContext::logWrite(message, ProgramLog::Error);
        reply(ControlProtocol::errorReply(message));
        return;
    }
    // The list may have been locked while the page was read.
    const QString refusal = gate(m_doc);
    if (!refusal.isEmpty()) {
        reply(ControlProtocol::errorReply(refusal));
        return;
    }

    BidEditForm form = BidEditForm::fromItem(*page);
    QJsonArray notes;
    if (page->isBuyItNow()) {
        // The seller's price is the price to pay, whatever was given.
        form.maxPriceText = QString::asprintf("%.2f", double(page->maxPrice()));
        notes.append(QStringLiteral("Buy It Now: the maximum price is the seller's price %1.")
                         .arg(form.maxPriceText));
    } else {
        form.maxPriceText = field(request, "maxPrice");
    }
    const int quantity = request.value(QStringLiteral("quantity")).toInt(0);
    form.quantity = quantity > 0 ? quantity : -1;
    form.activate = !request.value(QStringLiteral("inactive")).toBool(false);
    form.folderChoice = field(request, "folder");

    const bool yes = request.value(QStringLiteral("yes")).toBool(false);
    for (const EditCheck& check : form.checks(*page, ModelClock::siteNow())) {
        if (check.kind == EditCheck::Error) {
            reply(ControlProtocol::errorReply(check.text));
            return;
        }
        if (!yes) {
            QJsonObject refused = ControlProtocol::errorReply(check.text);
            refused.insert(QStringLiteral("question"), true);
            reply(refused);
            return;
        }
        notes.append(check.text);
    }

    auto item = std::make_unique<CBidItem>(*page);
    item->setFolder(nullptr);
    item->setBidThread(nullptr);
    form.applyTo(*item);
    ItemCommands commands(m_doc);
    const AddItemStart start = commands.beginAdd(nullptr);
    if (!start.credentialsQuestion.isEmpty() || !start.target) {
        reply(ControlProtocol::errorReply(start.credentialsQuestion.isEmpty()
                                              ? StringTable::text(424)
                                              : start.credentialsQuestion));
        return;
    }
    CBidItem* added = nullptr;
    const QString addRefusal =
        commands.addItem(std::move(item), form.folderChoice, start.target, &added);
    if (!addRefusal.isEmpty()) {
        reply(ControlProtocol::errorReply(addRefusal));
        return;
    }
    QJsonObject answer;
    {
        ItemsLockGuard guard(m_doc.itemsLock());
        if (guard.isHeld() && m_doc.indexOf(added) >= 0) {
            answer = {
                {QStringLiteral("id"), added->id()},
                {QStringLiteral("title"), added->title()},
                {QStringLiteral("folder"), added->folder() ? added->folder()->name() : QString()},
                {QStringLiteral("status"), int(added->status())},
                {QStringLiteral("statusText"), CBidItem::statusText(added->status())},
                {QStringLiteral("endTime"), added->endTime()},
                {QStringLiteral("maxPrice"), double(added->maxPrice())}};
        }
    }
    answer.insert(QStringLiteral("notes"), notes);
    reply(answer);
}
