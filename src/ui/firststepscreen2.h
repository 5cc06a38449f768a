#pragma once

#include <QWizardPage>

class QRadioButton;

// The startup wizard's question: has the user an account already? Yes goes straight to
// the account page, No to the registration page.
class CFirstStepScreen2 : public QWizardPage
{
    Q_OBJECT
public:
    explicit CFirstStepScreen2(QWidget* parent = nullptr);

    void initializePage() override;
    int nextId() const override;

    QRadioButton* yesButton() const { return m_yes; }
    QRadioButton* noButton() const { return m_no; }

private:
    QRadioButton* m_yes = nullptr;
    QRadioButton* m_no = nullptr;
};
