#pragma once

#include <QWizardPage>

// The startup wizard's welcome.
class CFirstStepScreen1 : public QWizardPage
{
    Q_OBJECT
public:
    explicit CFirstStepScreen1(QWidget* parent = nullptr);
};
