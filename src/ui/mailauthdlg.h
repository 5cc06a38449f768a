#pragma once

#include <QDialog>

class QLineEdit;

// "Authentication": the SMTP user name and password (an empty user name means no
// authentication).
class CMailAuthDlg : public QDialog
{
    Q_OBJECT
public:
    CMailAuthDlg(const QString& user, const QString& password, QWidget* parent = nullptr);

    QString user() const;
    QString password() const;
    QLineEdit* userEdit() const { return m_user; }
    QLineEdit* passwordEdit() const { return m_password; }

private:
    QLineEdit* m_user = nullptr;
    QLineEdit* m_password = nullptr;
};
