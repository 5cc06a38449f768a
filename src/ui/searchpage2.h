#pragma once

#include "search/searchresult.h"
#include "sites/siteconventions.h"

#include <QList>
#include <QUrl>
#include <QWidget>
#include <functional>

class AppContext;
class CBidsDoc;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTableWidget;

// The Search Service's second page: the found auctions with check boxes, and how the
// checked ones become bids.
class CSearchPage2 : public QWidget
{
    Q_OBJECT
public:
    enum Column
    {
        ItemColumn,
        TitleColumn,
        PriceColumn,
        BidsColumn,
        TimeLeftColumn,
        ShippingColumn,
        ColumnCount
    };
    // Opens an address outside the program; false when it could not.
    using Viewer = std::function<bool(const QUrl& url)>;

    CSearchPage2(AppContext& app, CBidsDoc& doc, QWidget* parent = nullptr);

    // The site the results come from: its name, price conventions and item page address.
    void setSite(const QString& siteName, const SiteConventions& conventions,
                 const QString& viewItemUrl);
    void setItemViewer(Viewer viewer) { m_itemViewer = std::move(viewer); }

    void clearResults();
    // Lists the results in the site's order, none checked.
    void showResults(const QList<SearchResult>& results);
    int rowCount() const;
    // The result shown in `row` (display order).
    const SearchResult& resultAt(int row) const;
    void setChecked(int row, bool checked);
    bool isChecked(int row) const;
    // Refills "Add to folder" and selects "Found items".
    void fillFolders();

    // "Add checked items", "&View selected", "Check/Uncheck all items".
    void addCheckedItems();
    void viewSelected();
    void toggleAll();

    QTableWidget* table() const { return m_table; }
    QRadioButton* incrementButton() const { return m_increment; }
    QRadioButton* typedButton() const { return m_typed; }
    QLineEdit* priceEdit() const { return m_price; }
    QCheckBox* activeBox() const { return m_active; }
    QComboBox* folderBox() const { return m_folder; }
    QPushButton* addButton() const { return m_add; }
    QPushButton* viewButton() const { return m_view; }
    QPushButton* toggleButton() const { return m_toggle; }

Q_SIGNALS:
    void itemsAdded(int count);

private:
    void buildLayout();

    AppContext& m_app;
    CBidsDoc& m_doc;
    QString m_siteName;
    SiteConventions m_conventions;
    QString m_viewItemUrl;
    Viewer m_itemViewer;
    QList<SearchResult> m_results;

    QTableWidget* m_table = nullptr;
    QRadioButton* m_increment = nullptr;
    QRadioButton* m_typed = nullptr;
    QLineEdit* m_price = nullptr;
    QCheckBox* m_active = nullptr;
    QComboBox* m_folder = nullptr;
    QPushButton* m_add = nullptr;
    QPushButton* m_view = nullptr;
    QPushButton* m_toggle = nullptr;
};
