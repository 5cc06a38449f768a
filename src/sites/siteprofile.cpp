#include "sites/siteprofile.h"

const std::vector<SiteProfile::TextField>& SiteProfile::textFields()
{
    using P = SiteProfile;
    static const std::vector<TextField> fields = {
        {"URL_ViewItem", &P::urlViewItem},
        {"URL_Retract", &P::urlRetract},
        {"URL_DutchHighBidder", &P::urlDutchHighBidder},
        {"KeyWord_RegBlock", &P::keyWordRegBlock},
        {"KeyWord_InvalidItem", &P::keyWordInvalidItem},
        {"KeyWord_Category", &P::keyWordCategory},
        {"KeyWord_ItemID", &P::keyWordItemID},
        {"KeyWord_CurPrice", &P::keyWordCurPrice},
        {"KeyWord_CurPrice2", &P::keyWordCurPrice2},
        {"KeyWord_CurPrice3", &P::keyWordCurPrice3},
        {"KeyWord_MinBid", &P::keyWordMinBid},
        {"KeyWord_EndTime", &P::keyWordEndTime},
        {"KeyWord_EndTime2", &P::keyWordEndTime2},
        {"KeyWord_UserName", &P::keyWordUserName},
        {"KeyWord_UserName2", &P::keyWordUserName2},
        {"KeyWord_UserName3", &P::keyWordUserName3},
        {"KeyWord_SellerName", &P::keyWordSellerName},
        {"KeyWord_Rating", &P::keyWordRating},
        {"KeyWord_FeedBack", &P::keyWordFeedBack},
        {"KeyWord_EndFlag", &P::keyWordEndFlag},
        {"KeyWord_DutchFlag", &P::keyWordDutchFlag},
        {"KeyWord_BadPassword", &P::keyWordBadPassword},
        {"KeyWord_ShopPrice", &P::keyWordShopPrice},
        {"KeyWord_ShopPrice2", &P::keyWordShopPrice2},
        {"KeyWord_Private", &P::keyWordPrivate},
        {"KeyWord_TimeU", &P::keyWordTimeU},
        {"KeyWord_EndFlag2", &P::keyWordEndFlag2},
        {"KeyWord_EndFlag3", &P::keyWordEndFlag3},
        {"KeyWord_Resubmit", &P::keyWordResubmit},
        {"KeyWord_Resubmit2", &P::keyWordResubmit2},
        {"KeyWord_Negativ", &P::keyWordNegativ},
        {"KeyWord_Limit", &P::keyWordLimit},
        {"KeyWord_Ship", &P::keyWordShip},
        {"KeyWord_Ended", &P::keyWordEnded},
        {"KeyWord_Bids", &P::keyWordBids},
        {"KeyWord_ShipPrice", &P::keyWordShipPrice},
        {"KeyWord_StartPrice", &P::keyWordStartPrice},
        {"KeyWord_Suspension", &P::keyWordSuspension},
        {"KeyWord_Purchase", &P::keyWordPurchase},
        {"KeyWord_Cont", &P::keyWordCont},
    };
    return fields;
}
