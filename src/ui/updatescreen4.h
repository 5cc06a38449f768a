#pragma once

#include <QWizardPage>

class QCheckBox;
class QLabel;

// The update wizard's install page: where the package is, and whether the program should
// close and start it once the wizard ends.
class CUpdateScreen4 : public QWizardPage
{
    Q_OBJECT
public:
    explicit CUpdateScreen4(QWidget* parent = nullptr);

    void initializePage() override;
    bool validatePage() override;
    void cleanupPage() override;

    QLabel* pathLabel() const { return m_path; }
    QCheckBox* installBox() const { return m_install; }

private:
    void storeChoice();

    QLabel* m_path = nullptr;
    QCheckBox* m_install = nullptr;
};
