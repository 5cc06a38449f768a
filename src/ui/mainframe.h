#pragma once

#include "app/imainwindow.h"
#include "ui/mainstatusbar.h"
#include "ui/optionsapply.h"
#include "ui/trayicon.h"
#include "ui/updatewizard.h"

#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <memory>

class AppContext;
class BidsViewEvents;
class CBidsDoc;
class CBidsFrame;
class CBidsLeftView;
class CBidsRightView;
class CFirstStepWizard;
class CItemPageCommands;
class CLogViewer;
class CMainActions;
class CMessageList;
class COptionsSheet;
class COutlookBar;
class QMenu;
class QSplitter;
class QStackedWidget;
class QTimer;
class QToolBar;

// The main window: menus, toolbar, side bar, the bids window (and later the internal
// browser) above the message list, the status bar and the tray icon. Calls through
// IMainWindow may come from any thread; they are carried out on the window's thread.
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
    void setSiteTimeText(const QString& text) override;
    void setTrayIcon(TrayIcon icon) override;
    void flash() override;
    void setConnected(bool connected) override;
    int askStopBidding(const QString& itemId, const QString& retractHelpUrl) override;

    // Shows the window at its stored place; minimised to the tray (or the task bar where
    // the desktop has no tray) when asked.
    void showAtStart(bool minimized);
    bool hasTray() const;

    CMessageList* messageList() const { return m_messages; }
    CTrayIcon* trayIcon() const { return m_tray; }
    CMainStatusBar* mainStatusBar() const { return m_status; }
    CBidsFrame* bidsFrame() const { return m_bids; }
    // The folder tree and the bids list of `doc` take the bids window's panes, with the
    // list commands, the document's notifications and the Exit check wired to them.
    void setDocument(CBidsDoc& doc);
    CBidsDoc* document() const { return m_document; }
    CBidsLeftView* folderTree() const { return m_tree; }
    CBidsRightView* bidsList() const { return m_list; }
    // View, save and e-mail commands of the list's item; the internal browser sets its hooks.
    CItemPageCommands* itemPageCommands() const { return m_pageCommands; }
    COutlookBar* outlookBar() const { return m_outlook; }
    // The action of a command number (see commandid.h); null for an unknown number.
    QAction* command(int id) const;
    // The File menu's recent files, filled by the list commands.
    QMenu* recentFilesMenu() const;

    // The internal browser's window takes its place beside the bids window.
    void setBrowserWindow(QWidget* browser);
    QWidget* browserWindow() const { return m_browser; }
    void showBidsWindow();
    void showBrowserWindow();

    // Whether any bid is Active, Active/outbidded, Running or Running/outbidded: then
    // Exit asks first. Without a check Exit does not ask.
    void setActiveItemsCheck(std::function<bool()> check) { m_activeItems = std::move(check); }
    // Runs after the Exit question; false keeps the program running (the list's save
    // question was cancelled).
    void setExitGuard(std::function<bool()> guard) { m_exitGuard = std::move(guard); }
    // Runs before the options sheet opens; false keeps it closed (the list's access lock).
    void setOptionsGate(std::function<bool()> gate) { m_optionsGate = std::move(gate); }
    // The engine's side of the bidding commands. Start and Stop act on the focused item;
    // Start bids and Synchronize time become live once set.
    struct EngineCommands
    {
        std::function<void(const QString& itemId)> start;
        std::function<void(const QString& itemId)> stop;
        std::function<void()> startReadyBids;
        std::function<void()> synchroniseTime;
    };
    void setEngineCommands(EngineCommands commands);
    // Commands posted to the bids view go to the engine; without it the window redisplays
    // and scans for outbids itself.
    void setBidsViewHandler(std::function<void(int)> handler)
    {
        m_bidsViewHandler = std::move(handler);
    }
    // The stop dialog; tests answer it themselves.
    using StopAsker = std::function<int(const QString& itemId, const QString& retractHelpUrl)>;
    void setStopAsker(StopAsker asker) { m_stopAsker = std::move(asker); }
    // What the options sheet's OK asks of the engine.
    COptionsApply::Hooks& optionsHooks() { return m_optionsHooks; }

    void setTrayState(CTrayIcon::State state);
    // One beat of the tray timers.
    void trayTick();
    void setConnectionState(CMainStatusBar::Connection state);
    void setProgress(int value, int maximum);

    // The sheet as the Options command shows it; the caller owns it.
    std::unique_ptr<COptionsSheet> newOptionsSheet();
    void openOptions();
    CLogViewer* openLogViewer();

    // File, Exit: asks when bids are active, stores the window state and ends the program.
    void exitProgram();

    // The wizards, modal to the program; a second call brings an open one to the front.
    CUpdateWizard* openUpdateWizard(bool startOnCheck = false);
    CFirstStepWizard* openStartupWizard();
    // The end of start-up: the update wizard on its check page when a newer version was
    // announced, else the startup wizard on a user's first start.
    void startWizards(bool newVersionAvailable);
    // What starting a downloaded package asks of the program (save, then end).
    void setUpdateWizardHooks(CUpdateWizard::Hooks hooks) { m_updateHooks = std::move(hooks); }

Q_SIGNALS:
    void exitRequested();
    // The engine posted a command to the bids view (IMainWindow::BidsViewCommand).
    void bidsViewCommand(int command);
    void bidsChanged();
    void folderTreeChanged();

protected:
    void closeEvent(QCloseEvent* event) override;
    // Keys and clicks anywhere in the program count as activity for the access lock.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildWindow();
    void connectCommands();
    void connectBidsViews(CBidsDoc& doc);
    void restorePlacement();
    void storePlacement();
    void showAbout();
    void runOnWindowThread(std::function<void()> work);

    AppContext& m_app;
    CMainActions* m_actions = nullptr;
    CMessageList* m_messages = nullptr;
    CMainStatusBar* m_status = nullptr;
    CBidsFrame* m_bids = nullptr;
    CBidsDoc* m_document = nullptr;
    CBidsLeftView* m_tree = nullptr;
    CBidsRightView* m_list = nullptr;
    BidsViewEvents* m_viewEvents = nullptr;
    CItemPageCommands* m_pageCommands = nullptr;
    COutlookBar* m_outlook = nullptr;
    QToolBar* m_toolBar = nullptr;
    QStackedWidget* m_views = nullptr;
    QWidget* m_browser = nullptr;
    QSplitter* m_split = nullptr;
    CTrayIcon* m_tray = nullptr;
    CLogViewer* m_logViewer = nullptr;
    std::function<bool()> m_activeItems;
    std::function<bool()> m_exitGuard;
    std::function<bool()> m_optionsGate;
    COptionsApply::Hooks m_optionsHooks;
    EngineCommands m_engine;
    std::function<void(int)> m_bidsViewHandler;
    StopAsker m_stopAsker;
    CUpdateWizard::Hooks m_updateHooks;
    QPointer<CUpdateWizard> m_updateWizard;
    QPointer<CFirstStepWizard> m_startupWizard;
    bool m_exiting = false;
};
