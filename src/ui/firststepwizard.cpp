#include "ui/firststepwizard.h"

#include "app/appcontext.h"
#include "app/appsettings.h"
#include "app/stringtable.h"
#include "sites/siteaccess.h"
#include "ui/firststepscreen1.h"
#include "ui/firststepscreen2.h"
#include "ui/firststepscreen20.h"
#include "ui/firststepscreen3.h"
#include "ui/firststepscreen4.h"
#include "ui/firststepscreen5.h"
#include "ui/firststepscreen6.h"
#include "ui/uiicons.h"
#include "ui/userprompt.h"

#include <QAbstractButton>
#include <QDesktopServices>

CFirstStepWizard::CFirstStepWizard(AppContext& app, QWidget* parent) : QWizard(parent), m_app(app)
{
    setWindowTitle(StringTable::text(262));
    setWizardStyle(QWizard::ModernStyle);
    setOption(QWizard::NoBackButtonOnStartPage);
    setPixmap(QWizard::LogoPixmap, UiIcons::application().pixmap(48, 48));
    setPixmap(QWizard::WatermarkPixmap, UiIcons::named(QStringLiteral("wizard")).pixmap(120, 120));
    m_site = new CFirstStepScreen20(this);
    m_question = new CFirstStepScreen2(this);
    m_register = new CFirstStepScreen3(this);
    m_account = new CFirstStepScreen4(this);
    m_email = new CFirstStepScreen5(this);
    setPage(WelcomePage, new CFirstStepScreen1(this));
    setPage(SitePage, m_site);
    setPage(AccountQuestionPage, m_question);
    setPage(RegisterPage, m_register);
    setPage(AccountPage, m_account);
    setPage(EmailPage, m_email);
    setPage(FinishPage, new CFirstStepScreen6(this));
    // Back goes through goBack(), which knows the account page's way back.
    QAbstractButton* back = button(QWizard::BackButton);
    back->disconnect(this);
    connect(back, &QAbstractButton::clicked, this, &CFirstStepWizard::goBack);
    resize(560, 420);
}

CFirstStepWizard::Result CFirstStepWizard::result() const
{
    Result r;
    r.site = m_site->site();
    r.userId = m_account->userId();
    r.password = m_account->password();
    r.email = m_email->address();
    return r;
}

bool CFirstStepWizard::isWanted(const AppContext& app)
{
    return app.settings().firstStartup != 0 && app.settings().login.trimmed().isEmpty();
}

QUrl CFirstStepWizard::registrationUrl(const QString& siteName)
{
    const QString marker = QStringLiteral("ebay.");
    const qsizetype at = siteName.indexOf(marker, 0, Qt::CaseInsensitive);
    const QString country = at < 0 ? QStringLiteral("com") : siteName.mid(at + marker.size());
    return QUrl(QStringLiteral("https://scgi.ebay.%1/ws/eBayISAPI.dll?RegisterEnterInfo")
                    .arg(country.toLower()));
}

bool CFirstStepWizard::isValidEmail(const QString& text)
{
    const QString address = text.trimmed();
    if (address.isEmpty())
        return false;
    static const QString forbidden = QStringLiteral("\"`~><,!?/\\|:;'#$%^&*()+");
    for (const QChar c : address) {
        if (forbidden.contains(c))
            return false;
    }
    const qsizetype at = address.indexOf(u'@');
    if (at <= 0 || at == address.size() - 1)
        return false;
    return address.contains(u'.') && !address.startsWith(u'.') && !address.endsWith(u'.');
}

void CFirstStepWizard::openInBrowser(const QUrl& url)
{
    const bool opened = m_opener ? m_opener(url) : QDesktopServices::openUrl(url);
    if (opened)
        return;
    const QString error = tr("No web browser could be started.");
    m_app.log().write(error + QStringLiteral(" <> ") + url.toString(), ProgramLog::Info);
    UserPrompt::inform(this, error, IMainWindow::Icon::Error);
}

void CFirstStepWizard::goBack()
{
    if (currentId() != AccountPage) {
        back();
        return;
    }
    // Past the registration page, if the user came by it; nothing there is checked.
    for (int step = 0; step < 2 && currentId() != AccountQuestionPage; ++step)
        back();
}

void CFirstStepWizard::reject()
{
    IMainWindow::Question question;
    question.text = StringTable::text(263);
    question.caption = windowTitle();
    question.buttons = IMainWindow::Buttons::OkCancel;
    question.icon = IMainWindow::Icon::Question;
    question.defaultAnswer = IMainWindow::AnswerOk;
    if (UserPrompt::ask(this, question) == IMainWindow::AnswerOk)
        QWizard::reject();
}

void CFirstStepWizard::done(int code)
{
    if (code == QDialog::Accepted)
        store(result());
    // Offered once: after Finish or Cancel the start-up leaves the user alone.
    AppSettings& settings = m_app.settings();
    settings.firstStartup = 0;
    settings.writeKey(m_app.userRegistry(), &AppSettings::firstStartup);
    m_app.publishSettings();
    QWizard::done(code);
}

void CFirstStepWizard::store(const Result& r)
{
    AppSettings& settings = m_app.settings();
    settings.login = r.userId;
    settings.password = r.password;
    settings.email = r.email;
    settings.writeKeys(m_app.userRegistry(),
                       {&AppSettings::login, &AppSettings::password, &AppSettings::email});
    m_app.publishSettings();
    m_app.log().write(settings.loginLine(), ProgramLog::Info);
    if (!r.site.isEmpty() && SetCurrentSite(r.site) && m_siteChanged)
        m_siteChanged();
}
