#pragma once

#include <QMenu>

class QActionGroup;

// The Site menu: the ten national sites with their flags, commands 105 to 114
// (104 + the site number). The current site is checked.
class CSiteMenu : public QMenu
{
    Q_OBJECT
public:
    explicit CSiteMenu(QWidget* parent = nullptr);

    // The entry of command `id`, or null.
    QAction* siteAction(int id) const;
    // Checks the entry of `siteName` (case ignored); none for a site without an entry.
    void showCurrentSite(const QString& siteName);
    // The country name shown for a site number, empty for an unknown number.
    static QString countryName(int siteNumber);

Q_SIGNALS:
    void siteChosen(const QString& siteName);

private:
    QActionGroup* m_group = nullptr;
};
