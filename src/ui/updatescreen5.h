#pragma once

#include <QWizardPage>

class AppContext;
class QCheckBox;

// The update wizard's last page: whether the program checks by itself at each start.
class CUpdateScreen5 : public QWizardPage
{
    Q_OBJECT
public:
    explicit CUpdateScreen5(AppContext& app, QWidget* parent = nullptr);

    void initializePage() override;
    // Finish: the choice becomes the updateEvery option, stored at once.
    void storeChoice();

    QCheckBox* automaticBox() const { return m_automatic; }

private:
    AppContext& m_app;
    QCheckBox* m_automatic = nullptr;
};
