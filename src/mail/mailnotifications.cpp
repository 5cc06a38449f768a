#include "mail/mailnotifications.h"

#include "app/stringtable.h"
#include "model/bidsdoc.h"

namespace {

QByteArray utf8(const QString& text)
{
    return text.toUtf8();
}

QString format(int id, const QString& itemId)
{
    return QString::asprintf(utf8(StringTable::text(id)).constData(), utf8(itemId).constData());
}

QString formatPrice(int id, const CBidItem& item)
{
    return QString::asprintf(utf8(StringTable::text(id)).constData(), utf8(item.id()).constData(),
                             double(item.currentPrice()), utf8(item.currency()).constData());
}

} // namespace

namespace MailNotifications {

QString itemLink(const QString& viewItemUrl, const QString& itemId)
{
    QString url = viewItemUrl;
    const qsizetype at = url.indexOf(QLatin1String("%s"));
    if (at >= 0)
        url.replace(at, 2, itemId);
    return StringTable::text(410) + url + QStringLiteral("\r\n");
}

OutgoingMail endedMail(const CBidItem& item, const QString& viewItemUrl)
{
    OutgoingMail mail;
    mail.body = item.status() == StatusWon ? formatPrice(405, item) : format(406, item.id());
    mail.body += itemLink(viewItemUrl, item.id());
    mail.subject = format(407, item.id());
    return mail;
}

OutgoingMail outbidMail(const CBidItem& item, const QString& viewItemUrl)
{
    OutgoingMail mail;
    mail.body = formatPrice(408, item) + itemLink(viewItemUrl, item.id());
    mail.subject = format(409, item.id());
    return mail;
}

QString bidsListRow(const CBidItem& item)
{
    QString status = StringTable::statusText(int(item.status()));
    if (status.size() < 25)
        status = status.leftJustified(25);
    return QString::asprintf("%s\t%s\t%.2f %s\t%s\t\t%s\r\n", utf8(status).constData(),
                             utf8(item.id()).constData(), double(item.currentPrice()),
                             utf8(item.currency()).constData(),
                             utf8(item.highBidders()).constData(), utf8(item.seller()).constData());
}

OutgoingMail bidsListMail(const CBidsDoc& doc, const QString& viewItemUrl)
{
    OutgoingMail mail;
    mail.subject = StringTable::text(412);
    QString& body = mail.body;
    body = StringTable::text(413);
    body += QStringLiteral("------ ") + StringTable::text(140) + QStringLiteral(" ------\r\n");
    for (const auto& item : doc.items()) {
        if (CBidFolder::isOpenType(item->folder()))
            body += bidsListRow(*item) + itemLink(viewItemUrl, item->id());
    }
    body += QStringLiteral("\r\n------ ") + StringTable::text(141) + QStringLiteral(" ------\r\n");
    for (const auto& item : doc.items()) {
        if (CBidFolder::isClosedType(item->folder()))
            body += bidsListRow(*item) + itemLink(viewItemUrl, item->id());
    }
    if (doc.items().empty())
        body += StringTable::text(411) + QStringLiteral("\r\n");
    return mail;
}

} // namespace MailNotifications
