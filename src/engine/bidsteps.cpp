// The pages of a bid thread, one function per step it expects.

#include "app/appcontext.h"
#include "app/stringtable.h"
#include "engine/bidproblemfile.h"
#include "engine/bidtexts.h"
#include "engine/bidworker.h"
#include "engine/itempageupdate.h"
#include "engine/itemverdict.h"
#include "model/bidsdoc.h"
#include "web/documentaccess.h"
#include "web/headlessbrowser.h"
#include "web/itempagereader.h"

namespace {

// String `number` with its "%s", "%d" and "%.2f" filled in order by `values`. The values
// go in as text, never as a format: an item id from a page cannot upset it.
QString filled(int number, const QStringList& values)
{
    const QString format = StringTable::text(number);
    QString text;
    qsizetype next = 0;
    for (qsizetype i = 0; i < format.size(); ++i) {
        if (format[i] == QLatin1Char('%') && next < values.size()) {
            for (const char* conversion : {"%s", "%d", "%.2f"}) {
                const QLatin1String placeholder(conversion);
                if (format.mid(i, placeholder.size()) == placeholder) {
                    text += values[next++];
                    i += placeholder.size() - 1;
                    break;
                }
            }
            if (format[i] != QLatin1Char('%'))
                continue;
        }
        text += format[i];
    }
    return text;
}

QString price(float value)
{
    return QString::asprintf("%.2f", double(value));
}

// A bid form sent this many times for one decision is a loop of the site's, not a
// confirmation.
constexpr int kMaxResubmits = 3;

} // namespace

void BidWorker::viewItem(ItemsLockGuard& guard)
{
    if (!m_pageMomentWritten) {
        m_pageMomentWritten = true;
        writeMoment(QStringLiteral("item page loaded"));
    }
    // The item's data first, without the browser; the lock is not held.
    guard.unlock();
    if (ItemPageUpdate::read(m_doc, m_app.itemsLock(), m_itemId, m_profile, &m_shared->quit))
        redisplay();
    write(BidTexts::withId(528, m_itemId), ProgramLog::Info);
    const QString text = ItemPageReader::cutDescription(pageText(), m_names.descriptionKeyword,
                                                        m_names.readyBidKeyword);
    CBidItem* item = lockedItem(guard);
    if (!item)
        return;
    if (hasEndKeyword(text, false) || item->isEnded()) {
        decideVerdict(guard);
        return;
    }
    write(filled(498, {m_itemId, price(item->highestSeenPrice()), price(item->maxPrice())}),
          ProgramLog::Success);
    const bool leads = userLeads(*item);
    const bool placed = item->bidPlaced();
    if (item->highestSeenPrice() > item->maxPrice() && (!leads || !placed)) {
        item->setStatus(StatusRunningOutbid);
        write(BidTexts::withId(434, m_itemId), ProgramLog::Error);
        m_poll = true;
        return;
    }
    item->setStatus(StatusRunning);
    if (leads && placed) {
        write(BidTexts::withId(499, m_itemId), ProgramLog::Success);
        m_poll = true;
        return;
    }
    if (m_bidFormSent) {
        write(QStringLiteral("Bid #%1: the bid was sent already; watching the item.").arg(m_itemId),
              ProgramLog::Warning);
        m_poll = true;
        return;
    }
    placeBid(*item, guard);
}

void BidWorker::placeBid(CBidItem& item, ItemsLockGuard& guard)
{
    const bool buyItNow = item.isBuyItNow();
    const bool multi = item.isMultiItem();
    const QString wanted = buyItNow ? m_names.sofortCmd : m_names.runCmd1;
    const QString quantityField = buyItNow ? m_names.quant1 : m_names.quant2;
    // The last qualifying form: a page may repeat its bid form, and the later one is the
    // one the site means.
    HtmlForm form;
    const QList<HtmlForm> forms =
        m_browser->document() ? m_browser->document()->forms() : QList<HtmlForm>();
    for (auto it = forms.crbegin(); it != forms.crend(); ++it) {
        const HtmlElement command = FindInputByName(*it, m_names.command);
        if (!command || command.value().compare(wanted, Qt::CaseInsensitive) != 0)
            continue;
        if (multi && !FindInputByName(*it, quantityField))
            continue;
        if (!multi && !buyItNow && !FindInputByName(*it, m_names.maxbid))
            continue;
        form = *it;
        break;
    }
    if (!form) {
        write(QStringLiteral("Bid #%1: no bid form on the item page.").arg(m_itemId),
              ProgramLog::Warning);
        return;
    }
    if (!buyItNow) {
        QString amount = price(item.maxPrice());
        if (!m_profile.conventions.decimalPointer.isNull())
            amount.replace(QLatin1Char('.'), m_profile.conventions.decimalPointer);
        if (!SetInputValue(form, m_names.maxbid, amount)) {
            write(BidTexts::withId(500, m_itemId), ProgramLog::Error);
            m_failed = true;
            return;
        }
    }
    if (multi && !SetInputValue(form, quantityField, QString::number(item.quantity()))) {
        write(BidTexts::withId(501, m_itemId), ProgramLog::Error);
        m_failed = true;
        return;
    }
    write(filled(502, {m_itemId, QString::number(item.quantity())}), ProgramLog::Success);
    m_steps.push_back(ET_BIDDING_ON_ITEM);
    if (submit(form, guard)) {
        m_bidFormSent = true;
        writeMoment(QStringLiteral("bid form sent"));
    }
}

void BidWorker::decideVerdict(ItemsLockGuard& guard)
{
    const std::optional<Verdict> verdict =
        ItemVerdict::decide(m_doc, m_itemId, m_profile, guard, &m_shared->quit);
    m_steps.clear();
    if (verdict && guard.isHeld())
        show(guard, ItemVerdict::message(m_itemId, *verdict), ProgramLog::Success);
    requestQuit();
}

bool BidWorker::resubmit(const QString& formValue, ItemsLockGuard& guard)
{
    const HtmlForm form = FindFormByInputValue(m_browser->document(), m_names.command, formValue);
    if (!form)
        return false;
    if (++m_resubmits > kMaxResubmits) {
        write(QStringLiteral("Bid #%1: the site asked for the bid %2 times; not sent again.")
                  .arg(m_itemId)
                  .arg(m_resubmits),
              ProgramLog::Error);
        m_failed = true;
        return true;
    }
    write(BidTexts::withId(495, m_itemId), ProgramLog::Warning);
    m_steps.push_back(ET_CHECK_LOGIN);
    submit(form, guard);
    return true;
}

void BidWorker::biddingOnItem(ItemsLockGuard& guard)
{
    write(BidTexts::withId(503, m_itemId), ProgramLog::Info);
    const QString text = pageText();
    CBidItem* item = lockedItem(guard);
    if (!item)
        return;
    if (hasEndKeyword(text, true)) {
        m_steps.clear();
        item->setStatus(StatusLost);
        show(guard, BidTexts::withId(436, m_itemId), ProgramLog::Success);
        requestQuit();
        m_poll = true;
        return;
    }
    if (contains(text, m_profile.keyWordRegBlock)) {
        show(guard, StringTable::text(233), ProgramLog::Error);
        m_failed = true;
        return;
    }
    const HtmlForm signIn =
        FindFormByInputValue(m_browser->document(), m_names.command, m_names.retractCmd);
    if (signIn) {
        if (!SetInputValue(signIn, m_names.login1, m_profile.login) &&
            !SetInputValue(signIn, m_names.login2, m_profile.login)) {
            write(BidTexts::withId(506, m_itemId), ProgramLog::Error);
            m_failed = true;
            return;
        }
        if (!SetInputValue(signIn, m_names.pass1, m_profile.password)) {
            write(BidTexts::withId(507, m_itemId), ProgramLog::Error);
            m_failed = true;
            return;
        }
        m_steps.push_back(ET_CHECK_LOGIN);
        if (submit(signIn, guard))
            writeMoment(QStringLiteral("sign-in sent"));
        return;
    }
    if (resubmit(m_names.bidCmd, guard) || resubmit(m_names.sofortCmd, guard))
        return;
    write(BidTexts::withId(504, m_itemId), ProgramLog::Error);
    m_poll = true;
}

void BidWorker::checkLogin(ItemsLockGuard& guard)
{
    write(BidTexts::withId(496, m_itemId), ProgramLog::Info);
    const QString text = pageText();
    if (!lockedItem(guard))
        return;
    if (contains(text, m_profile.keyWordResubmit)) {
        if (resubmit(m_names.bidCmd, guard))
            return;
        write(BidTexts::withId(494, m_itemId), ProgramLog::Error);
    }
    if (contains(text, m_profile.keyWordResubmit2)) {
        if (resubmit(m_names.sofortCmd, guard))
            return;
        write(BidTexts::withId(494, m_itemId), ProgramLog::Error);
    }
    if (contains(text, m_profile.keyWordSuspension)) {
        guard.unlock();
        const QString marker = m_profile.login + QLatin1Char(',');
        for (const QString& line : text.split(QStringLiteral("\r\n"))) {
            if (!m_profile.login.isEmpty() && line.contains(marker))
                m_app.log().message(line, ProgramLog::Warning);
        }
        const HtmlDocument* document = m_browser->document();
        for (const HtmlElement& link : document ? document->links() : QList<HtmlElement>()) {
            if (!contains(link.text(), m_profile.keyWordCont))
                continue;
            m_steps.clear();
            m_steps.push_back(ET_CHECK_LOGIN);
            if (!m_browser->followLink(link)) {
                write(QStringLiteral("Bid #%1: the notice's link could not be followed.")
                          .arg(m_itemId),
                      ProgramLog::Error);
                m_steps.clear();
                m_failed = true;
            }
            return;
        }
        write(QStringLiteral("Bid #%1: the notice has no link to go on.").arg(m_itemId),
              ProgramLog::Warning);
        return;
    }
    const std::pair<const QString*, int> refusals[] = {
        {&m_profile.keyWordNegativ, 389},
        {&m_profile.keyWordLimit, 390},
        {&m_profile.keyWordShip, 391},
        {&m_profile.keyWordRegBlock, 233},
    };
    for (const auto& [keyword, number] : refusals) {
        if (contains(text, *keyword)) {
            show(guard, StringTable::text(number), ProgramLog::Error);
            m_failed = true;
            return;
        }
    }
    if (contains(text, m_profile.keyWordBadPassword)) {
        show(guard, filled(209, {m_itemId, m_profile.siteName}), ProgramLog::Error);
        m_failed = true;
        return;
    }
    // Signed in.
    writeMoment(QStringLiteral("confirmation received"));
    if (hasEndKeyword(text, true)) {
        // The next tick loads the item page, where the verdict is decided.
        m_steps.clear();
        m_poll = true;
        return;
    }
    CBidItem* item = lockedItem(guard);
    if (!item)
        return;
    if (item->isMultiItem()) {
        item->setEnded(true);
        item->setStatus(StatusWon);
        show(guard, filled(216, {QString::number(item->quantity()), m_itemId}),
             ProgramLog::Success);
        requestQuit();
        return;
    }
    item->setBidPlaced(true);
    m_steps.clear();
    m_steps.push_back(ET_VIEWITEM);
    guard.unlock();
    if (!contains(text, m_names.descriptionKeyword))
        BidProblemFile::save(m_app.paths().dataDir(), m_itemId, m_app.clock().localNow(), text,
                             m_profile.password);
    navigateItemPage(guard);
}

void BidWorker::retractSignIn(ItemsLockGuard& guard)
{
    write(BidTexts::withId(508, m_itemId), ProgramLog::Info);
    if (!lockedItem(guard))
        return;
    const HtmlForm form =
        FindFormByInputValue(m_browser->document(), m_names.command, m_names.retractCmd);
    if (!form) {
        write(BidTexts::withId(509, m_itemId), ProgramLog::Error);
        m_failed = true;
        return;
    }
    if (!SetInputValue(form, m_names.login3, m_profile.login)) {
        write(BidTexts::withId(510, m_itemId), ProgramLog::Error);
        m_failed = true;
        return;
    }
    if (!SetInputValue(form, m_names.pass2, m_profile.password)) {
        write(BidTexts::withId(511, m_itemId), ProgramLog::Error);
        m_failed = true;
        return;
    }
    m_steps.push_back(ET_BIDRETRACTION);
    submit(form, guard);
}

void BidWorker::bidRetraction(ItemsLockGuard& guard)
{
    write(BidTexts::withId(512, m_itemId), ProgramLog::Info);
    const QString text = pageText();
    if (!lockedItem(guard))
        return;
    if (contains(text, m_profile.keyWordRegBlock)) {
        show(guard, StringTable::text(233), ProgramLog::Error);
        m_failed = true;
        return;
    }
    if (contains(text, m_profile.keyWordBadPassword)) {
        show(guard, filled(209, {m_itemId, m_profile.siteName}), ProgramLog::Error);
        m_failed = true;
        return;
    }
    const HtmlForm form =
        FindFormByInputValue(m_browser->document(), m_names.command, m_names.bidretractCmd);
    if (!form) {
        write(BidTexts::withId(513, m_itemId), ProgramLog::Error);
        m_failed = true;
        return;
    }
    if ((!SetInputValue(form, m_names.item1, m_itemId) &&
         !SetInputValue(form, m_names.item2, m_itemId)) ||
        !form.selectOption(m_names.info, QStringLiteral("1"))) {
        write(BidTexts::withId(210, m_itemId), ProgramLog::Error);
        m_failed = true;
        return;
    }
    m_steps.push_back(ET_BIDRETRACTION_OK);
    submit(form, guard);
}

void BidWorker::bidRetractionOk(ItemsLockGuard& guard)
{
    CBidItem* item = lockedItem(guard);
    if (!item)
        return;
    item->setStatus(StatusRetracted);
    item->setRefreshed(m_ownsRetractParameters);
    if (m_ownsRetractParameters)
        item->setRetractionDone(true);
    write(BidTexts::withId(514, m_itemId), ProgramLog::Success);
    requestQuit();
}
