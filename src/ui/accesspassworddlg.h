#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;

// "Change access password...": the old password, the new one and its confirmation.
class CAccessPasswordDlg : public QDialog
{
    Q_OBJECT
public:
    // `login` and `sitePassword` are the stored site account, for "Forgot Your Password?".
    CAccessPasswordDlg(const QString& storedPassword, const QString& login,
                       const QString& sitePassword, QWidget* parent = nullptr);

    void accept() override;
    QString newPassword() const;

    static QString emptyText();
    static QString wrongOldText();
    static QString mismatchText();

    QLineEdit* oldEdit() const { return m_old; }
    QLineEdit* newEdit() const { return m_new; }
    QLineEdit* confirmEdit() const { return m_confirm; }
    QPushButton* forgotButton() const { return m_forgot; }

private:
    void refuse(const QString& text, QLineEdit* field);
    void showForgotPassword();

    QString m_stored;
    QString m_login;
    QString m_sitePassword;
    QLineEdit* m_old = nullptr;
    QLineEdit* m_new = nullptr;
    QLineEdit* m_confirm = nullptr;
    QPushButton* m_forgot = nullptr;
};
