#pragma once

#include "engine/bidformnames.h"
#include "engine/bidthread.h"
#include "sites/siteprofile.h"

#include <QObject>
#include <QString>
#include <deque>
#include <memory>

class AppContext;
class CBidItem;
class CBidsDoc;
class HeadlessBrowser;
class HtmlForm;
class ItemsLockGuard;

// The working half of a CBidThread, on the bid thread: the step queue, the poll flag and
// the browser, which is made and used on this thread only. Every page that finishes
// loading is handled as the step at the head of the queue; the items lock is held while
// the item is read or written and while the page is inspected, and released around
// messages, downloads and navigation. After each re-lock the item is looked up again by
// id, and nothing is done once the thread is to quit.
class BidWorker : public QObject
{
    Q_OBJECT
public:
    BidWorker(AppContext& app, CBidsDoc& doc, QString itemId,
              std::shared_ptr<BidThreadShared> shared);
    ~BidWorker() override;

    // The messages, run on the bid thread.
    void init();
    void start(SiteProfile profile, BidFormNames names);
    // `profile` null: the parameters received with Start.
    void retract(std::shared_ptr<SiteProfile> profile, BidFormNames names, bool forDelete);
    void poll();

Q_SIGNALS:
    // WM_QUIT to the own thread: the handle ends the thread.
    void quitRequested();
    // With "show the browser" on: each page the thread loaded, as it came.
    void pageShown(const QString& url, const QByteArray& source, const QString& contentType);

private:
    void onDocumentComplete(const QString& url);
    void handleStep(int step, ItemsLockGuard& guard);

    void viewItem(ItemsLockGuard& guard);
    void biddingOnItem(ItemsLockGuard& guard);
    void checkLogin(ItemsLockGuard& guard);
    void retractSignIn(ItemsLockGuard& guard);
    void bidRetraction(ItemsLockGuard& guard);
    void bidRetractionOk(ItemsLockGuard& guard);

    // Fills and submits the last qualifying form of the item page; a field that cannot be
    // set fails the step.
    void placeBid(CBidItem& item, ItemsLockGuard& guard);
    void decideVerdict(ItemsLockGuard& guard);
    bool resubmit(const QString& formValue, ItemsLockGuard& guard);

    // The item under the lock (taken again when released): null when the lock could not be
    // had (logged), the thread is to quit or the item is gone.
    CBidItem* lockedItem(ItemsLockGuard& guard);
    // Shows a text in the log and the message list, the lock released.
    void show(ItemsLockGuard& guard, const QString& text, int level);
    void write(const QString& text, int level);
    // One line with the moment in site time, to the millisecond.
    void writeMoment(const QString& what);
    void navigateItemPage(ItemsLockGuard& guard);
    bool submit(const HtmlForm& form, ItemsLockGuard& guard);
    void redisplay();
    void requestQuit();
    bool loadFailed() const;
    QString itemPageUrl() const;
    QString pageText() const;
    bool contains(const QString& text, const QString& keyword) const;
    bool hasEndKeyword(const QString& text, bool withEnded) const;
    bool userLeads(const CBidItem& item) const;

    AppContext& m_app;
    CBidsDoc& m_doc;
    const QString m_itemId;
    std::shared_ptr<BidThreadShared> m_shared;
    std::unique_ptr<HeadlessBrowser> m_browser;

    SiteProfile m_profile;
    BidFormNames m_names;
    bool m_hasProfile = false;
    bool m_ownsRetractParameters = false;
    std::deque<int> m_steps;
    qint64 m_lastNavigation = 0;
    bool m_poll = false;
    bool m_failed = false;
    bool m_ended = false;
    // A bid or purchase form went out in this thread: no later page may send another,
    // except the site's own confirmation ("resubmitted"), and that only a few times.
    bool m_bidFormSent = false;
    int m_resubmits = 0;
    bool m_pageMomentWritten = false;
};
