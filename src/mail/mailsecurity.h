#pragma once

#include <QString>

// How a mail connection is protected. Plain is the default, so that stored settings from
// before TLS keep working; a connection asked to use TLS never falls back to plain text.
struct MailSecurity
{
    enum Mode
    {
        Plain = 0,
        // TLS from the first byte (POP3 on 995, SMTP on 465).
        ImplicitTls = 1,
        // Plain greeting, then STLS (POP3) or STARTTLS (SMTP) before any credential.
        StartTls = 2
    };

    Mode mode = Plain;
    // Trusted in addition to the system's certificate store; empty for the store alone.
    QString extraCaFile;

    bool usesTls() const { return mode != Plain; }

    // The stored setting (popSecurity, smtpSecurity): 1 implicit TLS, 2 STARTTLS, else plain.
    static MailSecurity fromSetting(int value)
    {
        MailSecurity security;
        if (value == ImplicitTls || value == StartTls)
            security.mode = static_cast<Mode>(value);
        return security;
    }
};
