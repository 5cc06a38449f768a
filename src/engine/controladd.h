#pragma once

#include "app/controlregistry.h"

#include <QObject>
#include <memory>

class AppContext;
class CBidItem;
class CBidsDoc;
class ItemPageJob;
class WorkerThread;
struct ItemPageResult;

// The "add" control command: the bids list's Add item without its dialog. It reads the
// item page as the dialog's Fetch does (on a thread of its own, so the engine's timers keep
// running), applies every check of the dialog's OK and files the bid.
//
// Request: {"item": ID, "maxPrice": TEXT, "folder": NAME?, "quantity": N?, "inactive": B?,
// "yes": B?}. The dialog's questions cannot be asked here: without "yes" their text refuses
// the command, with it they count as answered OK. Main thread only.
class ControlAdd : public QObject
{
    Q_OBJECT
public:
    ControlAdd(AppContext& app, CBidsDoc& doc, QObject* parent = nullptr);
    ~ControlAdd() override;

    void run(const QJsonObject& request, ControlRegistry::Reply reply);

    // Empty when a changing command may go on now, else the text that refuses it: the
    // access password locks the list, or the site account is not set.
    static QString gate(CBidsDoc& doc);

private:
    void pageRead(const QJsonObject& request, const ControlRegistry::Reply& reply,
                  const std::shared_ptr<CBidItem>& page, const ItemPageResult& result);

    AppContext& m_app;
    CBidsDoc& m_doc;
    std::unique_ptr<WorkerThread> m_thread;
    ItemPageJob* m_job = nullptr; // lives on m_thread
    // The request whose page is being read, and its answer to give.
    bool m_reading = false;
    QJsonObject m_request;
    ControlRegistry::Reply m_reply;
};
