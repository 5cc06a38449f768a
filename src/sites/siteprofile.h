#pragma once

#include <QChar>
#include <QString>
#include <vector>

class IMainWindow;

// The current site's keywords and URLs with the account data a page operation needs.
// A worker takes one at the start of each page operation and works from that copy, so a
// reload of the site settings meanwhile cannot change what it reads.
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

    // First characters of Other_DecimalPointer and Other_GroupsDivider; NUL when empty,
    // which the price scanner never matches.
    QChar decimalPointer;
    QChar groupsDivider;

    QString login;
    QString password;
    int bidsEvery = 0;
    int showIE = 0;
    IMainWindow* mainWindow = nullptr;

    // Free for the record's user; 0 when built.
    qint32 work1 = 0;
    qint32 work2 = 0;

    // The text fields with the profile keys that fill them ("URL_ViewItem", ...).
    struct TextField
    {
        const char* key;
        QString SiteProfile::*field;
    };
    static const std::vector<TextField>& textFields();
};
