#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

// "Forgot Your Password?": shows the access password to whoever knows the site account
// stored with it.
class CForgotPasswordDlg : public QDialog
{
    Q_OBJECT
public:
    CForgotPasswordDlg(const QString& login, const QString& password, const QString& accessPassword,
                       QWidget* parent = nullptr);

    void accept() override;

    QLineEdit* loginEdit() const { return m_login; }
    QLineEdit* passwordEdit() const { return m_password; }
    QLabel* statusLabel() const { return m_status; }
    QPushButton* okButton() const { return m_ok; }
    QPushButton* cancelButton() const { return m_cancel; }

private:
    QString m_storedLogin;
    QString m_storedPassword;
    QString m_accessPassword;
    QLineEdit* m_login = nullptr;
    QLineEdit* m_password = nullptr;
    QLabel* m_status = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;
    bool m_shown = false;
};
