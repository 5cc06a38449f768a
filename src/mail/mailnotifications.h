#pragma once

#include "mail/outgoingmail.h"

#include <QString>

class CBidItem;
class CBidsDoc;

// The texts of the mails the program sends on its own: an auction has ended, the user was
// outbid, and the bids list. `viewItemUrl` is the current site's item-page address with
// "%s" for the item number. The caller holds the items lock.
namespace MailNotifications {

enum Kind
{
    AuctionEnded = 1,
    Outbid = 2,
    BidsList = 3,
};

// "link to item: " and the item's page address, "\r\n".
QString itemLink(const QString& viewItemUrl, const QString& itemId);
OutgoingMail endedMail(const CBidItem& item, const QString& viewItemUrl);
OutgoingMail outbidMail(const CBidItem& item, const QString& viewItemUrl);
// Every item of the open-type folders, then of the closed-type ones, in list order.
OutgoingMail bidsListMail(const CBidsDoc& doc, const QString& viewItemUrl);
// One row of the list: status (padded to 25), number, price and currency, bidders, seller.
QString bidsListRow(const CBidItem& item);

} // namespace MailNotifications
