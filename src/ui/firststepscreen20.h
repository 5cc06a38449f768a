#pragma once

#include <QWizardPage>

class QListWidget;

// The startup wizard's site choice: every site of the site list, with its flag.
class CFirstStepScreen20 : public QWizardPage
{
    Q_OBJECT
public:
    explicit CFirstStepScreen20(QWidget* parent = nullptr);

    void initializePage() override;
    bool isComplete() const override;
    // The chosen site's name; empty when none is chosen.
    QString site() const;
    QListWidget* siteList() const { return m_list; }

private:
    QListWidget* m_list = nullptr;
};
