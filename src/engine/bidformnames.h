#pragma once

#include <QString>

// The names a bid thread finds the site's forms and fields by (the "Sites\Commands"
// values) and the two keywords that bound the seller's description. Taken once when a bid
// thread receives its parameters, so a settings update meanwhile cannot change a flow
// half-way.
struct BidFormNames
{
    QString command;       // "Command": the hidden field whose value names a form
    QString runCmd1;       // bid form on the item page
    QString sofortCmd;     // purchase form
    QString bidCmd;        // bid form found again after the bid
    QString retractCmd;    // sign-in form
    QString bidretractCmd; // retraction form
    QString maxbid;
    QString quant1; // quantity of a purchase
    QString quant2; // quantity of a bid
    QString login1;
    QString login2;
    QString pass1;
    QString login3;
    QString pass2;
    QString item1;
    QString item2;
    QString info;

    QString descriptionKeyword; // "%s_KeyWord_Description" of the current site
    QString readyBidKeyword;    // "%s_KeyWord_ReadyBid"

    // The current site settings' values; the built-in default for a name they lack.
    static BidFormNames current();
};
