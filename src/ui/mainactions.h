#pragma once

#include <QObject>
#include <map>

class COutlookBar;
class CSiteMenu;
class QAction;
class QMenu;
class QMenuBar;
class QToolBar;
class QWidget;

// Every command of the main window as one QAction, found by its command number, and the
// menus, toolbar, tray menu and side bar built from them. A command whose behaviour is
// not there yet stays disabled; whoever brings it connects the action and enables it.
class CMainActions : public QObject
{
    Q_OBJECT
public:
    explicit CMainActions(QWidget* window);

    // The command's action; null for a number without one.
    QAction* action(int id) const;
    CSiteMenu* siteMenu() const { return m_siteMenu; }
    // The File menu's list of recent files (filled by the list commands).
    QMenu* recentFilesMenu() const { return m_recentFiles; }

    void fillMenuBar(QMenuBar* bar);
    void fillToolBar(QToolBar* bar);
    void fillTrayMenu(QMenu* menu);
    void fillOutlookBar(COutlookBar* bar);

private:
    QAction* make(int id, const QString& text, const char* icon = nullptr, bool enabled = false);
    void addAll(QMenu* menu, std::initializer_list<int> ids);

    QWidget* m_window;
    std::map<int, QAction*> m_actions;
    CSiteMenu* m_siteMenu = nullptr;
    QMenu* m_recentFiles = nullptr;
};
