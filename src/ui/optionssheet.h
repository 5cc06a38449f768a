#pragma once

#include "engine/dialupoptions.h"
#include "ui/optionsapply.h"

#include <QDialog>
#include <QList>

class AppContext;
class COptionsPage;
class QLabel;
class QStackedWidget;
class QTreeWidget;
class QTreeWidgetItem;

// The options: a tree of pages beside the page shown. OK checks the pages, stores their
// values in the settings and applies them; Cancel forgets every change.
class COptionsSheet : public QDialog
{
    Q_OBJECT
public:
    enum Page
    {
        TimeOptions,
        SiteSettings,
        EmailPatterns,
        Network,
        Update,
        Favorites,
        Application,
        Advanced,
        Other,
        // Shown under "Internet", after the pages above.
        Mail,
        PageCount
    };

    COptionsSheet(AppContext& app, const DialUpOptions& dialUp, COptionsApply::Hooks hooks,
                  QWidget* parent = nullptr);

    COptionsPage* page(int index) const;
    template <typename T> T* page(Page index) const { return static_cast<T*>(page(int(index))); }
    // The page shown, -1 while a group node is selected.
    int currentPage() const;
    // Opens a page as a click on its node does; false when the page shown kept the user.
    bool selectPage(int index);
    QTreeWidget* tree() const { return m_tree; }
    // The text shown for a node without a page of its own.
    QString groupHint() const;

    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void addPage(QTreeWidgetItem* group, COptionsPage* page);
    void nodeChanged(QTreeWidgetItem* current, QTreeWidgetItem* previous);
    void showNode(QTreeWidgetItem* node);

    AppContext& m_app;
    COptionsApply::Hooks m_hooks;
    QTreeWidget* m_tree = nullptr;
    QStackedWidget* m_stack = nullptr;
    QLabel* m_heading = nullptr;
    QLabel* m_hint = nullptr;
    QList<COptionsPage*> m_pages;
    QList<QTreeWidgetItem*> m_nodes;
    int m_initialPage = 0;
    bool m_entered = false;
};
