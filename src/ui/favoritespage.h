#pragma once

#include "sites/favoritecategories.h"
#include "ui/optionspage.h"

class QLineEdit;
class QPushButton;
class QTableWidget;

// "Favorites": the favourite category pages the internal browser added. Reordering,
// deleting and saving an entry are written to the settings at once, not on the sheet's OK.
class CFavoritesPage : public COptionsPage
{
    Q_OBJECT
public:
    explicit CFavoritesPage(AppContext& app, QWidget* parent = nullptr);

    void load(const AppSettings& settings) override;
    void store(AppSettings& settings) const override;

    QTableWidget* list() const { return m_list; }
    QPushButton* upButton() const { return m_up; }
    QPushButton* downButton() const { return m_down; }
    QPushButton* deleteButton() const { return m_delete; }
    QPushButton* saveButton() const { return m_save; }
    QLineEdit* titleEdit() const { return m_title; }
    QLineEdit* urlEdit() const { return m_url; }

    // The selected row; -1 when none is.
    int selectedIndex() const;

private:
    void refill(int select);
    void showSelected();
    void moveUp();
    void moveDown();
    void deleteSelected();
    void saveSelected();

    FavoriteCategories m_favorites;
    QTableWidget* m_list = nullptr;
    QPushButton* m_up = nullptr;
    QPushButton* m_down = nullptr;
    QPushButton* m_delete = nullptr;
    QPushButton* m_save = nullptr;
    QLineEdit* m_title = nullptr;
    QLineEdit* m_url = nullptr;
};
