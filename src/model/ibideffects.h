#pragma once

class CBidItem;

// What the bids document asks of the engine and the main window. Every call is made
// under the items lock and must only post work and return: never wait for the lock's
// owner. An item passed in is valid only for the call; copy what the work needs.
class IBidEffects
{
public:
    // wParam of the mail notification message 0x472.
    enum MailNotification
    {
        MailAuctionEnded = 1,
        MailOutbid = 2,
    };

    virtual ~IBidEffects() = default;

    // Delete with retraction: make sure a bid thread serves the item (creating one) and
    // hand it a retraction job (0x466 with a new site profile).
    virtual void startRetraction(CBidItem& item) = 0;
    // Main-window message 0x472 for the item.
    virtual void requestMailNotification(MailNotification kind, const CBidItem& item) = 0;
    // Main-window message 0x46D: an item that asked for it has ended.
    virtual void postShutdownRequest() = 0;
    // On: start the outbid indicator timer (id 6). Off: stop it and reset the tray icon.
    virtual void setOutbidIndicator(bool on) = 0;
};
