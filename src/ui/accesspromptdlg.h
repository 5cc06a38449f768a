#pragma once

#include <QDialog>
#include <functional>
#include <optional>

class AccessLock;
class QLineEdit;
class QPushButton;

// Asks for the access password before a command that changes the list, while the list is
// locked. "Forgot Your Password?" shows it to whoever knows the stored site account.
class CAccessPromptDlg : public QDialog
{
    Q_OBJECT
public:
    explicit CAccessPromptDlg(QWidget* parent = nullptr);

    QString password() const;
    QLineEdit* passwordEdit() const { return m_password; }
    QPushButton* forgotButton() const { return m_forgot; }

    // True when the command may go on: the list is not locked, or the right password was
    // entered (a wrong one is logged and refused with a message). False also on Cancel.
    static bool pass(QWidget* parent, AccessLock& lock);

    // Tests enter the password in place of the user: the entry, or no value for Cancel.
    using Responder = std::function<std::optional<QString>()>;
    static void setResponder(Responder responder);

private:
    void showForgotPassword();

    QLineEdit* m_password = nullptr;
    QPushButton* m_forgot = nullptr;
};
