#pragma once

#include "mail/mailsecurity.h"

#include <QString>

struct AppSettings;

// The mailbox the mail commands are read from, taken from the settings once per poll.
struct Pop3Account
{
    QString host;
    int port = 110;
    QString user;
    QString password;
    // Not empty: only mails whose From header holds it (case ignored) are read.
    QString acceptedSender;
    MailSecurity security;
    int replyTimeoutMs = 20000;

    // The "MailCmd" values server, port, login, pass, email and popSecurity.
    static Pop3Account fromSettings(const AppSettings& settings);
};
