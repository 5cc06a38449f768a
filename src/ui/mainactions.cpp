#include "ui/mainactions.h"

#include "app/appcontext.h"
#include "ui/commandid.h"
#include "ui/outlookbar.h"
#include "ui/sitemenu.h"
#include "ui/uiicons.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

CMainActions::CMainActions(QWidget* window) : QObject(window), m_window(window)
{
    // Commands that work now are made enabled; the others wait for their behaviour.
    make(CmdFileNew, tr("&New"), "new")->setShortcut(QKeySequence::New);
    make(CmdFileOpen, tr("&Open..."), "open")->setShortcut(QKeySequence::Open);
    make(CmdFileSave, tr("&Save"), "save")->setShortcut(QKeySequence::Save);
    make(CmdFileSaveAs, tr("Save &As..."));
    make(CmdExit, tr("E&xit"), "exit", true);

    make(CmdAddItem, tr("&Add item"), "add")->setShortcut(Qt::Key_Insert);
    make(CmdDeleteBid, tr("&Delete bid"), "delete");
    make(CmdEditView, tr("&Edit/View"), "edit");
    make(CmdRefresh, tr("&Refresh"), "refresh")->setShortcut(QKeySequence::Refresh);
    make(CmdStart, tr("S&tart"), "start");
    make(CmdStop, tr("Sto&p"), "stop");
    make(CmdStartBids, tr("Start &bids"), "startall");
    make(CmdViewItemPage, tr("&View item web page"), "viewpage");
    make(CmdSavePage, tr("Save &web page contents"), "savepage");
    make(CmdEmailToSeller, tr("E-&mail to seller"), "email");
    make(CmdSelectAll, tr("Select A&ll"));
    make(CmdAddFolder, tr("Add &folder"), "foldernew");
    make(CmdDeleteFolder, tr("Delete f&older"), "folderdelete");
    make(CmdRenameFolder, tr("Re&name"));
    make(CmdFolderProperties, tr("Pr&operties"));

    make(CmdViewToolbar, tr("&Toolbar"), nullptr, true)->setCheckable(true);
    make(CmdViewStatusBar, tr("&Status Bar"), nullptr, true)->setCheckable(true);
    make(CmdViewOutlookBar, tr("&Outlook Bar"), nullptr, true)->setCheckable(true);
    make(CmdBidsWindow, tr("&Bids list"), "bidslist", true);
    make(CmdInternalBrowser, tr("&Internal browser"), "browser");
    make(CmdViewColumns, tr("View/Sort &Columns"), "columns");
    make(CmdLargeIcons, tr("&Large Icons"))->setCheckable(true);

    make(CmdSynchroniseTime, tr("&Synchronize time"), "timesync");
    make(CmdSearchService, tr("Search S&ervice"), "search");
    make(CmdUpdateWizard, tr("&Update Wizard"), "wizard");
    make(CmdStartupWizard, tr("Start&up Wizard"));
    make(CmdLogViewer, tr("&Log Viewer"), "log", true);
    make(CmdOptions, tr("&Options"), "options", true);

    make(CmdAbout, tr("&About %1").arg(AppContext::applicationTitle()), "about", true);
    make(CmdSendLog, tr("&Send the log file"), "sendlog");
    make(CmdBookmarklet, tr("Add items from your &browser..."), nullptr, true);
    make(CmdRestore, tr("&Restore"), nullptr, true);

    m_siteMenu = new CSiteMenu(window);
    m_recentFiles = new QMenu(tr("Recent &Files"), window);
    m_recentFiles->setEnabled(false);
}

QAction* CMainActions::make(int id, const QString& text, const char* icon, bool enabled)
{
    auto* action = new QAction(text, m_window);
    if (icon)
        action->setIcon(UiIcons::named(QLatin1String(icon)));
    action->setData(id);
    action->setEnabled(enabled);
    action->setIconVisibleInMenu(true);
    m_actions[id] = action;
    return action;
}

QAction* CMainActions::action(int id) const
{
    const auto it = m_actions.find(id);
    return it == m_actions.end() ? nullptr : it->second;
}

void CMainActions::addAll(QMenu* menu, std::initializer_list<int> ids)
{
    for (int id : ids) {
        if (id == 0)
            menu->addSeparator();
        else
            menu->addAction(action(id));
    }
}

void CMainActions::fillMenuBar(QMenuBar* bar)
{
    QMenu* file = bar->addMenu(tr("&File"));
    addAll(file, {CmdFileNew, CmdFileOpen, CmdFileSave, CmdFileSaveAs, 0});
    file->addMenu(m_recentFiles);
    addAll(file, {0, CmdExit});

    QMenu* edit = bar->addMenu(tr("&Edit"));
    addAll(edit, {CmdAddItem, CmdEditView, CmdDeleteBid, 0, CmdStart, CmdStop, CmdStartBids,
                  CmdRefresh, 0, CmdViewItemPage, CmdSavePage, CmdEmailToSeller, 0});
    QMenu* folder = edit->addMenu(tr("Fol&der"));
    addAll(folder, {CmdAddFolder, CmdDeleteFolder, CmdRenameFolder, 0, CmdFolderProperties});
    addAll(edit, {0, CmdSelectAll});

    QMenu* view = bar->addMenu(tr("&View"));
    addAll(view, {CmdViewToolbar, CmdViewStatusBar, CmdViewOutlookBar, 0, CmdBidsWindow,
                  CmdInternalBrowser, 0, CmdViewColumns, CmdLargeIcons});

    bar->addMenu(m_siteMenu);

    QMenu* tools = bar->addMenu(tr("&Tools"));
    addAll(tools, {CmdSynchroniseTime, CmdSearchService, 0, CmdUpdateWizard, CmdStartupWizard, 0,
                   CmdLogViewer, 0, CmdOptions});

    QMenu* help = bar->addMenu(tr("&Help"));
    addAll(help, {CmdBookmarklet, CmdSendLog, 0, CmdAbout});
}

void CMainActions::fillToolBar(QToolBar* bar)
{
    for (int id :
         std::initializer_list<int>{CmdAddItem, CmdDeleteBid, CmdEditView, 0, CmdStart, CmdStop,
                                    CmdStartBids, CmdRefresh, 0, CmdViewItemPage, CmdEmailToSeller,
                                    0, CmdSynchroniseTime, CmdOptions, CmdLogViewer}) {
        if (id == 0)
            bar->addSeparator();
        else
            bar->addAction(action(id));
    }
}

void CMainActions::fillTrayMenu(QMenu* menu)
{
    QAction* title = menu->addAction(UiIcons::application(), AppContext::applicationTitle());
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    title->setEnabled(false);
    menu->addSeparator();
    menu->addAction(action(CmdRestore));
    menu->setDefaultAction(action(CmdRestore));
    addAll(menu, {CmdSynchroniseTime, CmdOptions, 0, CmdUpdateWizard});
    // The tray names the program it ends.
    auto* about = menu->addAction(tr("&About"));
    connect(about, &QAction::triggered, action(CmdAbout), &QAction::trigger);
    menu->addSeparator();
    auto* exit = menu->addAction(tr("&Exit from %1").arg(AppContext::applicationTitle()));
    connect(exit, &QAction::triggered, action(CmdExit), &QAction::trigger);
}

void CMainActions::fillOutlookBar(COutlookBar* bar)
{
    // Short names under the bar's icons.
    action(CmdInternalBrowser)->setIconText(tr("Browser"));
    action(CmdSearchService)->setIconText(tr("Search"));
    action(CmdSynchroniseTime)->setIconText(tr("Time sync"));
    bar->addGroup(tr("Shortcuts"));
    for (int id : {CmdBidsWindow, CmdInternalBrowser, CmdSearchService})
        bar->addAction(action(id));
    bar->addGroup(tr("Tools"));
    for (int id : {CmdSynchroniseTime, CmdOptions, CmdLogViewer})
        bar->addAction(action(id));
}
