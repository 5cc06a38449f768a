#pragma once

#include <QString>
#include <QUrl>
#include <QWizard>
#include <functional>

class AppContext;
class CFirstStepScreen2;
class CFirstStepScreen20;
class CFirstStepScreen3;
class CFirstStepScreen4;
class CFirstStepScreen5;

// "Startup Wizard": on a user's first start, the site to bid on, the site account and the
// address for sellers' questions. Finish stores them; however it closes, the wizard is
// not offered again at start-up.
class CFirstStepWizard : public QWizard
{
    Q_OBJECT
public:
    enum PageId
    {
        WelcomePage,
        SitePage,
        AccountQuestionPage,
        RegisterPage,
        AccountPage,
        EmailPage,
        FinishPage
    };
    struct Result
    {
        QString site;
        QString userId;
        QString password;
        QString email;
    };

    explicit CFirstStepWizard(AppContext& app, QWidget* parent = nullptr);

    AppContext& app() { return m_app; }
    Result result() const;

    // Whether the start-up offers the wizard: a first start and no site account stored.
    static bool isWanted(const AppContext& app);
    // The registration page of a site ("www.ebay.co.uk" gives the secure host
    // "scgi.ebay.co.uk").
    static QUrl registrationUrl(const QString& siteName);
    static bool isValidEmail(const QString& address);

    // Opens an address in the user's browser; a failure is logged and shown.
    void openInBrowser(const QUrl& url);
    // Tests and the program replace the desktop's browser.
    void setUrlOpener(std::function<bool(const QUrl&)> opener) { m_opener = std::move(opener); }
    // Runs after Finish changed the current site.
    void setSiteChangedHandler(std::function<void()> handler)
    {
        m_siteChanged = std::move(handler);
    }

    CFirstStepScreen20* sitePage() const { return m_site; }
    CFirstStepScreen2* questionPage() const { return m_question; }
    CFirstStepScreen3* registerPage() const { return m_register; }
    CFirstStepScreen4* accountPage() const { return m_account; }
    CFirstStepScreen5* emailPage() const { return m_email; }

    // Back from the account page returns to the question, past the registration page.
    void goBack();
    void reject() override;
    void done(int result) override;

private:
    void store(const Result& result);

    AppContext& m_app;
    std::function<bool(const QUrl&)> m_opener;
    std::function<void()> m_siteChanged;
    CFirstStepScreen20* m_site = nullptr;
    CFirstStepScreen2* m_question = nullptr;
    CFirstStepScreen3* m_register = nullptr;
    CFirstStepScreen4* m_account = nullptr;
    CFirstStepScreen5* m_email = nullptr;
};
