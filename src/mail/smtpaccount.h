#pragma once

#include "mail/mailsecurity.h"

#include <QString>

struct AppSettings;

// Where and as whom one outgoing mail is sent: taken from the settings once, when the mail
// is handed to its send thread.
struct SmtpAccount
{
    QString host;
    int port = 25;
    // Empty: no authentication.
    QString user;
    QString password;
    QString sender;
    QString recipient;
    MailSecurity security;
    int replyTimeoutMs = 30000;

    // The "MailCmd" values server2, port2, smtpuser, smtppass, sender, recv and smtpSecurity.
    static SmtpAccount fromSettings(const AppSettings& settings);
};
