#include "ui/firststepscreen6.h"

#include "app/appcontext.h"
#include "app/registry.h"
#include "app/stringtable.h"
#include "sites/siteaccess.h"
#include "ui/firststepwizard.h"

#include <QLabel>
#include <QUrl>
#include <QVBoxLayout>

CFirstStepScreen6::CFirstStepScreen6(QWidget* parent) : QWizardPage(parent)
{
    setTitle(StringTable::text(268));
    setFinalPage(true);
    auto* column = new QVBoxLayout(this);
    auto* text = new QLabel(
        tr("%1 is ready to bid for you. Add the auctions you want with \"Add item\" and "
           "set the most you will pay; %1 does the rest.\n\nNew to eBay®? Read the guide:")
            .arg(AppContext::applicationTitle()),
        this);
    text->setWordWrap(true);
    m_guide = new QLabel(QStringLiteral("<a href=\"guide\">%1</a>")
                             .arg(tr("Beginner's Guide to eBay®.").toHtmlEscaped()),
                         this);
    m_guide->setTextInteractionFlags(Qt::TextBrowserInteraction);
    connect(m_guide, &QLabel::linkActivated, this, [this] {
        if (auto* wizard = qobject_cast<CFirstStepWizard*>(this->wizard()))
            wizard->openInBrowser(guideUrl());
    });
    column->addWidget(text);
    column->addWidget(m_guide);
    column->addStretch();
}

QUrl CFirstStepScreen6::guideUrl()
{
    AppContext* app = AppContext::current();
    QString address;
    if (app)
        address =
            app->machineRegistry().readStr(QStringLiteral("URL"), QStringLiteral("URLBeginGuid"));
    if (address.trimmed().isEmpty())
        address = CurrentSiteName();
    return QUrl::fromUserInput(address.trimmed());
}
