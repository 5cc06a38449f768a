#include "mail/pop3account.h"

#include "app/appsettings.h"

Pop3Account Pop3Account::fromSettings(const AppSettings& settings)
{
    Pop3Account account;
    account.host = settings.popServer.trimmed();
    account.port = settings.popPort;
    account.user = settings.popLogin;
    account.password = settings.popPassword;
    account.acceptedSender = settings.commandEmail.trimmed();
    account.security = MailSecurity::fromSetting(settings.popSecurity);
    return account;
}
