#include "mail/smtpaccount.h"

#include "app/appsettings.h"

SmtpAccount SmtpAccount::fromSettings(const AppSettings& settings)
{
    SmtpAccount account;
    account.host = settings.smtpServer;
    account.port = settings.smtpPort;
    account.user = settings.smtpUser;
    account.password = settings.smtpPassword;
    account.sender = settings.notifySender;
    account.recipient = settings.notifyRecipient;
    account.security = MailSecurity::fromSetting(settings.smtpSecurity);
    return account;
}
