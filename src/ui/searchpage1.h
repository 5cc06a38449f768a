#pragma once

#include "search/searchaddress.h"
#include "search/searchcriteria.h"
#include "search/sitechoices.h"

#include <QWidget>

class Registry;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QSpinBox;

// The Search Service's first page: the search form, the site's three lists and the saved
// searches.
class CSearchPage1 : public QWidget
{
    Q_OBJECT
public:
    CSearchPage1(Registry& user, QWidget* parent = nullptr);

    // The form's values; a list still loading gives the value it is waiting to select.
    SearchCriteria criteria() const;
    void setCriteria(const SearchCriteria& criteria);
    // Which of the site lists offers a choice among more than one entry.
    SearchAddress::ListChoices listChoices() const;

    // Clears the form, selects the first entries and refills "Load search" with nothing
    // chosen; the site lists keep their entries.
    void reset();
    // The site lists as the basic search page gave them; "Loading..." until then.
    void setSiteChoices(const SiteChoices& choices);
    void setSearchEnabled(bool enabled);

    // "Sa&ve search", "&Delete" and choosing in "Load search".
    void saveSearch();
    void deleteSearch();
    void loadSearch(int index);

    QLineEdit* keywordsEdit() const { return m_keywords; }
    QComboBox* wordOptionBox() const { return m_wordOption; }
    QLineEdit* nameEdit() const { return m_name; }
    QComboBox* savedBox() const { return m_saved; }
    QLineEdit* excludeEdit() const { return m_exclude; }
    QLineEdit* sellerEdit() const { return m_seller; }
    QSpinBox* rangeMinBox() const { return m_rangeMin; }
    QSpinBox* rangeMaxBox() const { return m_rangeMax; }
    QSpinBox* itemCountBox() const { return m_itemCount; }
    QCheckBox* titleAndDescriptionBox() const { return m_titleAndDescription; }
    QCheckBox* buyItNowBox() const { return m_buyItNow; }
    QComboBox* categoryBox() const { return m_category; }
    QComboBox* locationInBox() const { return m_locationIn; }
    QComboBox* locationToBox() const { return m_locationTo; }
    QComboBox* sortBox() const { return m_sort; }
    QCheckBox* informBox() const { return m_inform; }
    QPushButton* searchButton() const { return m_search; }

Q_SIGNALS:
    void searchRequested();

private:
    void buildLayout();
    void fillSavedSearches(const QString& select = QString());
    // Selects the entry with `value` in a site list, or remembers it until the list comes.
    void selectValue(QComboBox* box, const SiteChoiceList& list, const QString& value,
                     QString* pending);
    QString listValue(const QComboBox* box, const SiteChoiceList& list,
                      const QString& pending) const;

    Registry& m_user;
    SiteChoices m_choices;
    QString m_pendingCategory;
    QString m_pendingLocationIn;
    QString m_pendingLocationTo;

    QLineEdit* m_keywords = nullptr;
    QComboBox* m_wordOption = nullptr;
    QLineEdit* m_name = nullptr;
    QComboBox* m_saved = nullptr;
    QLineEdit* m_exclude = nullptr;
    QLineEdit* m_seller = nullptr;
    QSpinBox* m_rangeMin = nullptr;
    QSpinBox* m_rangeMax = nullptr;
    QSpinBox* m_itemCount = nullptr;
    QCheckBox* m_titleAndDescription = nullptr;
    QCheckBox* m_buyItNow = nullptr;
    QComboBox* m_category = nullptr;
    QComboBox* m_locationIn = nullptr;
    QComboBox* m_locationTo = nullptr;
    QComboBox* m_sort = nullptr;
    QCheckBox* m_inform = nullptr;
    QPushButton* m_search = nullptr;
};
