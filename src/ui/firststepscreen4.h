#pragma once

#include <QWizardPage>

class QLineEdit;

// The startup wizard's account page: the site user ID and the password twice.
class CFirstStepScreen4 : public QWizardPage
{
    Q_OBJECT
public:
    explicit CFirstStepScreen4(QWidget* parent = nullptr);

    // Next: a user ID, a password of 6 characters or more, and the same password again.
    bool validatePage() override;

    QString userId() const;
    QString password() const;
    QLineEdit* userIdEdit() const { return m_userId; }
    QLineEdit* passwordEdit() const { return m_password; }
    QLineEdit* confirmEdit() const { return m_confirm; }

private:
    bool refuse(int stringId, QLineEdit* field);

    QLineEdit* m_userId = nullptr;
    QLineEdit* m_password = nullptr;
    QLineEdit* m_confirm = nullptr;
};
