#pragma once

#include "model/ibideffects.h"

#include <QObject>

class AppContext;
class CBidsDoc;
class MainController;

// What the bids document asks of the engine: the retraction of a deleted bid through a bid
// thread, the outbid indicator (timer 6), the shutdown request, and the mail notification
// (message 0x472, carried out by the controller's mail hook).
//
// Calls come under the items lock from any thread. On the main thread the retraction's
// thread is made at once (the document deletes the item right after); everything else is
// posted to the main thread and the call returns.
class EngineBidEffects : public QObject, public IBidEffects
{
    Q_OBJECT
public:
    EngineBidEffects(AppContext& app, CBidsDoc& doc, MainController& controller);
    ~EngineBidEffects() override;

    void startRetraction(CBidItem& item) override;
    void requestMailNotification(MailNotification kind, const CBidItem& item) override;
    void postShutdownRequest() override;
    void setOutbidIndicator(bool on) override;

private:
    void retract(const QString& itemId);

    AppContext& m_app;
    CBidsDoc& m_doc;
    MainController& m_controller;
};
