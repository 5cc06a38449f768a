#pragma once

#include <QWizardPage>

class AppContext;

// The update wizard's welcome: what the wizard does and the version installed.
class CUpdateScreen1 : public QWizardPage
{
    Q_OBJECT
public:
    explicit CUpdateScreen1(AppContext& app, QWidget* parent = nullptr);
};
