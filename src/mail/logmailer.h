#pragma once

#include "mail/mailsendjob.h"
#include "mail/smtpaccount.h"

#include <QMetaType>
#include <QObject>
#include <QString>

class ProgramLog;
class Registry;

// How sending the log to support went.
struct LogMailResult
{
    bool ok = false;
    // For the user: what went wrong, or that the log was sent.
    QString message;
};
Q_DECLARE_METATYPE(LogMailResult)

// "Send the log file": the log compressed to "qzvt.gz" beside it (gzip) and mailed to the
// support address through the program's own SMTP settings. The log holds no password, and
// nothing else of the settings goes into the mail.
//
// As a worker it lives on a thread of its own; run() emits finished().
class LogMailer : public QObject
{
    Q_OBJECT
public:
    static constexpr const char* kDefaultSupportAddress = "support@gavelin.example";

    LogMailer(SmtpAccount account, QString logPath, QString programName, QString version,
              ProgramLog* log);

    void run();
    static LogMailResult send(const SmtpAccount& account, const QString& logPath,
                              const QString& programName, const QString& version, ProgramLog* log);

    // The SMTP account with the support address as recipient; the sender is the
    // notification sender, else the user's own address.
    static SmtpAccount supportAccount(const SmtpAccount& settings, const QString& userEmail,
                                      const Registry& machine);
    // `MailSupport` of the machine-wide "URL" key, else the built-in address.
    static QString supportAddress(const Registry& machine);
    // The log's path with its extension replaced by ".gz".
    static QString compressedPath(const QString& logPath);
    // Writes a gzip copy of `from` to `to` (an old file there is replaced); false with
    // the reason in `error`.
    static bool compress(const QString& from, const QString& to, QString* error);
    static OutgoingMail supportMail(const QString& compressedLog, const QString& programName,
                                    const QString& version);
    // The question asked before anything is sent.
    static QString consentText();

Q_SIGNALS:
    void finished(const LogMailResult& result);

private:
    SmtpAccount m_account;
    QString m_logPath;
    QString m_programName;
    QString m_version;
    ProgramLog* m_log;
};
