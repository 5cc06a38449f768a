#include "ui/firststepscreen3.h"

#include "app/stringtable.h"
#include "sites/sitehosts.h"
#include "ui/firststepwizard.h"
#include "ui/sitemenu.h"
#include "ui/uiicons.h"

#include <QLabel>
#include <QMenu>
#include <QVBoxLayout>

CFirstStepScreen3::CFirstStepScreen3(QWidget* parent) : QWizardPage(parent)
{
    setTitle(StringTable::text(266));
    auto* column = new QVBoxLayout(this);
    auto* text = new QLabel(tr("You need an eBay® account to bid. Registration is free and takes "
                               "a few minutes; come back to this wizard when you have your user "
                               "ID and password."),
                            this);
    text->setWordWrap(true);
    m_link = new QLabel(QStringLiteral("<a href=\"register\">%1</a>")
                            .arg(tr("Click here to register with eBay®,").toHtmlEscaped()),
                        this);
    m_link->setTextInteractionFlags(Qt::TextBrowserInteraction);
    connect(m_link, &QLabel::linkActivated, this, &CFirstStepScreen3::showMenu);
    column->addWidget(text);
    column->addSpacing(12);
    column->addWidget(m_link);
    column->addStretch();

    m_menu = new QMenu(this);
    for (int site = 1; site <= SiteHosts::kSiteCount; ++site) {
        const QString name = SiteHosts::siteName(site);
        QAction* action = m_menu->addAction(UiIcons::siteFlag(site),
                                            tr("%1  (%2)").arg(CSiteMenu::countryName(site), name));
        connect(action, &QAction::triggered, this, [this, name] {
            if (auto* wizard = qobject_cast<CFirstStepWizard*>(this->wizard()))
                wizard->openInBrowser(CFirstStepWizard::registrationUrl(name));
        });
    }
}

int CFirstStepScreen3::nextId() const
{
    return CFirstStepWizard::AccountPage;
}

void CFirstStepScreen3::showMenu()
{
    m_menu->popup(m_link->mapToGlobal(QPoint(0, m_link->height())));
}
