#pragma once

#include <QWizardPage>

class QLineEdit;

// The startup wizard's e-mail page: where the sellers' answers and notices go.
class CFirstStepScreen5 : public QWizardPage
{
    Q_OBJECT
public:
    explicit CFirstStepScreen5(QWidget* parent = nullptr);

    bool validatePage() override;

    QString address() const;
    QLineEdit* addressEdit() const { return m_address; }

private:
    QLineEdit* m_address = nullptr;
};
