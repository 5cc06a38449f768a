#pragma once

#include <QWizardPage>

class QLabel;
class QMenu;

// The startup wizard's registration page: the link opens a menu of the ten national
// sites, and the chosen one's registration page opens in the browser.
class CFirstStepScreen3 : public QWizardPage
{
    Q_OBJECT
public:
    explicit CFirstStepScreen3(QWidget* parent = nullptr);

    int nextId() const override;

    QLabel* linkLabel() const { return m_link; }
    QMenu* siteMenu() const { return m_menu; }

private:
    void showMenu();

    QLabel* m_link = nullptr;
    QMenu* m_menu = nullptr;
};
