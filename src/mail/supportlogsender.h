#pragma once

#include "mail/logmailer.h"

#include <QObject>
#include <memory>

class AppContext;
class WorkerThread;

// Help > "Send the log file": asks the user's consent through the main window, then
// compresses and mails the log on a thread of its own and tells the user how it went.
// One sending at a time. Window thread only.
class SupportLogSender : public QObject
{
    Q_OBJECT
public:
    explicit SupportLogSender(AppContext& app, QObject* parent = nullptr);
    ~SupportLogSender() override;

    // False when the user declined or a sending is under way.
    bool sendWithConsent();
    bool isSending() const { return m_thread != nullptr; }

Q_SIGNALS:
    void started();
    void finished(const LogMailResult& result);

private:
    void done(const LogMailResult& result);

    AppContext& m_app;
    std::unique_ptr<WorkerThread> m_thread;
};
