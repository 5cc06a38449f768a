#pragma once

#include "sites/sitesettings.h"
#include "ui/optionspage.h"

#include <QHash>
#include <functional>

class QComboBox;
class QPushButton;
class QTreeWidget;

// "Site settings": every keyword, address and form name of a site, editable one by one.
// Edits are kept by the page and reach the site settings only with the sheet's OK.
class CSiteSettingsPage : public COptionsPage
{
    Q_OBJECT
public:
    using ValueEditor = std::function<bool(const QString& name, QString* value)>;

    explicit CSiteSettingsPage(AppContext& app, QWidget* parent = nullptr);

    void load(const AppSettings& settings) override;
    void store(AppSettings& settings) const override;

    bool isChanged() const { return m_changed; }
    // Puts the edited values into the site settings cache; the sheet then saves them.
    void commitToCache() const;

    // Edits the selected row (Edit..., double click).
    void editSelected();
    // Tests edit without the dialog.
    void setValueEditor(ValueEditor editor) { m_editor = std::move(editor); }

    QComboBox* siteBox() const { return m_sites; }
    QTreeWidget* valueList() const { return m_list; }
    QPushButton* addSiteButton() const { return m_add; }

private:
    void showSite(const QString& site);
    void keepRows();

    QComboBox* m_sites = nullptr;
    QTreeWidget* m_list = nullptr;
    QPushButton* m_edit = nullptr;
    QPushButton* m_add = nullptr;
    QString m_shownSite;
    QHash<QString, SiteSettings::Entries> m_working; // per site, the rows as last shown
    bool m_changed = false;
    ValueEditor m_editor;
};
