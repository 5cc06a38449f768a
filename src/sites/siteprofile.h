#pragma once

#include "sites/siteconventions.h"

#include <QString>
#include <vector>

// One site's keywords, URLs and conventions with the account data a page operation needs.
// A worker takes one at the start of each page operation and works from that copy, so a
// reload of the site settings or a change of the current site meanwhile cannot change what
// it reads.
struct SiteProfile
{
    QString siteName;

    QString urlViewItem;
    QString urlRetract;
    QString urlDutchHighBidder;
    QString keyWordRegBlock;
    QString keyWordInvalidItem;
    QString keyWordCategory;
    QString keyWordItemID;
    QString keyWordCurPrice;
    QString keyWordCurPrice2;
    QString keyWordCurPrice3;
    QString keyWordMinBid;
    QString keyWordEndTime;
    QString keyWordEndTime2;
    QString keyWordUserName;
    QString keyWordUserName2;
    QString keyWordUserName3;
    QString keyWordSellerName;
    QString keyWordRating;
    QString keyWordFeedBack;
    QString keyWordEndFlag;
    QString keyWordDutchFlag;
    QString keyWordBadPassword;
    QString keyWordShopPrice;
    QString keyWordShopPrice2;
    QString keyWordPrivate;
    QString keyWordTimeU;
    QString keyWordEndFlag2;
    QString keyWordEndFlag3;
    QString keyWordResubmit;
    QString keyWordResubmit2;
    QString keyWordNegativ;
    QString keyWordLimit;
    QString keyWordShip;
    QString keyWordEnded;
    QString keyWordBids;
    QString keyWordShipPrice;
    QString keyWordStartPrice;
    QString keyWordSuspension;
    QString keyWordPurchase;
    QString keyWordCont;

    // How the site writes prices and dates.
    SiteConventions conventions;

    QString login;
    QString password;
    int bidsEvery = 0;
    int showIE = 0;

    // The text fields with the profile keys that fill them ("URL_ViewItem", ...).
    struct TextField
    {
        const char* key;
        QString SiteProfile::*field;
    };
    static const std::vector<TextField>& textFields();
};
