#pragma once

#include "ui/optionspage.h"

class QLineEdit;
class QPushButton;
class QTreeWidget;

// "Favorites": the favourite category pages kept in the "Favorites" section. They are
// added from the internal browser; until it exists the page shows them read-only.
class CFavoritesPage : public COptionsPage
{
    Q_OBJECT
public:
    static constexpr int kMaxFavorites = 20;

    explicit CFavoritesPage(AppContext& app, QWidget* parent = nullptr);

    void load(const AppSettings& settings) override;
    void store(AppSettings& settings) const override;

    QTreeWidget* list() const { return m_list; }

private:
    void showSelected();

    QTreeWidget* m_list = nullptr;
    QLineEdit* m_title = nullptr;
    QLineEdit* m_url = nullptr;
};
