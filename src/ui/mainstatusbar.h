#pragma once

#include <QStatusBar>

class QLabel;
class QProgressBar;
class SiteClock;

// The main window's status bar: a text, the current site with its flag, the site time,
// a progress bar shown only while something reports progress, and the connection state.
class CMainStatusBar : public QStatusBar
{
    Q_OBJECT
public:
    enum class Connection
    {
        Unknown,
        Online,
        Offline
    };

    explicit CMainStatusBar(QWidget* parent = nullptr);

    void setText(const QString& text);
    QString text() const;
    void setSite(const QString& siteName, int siteNumber);
    QString siteText() const;
    void showSiteTime(const SiteClock& clock);
    void setSiteTimeText(const QString& text);
    QString siteTimeText() const;
    void setConnection(Connection state);
    Connection connection() const { return m_connection; }
    // A maximum of 0 or less hides the bar.
    void setProgress(int value, int maximum);
    bool isProgressShown() const;

private:
    QLabel* m_text = nullptr;
    QLabel* m_siteFlag = nullptr;
    QLabel* m_site = nullptr;
    QLabel* m_time = nullptr;
    QProgressBar* m_progress = nullptr;
    QLabel* m_connectionIcon = nullptr;
    Connection m_connection = Connection::Unknown;
};
