#include "ui/sitemenu.h"

#include "sites/sitehosts.h"
#include "ui/commandid.h"
#include "ui/uiicons.h"

#include <QActionGroup>

CSiteMenu::CSiteMenu(QWidget* parent) : QMenu(tr("&Site"), parent)
{
    m_group = new QActionGroup(this);
    m_group->setExclusive(true);
    // The order of the menu; each entry keeps the command of its site number.
    const int order[] = {SiteHosts::Germany,     SiteHosts::UnitedKingdom, SiteHosts::Australia,
                         SiteHosts::Austria,     SiteHosts::Switzerland,   SiteHosts::Italy,
                         SiteHosts::Canada,      SiteHosts::France,        SiteHosts::Ireland,
                         SiteHosts::UnitedStates};
    for (int site : order) {
        const QString name = SiteHosts::siteName(site);
        QAction* action =
            addAction(UiIcons::siteFlag(site), tr("%1  (%2)").arg(countryName(site), name));
        action->setCheckable(true);
        action->setData(CmdSiteFirst - 1 + site);
        m_group->addAction(action);
        connect(action, &QAction::triggered, this, [this, name] { Q_EMIT siteChosen(name); });
    }
}

QAction* CSiteMenu::siteAction(int id) const
{
    for (QAction* action : m_group->actions()) {
        if (action->data().toInt() == id)
            return action;
    }
    return nullptr;
}

void CSiteMenu::showCurrentSite(const QString& siteName)
{
    const int site = SiteHosts::siteNumber(siteName);
    for (QAction* action : m_group->actions())
        action->setChecked(site != SiteHosts::Unknown &&
                           action->data().toInt() == CmdSiteFirst - 1 + site);
}

QString CSiteMenu::countryName(int siteNumber)
{
    switch (siteNumber) {
    case SiteHosts::UnitedStates:
        return tr("United States");
    case SiteHosts::Germany:
        return tr("Germany");
    case SiteHosts::UnitedKingdom:
        return tr("United Kingdom");
    case SiteHosts::Australia:
        return tr("Australia");
    case SiteHosts::Austria:
        return tr("Austria");
    case SiteHosts::Switzerland:
        return tr("Switzerland");
    case SiteHosts::Italy:
        return tr("Italy");
    case SiteHosts::Canada:
        return tr("Canada");
    case SiteHosts::France:
        return tr("France");
    case SiteHosts::Ireland:
        return tr("Ireland");
    default:
        return QString();
    }
}
