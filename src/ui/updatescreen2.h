#pragma once

#include <QWizardPage>

class AppContext;
class QCheckBox;
class QLabel;
class QProgressBar;

// The update wizard's check: the site settings are fetched and applied on a thread of
// their own, then the announced program version is compared with the one installed.
class CUpdateScreen2 : public QWizardPage
{
    Q_OBJECT
public:
    explicit CUpdateScreen2(AppContext& app, QWidget* parent = nullptr);

    void initializePage() override;
    bool isComplete() const override;
    int nextId() const override;

    QLabel* statusLabel() const { return m_status; }
    QLabel* resultLabel() const { return m_result; }
    QLabel* linkLabel() const { return m_link; }
    QCheckBox* downloadBox() const { return m_download; }
    QProgressBar* progressBar() const { return m_progress; }

Q_SIGNALS:
    void checkFinished(bool success);

private:
    void startCheck();
    void showResult(bool success, int announcedVersion, qint64 checkedAt);
    void offerVersion(int announcedVersion);
    void openLink(const QString& url);

    AppContext& m_app;
    QLabel* m_status = nullptr;
    QProgressBar* m_progress = nullptr;
    QLabel* m_result = nullptr;
    QCheckBox* m_download = nullptr;
    QLabel* m_link = nullptr;
    bool m_checking = false;
};
