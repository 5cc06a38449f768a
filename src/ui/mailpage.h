#pragma once

#include "mail/mailtestsender.h"
#include "ui/optionspage.h"

#include <functional>
#include <memory>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class WorkerThread;

// "Zaru Vuzarovuz": commands read from a POP3 mailbox and notifications sent by SMTP.
// "Check mail now" asks the running program for one poll with the stored settings; "Test
// mail sending" sends a test mail with the values on the page, on a send thread, and shows
// how it went without holding up the window.
class CMailPage : public COptionsPage
{
    Q_OBJECT
public:
    CMailPage(AppContext& app, std::function<void()> checkMailNow, QWidget* parent = nullptr);
    ~CMailPage() override;

    void load(const AppSettings& settings) override;
    void store(AppSettings& settings) const override;

    static QString acceptedSenderWarning();

    QCheckBox* useBox() const { return m_use; }
    QLineEdit* popServerEdit() const { return m_popServer; }
    QSpinBox* popPortSpin() const { return m_popPort; }
    QComboBox* popSecurityBox() const { return m_popSecurity; }
    QLineEdit* acceptedSenderEdit() const { return m_email; }
    QLabel* acceptedSenderWarningLabel() const { return m_senderWarning; }
    QLineEdit* smtpServerEdit() const { return m_smtpServer; }
    QSpinBox* smtpPortSpin() const { return m_smtpPort; }
    QComboBox* smtpSecurityBox() const { return m_smtpSecurity; }
    QPushButton* checkNowButton() const { return m_checkNow; }
    QPushButton* testButton() const { return m_test; }
    QPushButton* authenticationButton() const { return m_auth; }
    QLabel* statusLabel() const { return m_status; }
    bool isTesting() const { return m_testThread != nullptr; }
    // The SMTP account as the page shows it now.
    SmtpAccount smtpAccount() const;
    // Tests trust their own certificate this way.
    void setExtraCaFile(const QString& path) { m_extraCaFile = path; }

Q_SIGNALS:
    void testFinished(const MailTestResult& result);

private:
    void updateDependents();
    void editAuthentication();
    void checkMailNow();
    void startTest();
    void testDone(const MailTestResult& result);
    bool differsFromStoredPop() const;

    std::function<void()> m_checkMailNow;
    QCheckBox* m_use = nullptr;
    QLineEdit* m_popServer = nullptr;
    QSpinBox* m_popPort = nullptr;
    QComboBox* m_popSecurity = nullptr;
    QLineEdit* m_popLogin = nullptr;
    QLineEdit* m_popPassword = nullptr;
    QLineEdit* m_email = nullptr;
    QLabel* m_senderWarning = nullptr;
    QSpinBox* m_time = nullptr;
    QPushButton* m_checkNow = nullptr;
    QLineEdit* m_smtpServer = nullptr;
    QSpinBox* m_smtpPort = nullptr;
    QComboBox* m_smtpSecurity = nullptr;
    QLineEdit* m_sender = nullptr;
    QLineEdit* m_recipient = nullptr;
    QCheckBox* m_notifyEnded = nullptr;
    QCheckBox* m_notifyOutbid = nullptr;
    QPushButton* m_auth = nullptr;
    QPushButton* m_test = nullptr;
    QLabel* m_status = nullptr;
    QString m_smtpUser;
    QString m_smtpPassword;
    QString m_extraCaFile;
    std::unique_ptr<WorkerThread> m_testThread;
};
