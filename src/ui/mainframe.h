#pragma once

#include "app/imainwindow.h"

#include <QMainWindow>

class AppContext;
class QListWidget;
class QLabel;
class QSystemTrayIcon;
class QTimer;

// The main window: message list, status bar and tray icon. Calls through IMainWindow
// may come from any thread; they are carried out on the window's thread.
class CMainFrame : public QMainWindow, public IMainWindow
{
    Q_OBJECT
public:
    explicit CMainFrame(AppContext& app, QWidget* parent = nullptr);
    ~CMainFrame() override;

    void postBidsViewCommand(int command) override;
    void addMessage(const QString& line, int level) override;
    void setStatusText(const QString& text) override;
    void showTrayBalloon(const QString& title, const QString& text, int milliseconds) override;
    int ask(const Question& question) override;
    void itemsChanged() override;
    void foldersChanged() override;
    void siteChanged() override;
    void activate() override;

    // Shows the window at its stored place, minimised to the tray when asked.
    void showAtStart(bool minimized);
    bool hasTray() const;
    QListWidget* messageList() const { return m_messages; }

    // File, Exit: the only way the user ends the program.
    void exitProgram();

Q_SIGNALS:
    void exitRequested();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenus();
    void buildTray();
    void restorePlacement();
    void storePlacement();
    void updateSiteTime();
    void runOnWindowThread(std::function<void()> work);

    AppContext& m_app;
    QListWidget* m_messages = nullptr;
    QLabel* m_siteLabel = nullptr;
    QLabel* m_timeLabel = nullptr;
    QLabel* m_statusText = nullptr;
    QSystemTrayIcon* m_tray = nullptr;
    QTimer* m_clockTimer = nullptr;
    bool m_exiting = false;
};
