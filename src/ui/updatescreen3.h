#pragma once

#include <QWizardPage>
#include <memory>

class AppContext;
class QLabel;
class QProgressBar;
class UpdateWizardDownload;

// The update wizard's download: the announced package goes to the download folder, with
// the connection's steps, the progress, the rate and the time left on show.
class CUpdateScreen3 : public QWizardPage
{
    Q_OBJECT
public:
    explicit CUpdateScreen3(AppContext& app, QWidget* parent = nullptr);
    ~CUpdateScreen3() override;

    void initializePage() override;
    bool isComplete() const override;
    int nextId() const override;

    // The wizard's Cancel: the download waits while the user is asked, then ends (true) or
    // goes on (false).
    bool isDownloading() const;
    void holdDownload();
    void endDownload(bool cancelled);

    QLabel* statusLabel() const { return m_status; }
    QLabel* fileLabel() const { return m_file; }
    QProgressBar* progressBar() const { return m_progress; }
    QLabel* sizesLabel() const { return m_sizes; }
    QLabel* rateLabel() const { return m_rate; }
    QLabel* timeLeftLabel() const { return m_timeLeft; }

Q_SIGNALS:
    void downloadFinished(bool success);

private:
    void showProgress(qint64 done, qint64 total);
    void finish(bool success, const QString& pathOrMessage);

    AppContext& m_app;
    std::unique_ptr<UpdateWizardDownload> m_download;
    QLabel* m_status = nullptr;
    QLabel* m_file = nullptr;
    QProgressBar* m_progress = nullptr;
    QLabel* m_sizes = nullptr;
    QLabel* m_rate = nullptr;
    QLabel* m_timeLeft = nullptr;
    bool m_done = false;
    bool m_success = false;
};
