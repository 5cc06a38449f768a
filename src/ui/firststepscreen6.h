#pragma once

#include <QWizardPage>

class QLabel;

// The startup wizard's last page, with the link to the beginner's guide.
class CFirstStepScreen6 : public QWizardPage
{
    Q_OBJECT
public:
    explicit CFirstStepScreen6(QWidget* parent = nullptr);

    QLabel* guideLink() const { return m_guide; }
    // The guide's address: URLBeginGuid of the site data, else the current site's name.
    static QUrl guideUrl();

private:
    QLabel* m_guide = nullptr;
};
